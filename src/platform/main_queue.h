#pragma once
// Work for the main thread: now, later, or (from a background thread) now
// while the caller waits. Everything of the world runs on the main thread.
#include <cstdint>
#include <functional>

namespace pawlane {

class MainQueue {
public:
    using TaskId = std::uint64_t;

    virtual ~MainQueue() = default;
    // Runs fn on the main thread after the current event.
    virtual void post(std::function<void()> fn) = 0;
    // Runs fn on the main thread once, `seconds` from now. The id lets a
    // one-shot timer be cancelled; ids are never 0.
    virtual TaskId postAfter(double seconds, std::function<void()> fn) = 0;
    // Drops a task that has not run yet; nothing for ids already run or unknown.
    virtual void cancel(TaskId id) = 0;
    // From a background thread only: runs fn on the main thread and returns when it is done.
    virtual void runAndWait(std::function<void()> fn) = 0;
};

}  // namespace pawlane
