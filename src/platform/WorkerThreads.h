#pragma once

#include <thread>

#include "platform/Threads.h"

namespace orv {

// The worker of the file commands as a real thread of the standard library, for every
// window backend.
class WorkerThreads final : public Threads {
public:
    WorkerThreads() = default;
    ~WorkerThreads() override;
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    void start(std::function<void()> work) override;
    void dispose() override;

private:
    std::thread m_thread;
};

} // namespace orv
