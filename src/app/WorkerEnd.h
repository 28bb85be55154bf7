#pragma once

#include "app/Workspace.h"

namespace orv {

// Sets the worker-ended flag and then clears the busy flag when a worker's command is left,
// by whatever way: the event loop disposes of a worker only once the first is set.
class WorkerEnd {
public:
    explicit WorkerEnd(Workspace& workspace) : m_workspace(workspace) {}
    WorkerEnd(const WorkerEnd&) = delete;
    WorkerEnd& operator=(const WorkerEnd&) = delete;
    ~WorkerEnd() {
        m_workspace.worker_ended = 1;
        m_workspace.busy = 0;
    }

private:
    Workspace& m_workspace;
};

} // namespace orv
