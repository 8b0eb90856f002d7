#include "platform/headless/manual_main_queue.h"

#include <algorithm>

namespace pawlane {

void ManualMainQueue::post(std::function<void()> fn) { postAfter(0, std::move(fn)); }

MainQueue::TaskId ManualMainQueue::postAfter(double seconds, std::function<void()> fn) {
    const TaskId id = nextId_++;
    tasks_.push_back({id, clock_.now() + std::max(0.0, seconds), std::move(fn)});
    return id;
}

void ManualMainQueue::cancel(TaskId id) {
    tasks_.erase(std::remove_if(tasks_.begin(), tasks_.end(), [id](const Task& t) { return t.id == id; }),
                 tasks_.end());
}

bool ManualMainQueue::runNextDue(double limit) {
    auto next = tasks_.end();
    for (auto it = tasks_.begin(); it != tasks_.end(); ++it)
        if (it->due <= limit && (next == tasks_.end() || it->due < next->due)) next = it;
    if (next == tasks_.end()) return false;
    Task task = std::move(*next);
    tasks_.erase(next);
    if (task.due > clock_.now()) clock_.set(task.due);
    task.fn();
    return true;
}

void ManualMainQueue::runDue() {
    while (runNextDue(clock_.now())) {
    }
}

void ManualMainQueue::advance(double seconds) {
    const double end = clock_.now() + seconds;
    while (runNextDue(end)) {
    }
    clock_.set(end);
}

}  // namespace pawlane
