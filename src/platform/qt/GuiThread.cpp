#include "platform/qt/GuiThread.h"

#include <QThread>

namespace orv {

GuiThread::GuiThread() = default;

GuiThread::~GuiThread() {
    close();
}

bool GuiThread::is_current() const {
    return QThread::currentThread() == m_receiver.thread();
}

void GuiThread::post(std::function<void()> change) {
    if (is_current()) {
        if (!closed()) {
            change();
        }
        return;
    }
    if (closed()) {
        return;
    }
    QMetaObject::invokeMethod(
        &m_receiver,
        [this, change = std::move(change)] {
            if (!closed()) {
                change();
            }
        },
        Qt::QueuedConnection);
}

bool GuiThread::hand_over(std::function<void()> question, std::shared_ptr<bool> answered) {
    if (closed()) {
        return false;
    }
    QMetaObject::invokeMethod(
        &m_receiver,
        [this, question = std::move(question), answered = std::move(answered)] {
            if (closed()) {
                return;
            }
            question();
            {
                std::lock_guard lock(m_mutex);
                *answered = true;
            }
            m_answered.notify_all();
        },
        Qt::QueuedConnection);
    return true;
}

void GuiThread::close() {
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_answered.notify_all();
}

bool GuiThread::closed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

} // namespace orv
