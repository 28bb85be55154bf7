#pragma once

#include <functional>

namespace orv {

// The worker thread of the file commands: at most one at a time.
class Threads {
public:
    virtual ~Threads() = default;

    // Starts a thread running `work`. The previous worker must have been disposed of.
    virtual void start(std::function<void()> work) = 0;
    // Waits for the worker to finish, if there is one, and releases it.
    virtual void dispose() = 0;
};

} // namespace orv
