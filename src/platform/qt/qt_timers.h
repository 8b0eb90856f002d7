#pragma once
// Repeating timers on the GUI thread. Qt timers are served by the thread's
// event dispatcher, which menus and window drags keep running, so they fire on.
#include <QObject>

#include "platform/repeating_timer.h"

namespace pawlane {

class QtTimers final : public QObject, public RepeatingTimers {
public:
    void every(double seconds, double tolerance, std::function<void()> fn) override;
};

}  // namespace pawlane
