#pragma once
// A main queue for tests with background threads: the test thread plays the
// main thread and runs posted work when it pumps; runAndWait from another
// thread blocks until the test has pumped it. Time is manual: delayed work runs
// when the test advances it. After close(), runAndWait runs inline (teardown).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/main_queue.h"

namespace pawlane::test {

class PumpedQueue final : public MainQueue {
public:
    void post(std::function<void()> fn) override { postAfter(0, std::move(fn)); }

    TaskId postAfter(double seconds, std::function<void()> fn) override {
        // The desktop's timers live on the main thread; other threads may only post().
        if (seconds > 0 && std::this_thread::get_id() != mainThread_)
            ADD_FAILURE() << "a timer was set from a background thread";
        std::lock_guard lock(mutex_);
        const TaskId id = nextId_++;
        tasks_.push_back({id, now_ + std::max(0.0, seconds), std::move(fn)});
        changed_.notify_all();
        return id;
    }

    void cancel(TaskId id) override {
        std::lock_guard lock(mutex_);
        std::erase_if(tasks_, [id](const Task& t) { return t.id == id; });
    }

    void runAndWait(std::function<void()> fn) override {
        std::unique_lock lock(mutex_);
        if (closed_ || std::this_thread::get_id() == mainThread_) {
            lock.unlock();
            fn();
            return;
        }
        bool done = false;
        tasks_.push_back({nextId_++, now_, [&] {
                              fn();
                              std::lock_guard inner(mutex_);
                              done = true;
                              changed_.notify_all();
                          }});
        changed_.notify_all();
        changed_.wait(lock, [&] { return done || closed_; });
        if (!done) {
            lock.unlock();
            fn();
        }
    }

    // Runs work due now until `ready` holds; false (and a test failure) when it
    // does not within a few seconds of real time.
    bool pumpUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            while (runOneDue(now())) {
            }
            if (ready()) return true;
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "gave up waiting for the background work";
                return false;
            }
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(5));
        }
    }

    template <class T>
    bool pumpUntilReady(const std::shared_future<T>& f) {
        return pumpUntil([&] { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    }

    // Runs whatever is due for a moment of real time, for checks that something did NOT happen.
    void pumpFor(std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        pumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, span + std::chrono::seconds(5));
    }

    // Moves time forward, running delayed work at its due time.
    void advance(double seconds) {
        double end;
        {
            std::lock_guard lock(mutex_);
            end = now_ + seconds;
        }
        while (runOneDue(end)) {
        }
        std::lock_guard lock(mutex_);
        now_ = end;
    }

    std::size_t delayedCount() {
        std::lock_guard lock(mutex_);
        return std::count_if(tasks_.begin(), tasks_.end(), [this](const Task& t) { return t.due > now_; });
    }

    double now() {
        std::lock_guard lock(mutex_);
        return now_;
    }

    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    struct Task {
        TaskId id;
        double due;
        std::function<void()> fn;
    };

    bool runOneDue(double limit) {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            auto next = tasks_.end();
            for (auto it = tasks_.begin(); it != tasks_.end(); ++it)
                if (it->due <= limit && (next == tasks_.end() || it->due < next->due)) next = it;
            if (next == tasks_.end()) return false;
            if (next->due > now_) now_ = next->due;
            fn = std::move(next->fn);
            tasks_.erase(next);
        }
        fn();
        return true;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Task> tasks_;
    TaskId nextId_ = 1;
    double now_ = 1000;
    bool closed_ = false;
    const std::thread::id mainThread_ = std::this_thread::get_id();
};

}  // namespace pawlane::test
