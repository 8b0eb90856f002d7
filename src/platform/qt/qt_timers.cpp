#include "platform/qt/qt_timers.h"

#include <QTimer>

#include <cmath>

namespace pawlane {

void QtTimers::every(double seconds, double tolerance, std::function<void()> fn) {
    auto* timer = new QTimer(this);
    // A tight tolerance needs the precise kind; a loose one may be coalesced.
    timer->setTimerType(tolerance < 0.05 ? Qt::PreciseTimer : Qt::CoarseTimer);
    QObject::connect(timer, &QTimer::timeout, this, std::move(fn));
    timer->start(std::max(1, int(std::lround(seconds * 1000))));
}

}  // namespace pawlane
