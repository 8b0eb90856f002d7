#include "social/serial_executor.h"

namespace pawlane {

SerialExecutor::~SerialExecutor() {
    stop();
    if (worker_.joinable()) worker_.join();
}

std::shared_future<void> SerialExecutor::enqueue(std::function<void()> job) {
    std::promise<void> done;
    std::shared_future<void> future = done.get_future().share();
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            done.set_value();
            return future;
        }
        jobs_.push_back({std::move(job), std::move(done)});
        if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
    }
    changed_.notify_all();
    return future;
}

void SerialExecutor::stop() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped.swap(jobs_);
    }
    for (auto& job : dropped) job.done.set_value();
    changed_.notify_all();
}

void SerialExecutor::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job.fn();
        job.done.set_value();
    }
}

}  // namespace pawlane
