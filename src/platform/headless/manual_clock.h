#pragma once
// A clock that moves only when the test moves it.
#include "platform/clock.h"

namespace pawlane {

class ManualClock final : public Clock {
public:
    explicit ManualClock(double start = 1000.0) : now_(start) {}
    double now() const override { return now_; }
    void set(double t) { now_ = t; }
    void advance(double seconds) { now_ += seconds; }

private:
    double now_;
};

}  // namespace pawlane
