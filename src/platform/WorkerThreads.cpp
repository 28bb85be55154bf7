#include "platform/WorkerThreads.h"

namespace orv {

WorkerThreads::~WorkerThreads() {
    dispose();
}

void WorkerThreads::start(std::function<void()> work) {
    // The program disposes of the last worker first; should it not have, waiting here keeps
    // two workers from ever sharing the blocks.
    dispose();
    m_thread = std::thread(std::move(work));
}

void WorkerThreads::dispose() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace orv
