#pragma once
// A main queue the test drains: tasks run when the test says, delayed tasks
// when the manual clock has reached their time.
#include <functional>
#include <vector>

#include "platform/headless/manual_clock.h"
#include "platform/main_queue.h"

namespace pawlane {

class ManualMainQueue final : public MainQueue {
public:
    explicit ManualMainQueue(ManualClock& clock) : clock_(clock) {}

    void post(std::function<void()> fn) override;
    TaskId postAfter(double seconds, std::function<void()> fn) override;
    void cancel(TaskId id) override;
    // Single-threaded tests: runs fn at once.
    void runAndWait(std::function<void()> fn) override { fn(); }

    // Runs every task due by the clock's current time (and any they post that
    // are due too), earliest first, in posting order among equals.
    void runDue();
    // Moves the clock forward, stopping at each task's due time to run it.
    void advance(double seconds);
    std::size_t pending() const { return tasks_.size(); }

private:
    struct Task {
        TaskId id;
        double due;
        std::function<void()> fn;
    };
    bool runNextDue(double limit);

    ManualClock& clock_;
    std::vector<Task> tasks_;
    TaskId nextId_ = 1;
};

}  // namespace pawlane
