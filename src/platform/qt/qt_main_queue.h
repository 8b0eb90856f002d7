#pragma once
// The main queue on the Qt GUI thread: queued invocations and one-shot timers.
#include <QObject>

#include <atomic>
#include <unordered_map>

#include "platform/main_queue.h"

class QTimer;

namespace pawlane {

class QtMainQueue final : public QObject, public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;

    void post(std::function<void()> fn) override;
    TaskId postAfter(double seconds, std::function<void()> fn) override;
    void cancel(TaskId id) override;
    void runAndWait(std::function<void()> fn) override;
    // Once the event loop has ended: work sent from then on is dropped, and
    // runAndWait returns at once, so no thread waits on a loop that is gone.
    void close() { closed_ = true; }

private:
    std::atomic<bool> closed_ = false;
    std::unordered_map<TaskId, QTimer*> timers_;
    TaskId nextId_ = 1;
};

}  // namespace pawlane
