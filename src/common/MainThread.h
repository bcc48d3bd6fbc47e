#pragma once

#include <functional>

// Work handed to the user-interface thread from a worker: the client posts
// it into Qt's event loop, the tool and the tests run a TTaskQueue.
class IMainThread {
public:
    virtual ~IMainThread() = default;
    // Runs task on the main thread later; safe to call from any thread.
    virtual void Post(std::function<void()> task) = 0;
};
