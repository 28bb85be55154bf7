#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace orv {

// Hands window operations to the thread that owns the windows. The program calls the window
// and the dialogs from its worker thread too, but a window system lets only the owning thread
// touch its windows: a call from elsewhere is queued, in call order, and the backend's `wake`
// makes the owning thread run the queue (run_pending). A call that needs an answer waits
// for it.
//
// Once the event loop has ended, close() makes every later hand-over a no-op: changes are
// dropped and questions get their fallback answer at once. A worker still running when the
// user quits therefore never waits for a window that nobody serves any more, and the program
// can wait for the worker to finish its file.
class WindowCalls {
public:
    // Must be created on the owning thread. `wake` may be called from any thread; it must
    // make the owning thread call run_pending() soon.
    explicit WindowCalls(std::function<void()> wake);
    ~WindowCalls();
    WindowCalls(const WindowCalls&) = delete;
    WindowCalls& operator=(const WindowCalls&) = delete;

    bool is_current() const { return std::this_thread::get_id() == m_owner; }

    // Runs `change` now on the owning thread, otherwise queued behind earlier hand-overs.
    void post(std::function<void()> change);

    // Runs `question` on the owning thread and returns its answer; `fallback` once closed.
    template <typename T>
    T ask(std::function<T()> question, T fallback) {
        if (is_current()) {
            return closed() ? fallback : question();
        }
        auto answer = std::make_shared<std::optional<T>>();
        auto answered = std::make_shared<bool>(false);
        if (!hand_over([question = std::move(question), answer] { *answer = question(); },
                       answered)) {
            return fallback;
        }
        std::unique_lock lock(m_mutex);
        m_answered.wait(lock, [&] { return *answered || m_closed; });
        // The question may still run later after a close; its answer is then dropped.
        if (!*answered || !answer->has_value()) {
            return fallback;
        }
        return std::move(**answer);
    }

    // Runs every call queued so far. Owning thread only.
    void run_pending();

    // The event loop has ended; wakes every caller that is waiting for an answer.
    void close();
    bool closed() const;

private:
    bool hand_over(std::function<void()> question, std::shared_ptr<bool> answered);
    void enqueue(std::function<void()> call);

    const std::thread::id m_owner;
    const std::function<void()> m_wake;
    mutable std::mutex m_mutex;
    std::condition_variable m_answered;
    std::deque<std::function<void()>> m_queue;
    bool m_closed = false;
};

} // namespace orv
