#pragma once
// One worker thread that runs jobs one after the other, in the order they were
// enqueued; each caller gets a future of its own job. Used for the syncs, so
// they never overlap and no call is merged into another.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace pawlane {

class SerialExecutor {
public:
    SerialExecutor() = default;
    // Stops: jobs not yet started are dropped (their futures become ready).
    ~SerialExecutor();
    SerialExecutor(const SerialExecutor&) = delete;
    SerialExecutor& operator=(const SerialExecutor&) = delete;

    // From any thread. After stop() the job is dropped at once.
    std::shared_future<void> enqueue(std::function<void()> job);
    // Drops the jobs not yet started and lets the worker leave after the current one.
    void stop();

private:
    struct Job {
        std::function<void()> fn;
        std::promise<void> done;
    };
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace pawlane
