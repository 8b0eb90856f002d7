#include "social/background_tasks.h"

namespace pawlane {

ThreadTasks::~ThreadTasks() {
    std::vector<Running> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(running_);
    }
    for (auto& r : all)
        if (r.thread.joinable()) r.thread.join();
}

void ThreadTasks::reapFinished() {
    for (auto it = running_.begin(); it != running_.end();) {
        if (*it->done) {
            it->thread.join();
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
}

void ThreadTasks::run(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    reapFinished();
    // The flag is written and read under the mutex; a finished thread is joined
    // by a later run() or by the destructor.
    auto done = std::make_shared<bool>(false);
    Running r{std::thread([task = std::move(task), done, this] {
                  task();
                  std::lock_guard lock(mutex_);
                  *done = true;
              }),
              done};
    running_.push_back(std::move(r));
}

}  // namespace pawlane
