#include "platform/qt/qt_main_queue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace pawlane {

QtMainQueue::QtMainQueue() = default;

QtMainQueue::~QtMainQueue() {
    for (auto& [id, timer] : timers_) delete timer;
}

void QtMainQueue::post(std::function<void()> fn) {
    if (closed_) return;
    QMetaObject::invokeMethod(this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

MainQueue::TaskId QtMainQueue::postAfter(double seconds, std::function<void()> fn) {
    const TaskId id = nextId_++;
    if (closed_) return id;
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    // Gestures time their hold in tenths of a second: coarse timers would be felt.
    timer->setTimerType(Qt::PreciseTimer);
    timers_[id] = timer;
    QObject::connect(timer, &QTimer::timeout, this, [this, id, fn = std::move(fn)] {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        it->second->deleteLater();
        timers_.erase(it);
        fn();
    });
    timer->start(std::max(0, int(std::lround(seconds * 1000))));
    return id;
}

void QtMainQueue::cancel(TaskId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

void QtMainQueue::runAndWait(std::function<void()> fn) {
    if (closed_) return;
    if (QThread::currentThread() == thread()) {
        fn();  // already on the main thread: waiting for ourselves would deadlock
        return;
    }
    QMetaObject::invokeMethod(this, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
}

}  // namespace pawlane
