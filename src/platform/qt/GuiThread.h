#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include <QObject>

namespace orv {

// Runs window operations on the thread that owns the widgets. The program calls the window
// and the dialogs from its worker thread too; Qt widgets may only be touched by the GUI
// thread, so a call from elsewhere is handed over: changes are queued in call order, and a
// call that needs an answer waits for it.
//
// Once the event loop has ended, close() makes every later hand-over a no-op: changes are
// dropped and questions get their fallback answer at once. A worker that is still running
// when the user quits therefore never waits for a window that nobody serves any more, and
// the program can wait for the worker to finish its file.
class GuiThread {
public:
    // Must be created on the GUI thread.
    GuiThread();
    ~GuiThread();
    GuiThread(const GuiThread&) = delete;
    GuiThread& operator=(const GuiThread&) = delete;

    bool is_current() const;

    // Runs `change` now when called on the GUI thread, otherwise queued behind the changes
    // and questions handed over before it.
    void post(std::function<void()> change);

    // Runs `question` on the GUI thread and returns its answer; `fallback` once closed.
    template <typename T>
    T ask(std::function<T()> question, T fallback) {
        if (is_current()) {
            return question();
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

    // The event loop has ended; wakes every caller that is waiting for an answer.
    void close();
    bool closed() const;

private:
    // Queues `question` to the GUI thread; sets `*answered` under the mutex once it ran.
    // Returns false when already closed.
    bool hand_over(std::function<void()> question, std::shared_ptr<bool> answered);

    mutable std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_closed = false;
    // The receiver of the handed-over calls; it lives on the GUI thread. Destroying it
    // discards calls still queued.
    QObject m_receiver;
};

} // namespace orv
