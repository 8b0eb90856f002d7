#pragma once
// Repeating timers on the main thread that keep firing while a menu is open
// or a window is dragged. They run for the life of the process.
#include <functional>

namespace pawlane {

class RepeatingTimers {
public:
    virtual ~RepeatingTimers() = default;
    // tolerance: how late a firing may be, which lets the system batch wake-ups.
    virtual void every(double seconds, double tolerance, std::function<void()> fn) = 0;
};

}  // namespace pawlane
