#pragma once

#include <thread>

#include "platform/Threads.h"

namespace orv {

// The worker of the file commands on a std::thread. The worker talks to the windows only
// through QtWindow and QtDialogs, which hand its calls to the GUI thread.
class QtThreads final : public Threads {
public:
    QtThreads() = default;
    // Waits for a worker still running: its file must not be left half written.
    ~QtThreads() override;
    QtThreads(const QtThreads&) = delete;
    QtThreads& operator=(const QtThreads&) = delete;

    void start(std::function<void()> work) override;
    void dispose() override;

private:
    std::thread m_thread;
};

} // namespace orv
