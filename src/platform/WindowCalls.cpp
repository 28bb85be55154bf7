#include "platform/WindowCalls.h"

namespace orv {

WindowCalls::WindowCalls(std::function<void()> wake)
    : m_owner(std::this_thread::get_id()), m_wake(std::move(wake)) {}

WindowCalls::~WindowCalls() {
    close();
}

void WindowCalls::enqueue(std::function<void()> call) {
    bool was_empty = false;
    {
        std::lock_guard lock(m_mutex);
        was_empty = m_queue.empty();
        m_queue.push_back(std::move(call));
    }
    // One wake-up per batch: the owning thread empties the whole queue when it runs.
    if (was_empty) {
        m_wake();
    }
}

void WindowCalls::post(std::function<void()> change) {
    if (closed()) {
        return;
    }
    if (is_current()) {
        change();
        return;
    }
    enqueue(std::move(change));
}

bool WindowCalls::hand_over(std::function<void()> question, std::shared_ptr<bool> answered) {
    if (closed()) {
        return false;
    }
    enqueue([this, question = std::move(question), answered = std::move(answered)] {
        question();
        {
            std::lock_guard lock(m_mutex);
            *answered = true;
        }
        m_answered.notify_all();
    });
    return true;
}

void WindowCalls::run_pending() {
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard lock(m_mutex);
        calls.swap(m_queue);
    }
    for (auto& call : calls) {
        if (closed()) {
            return;
        }
        call();
    }
}

void WindowCalls::close() {
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_queue.clear();
    }
    m_answered.notify_all();
}

bool WindowCalls::closed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

} // namespace orv
