#pragma once
// Wall time in seconds since 2001-01-01 00:00 UTC: the app's one time scale.
namespace pawlane {

constexpr double kUnixTimeOf2001 = 978307200.0;

class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

Clock& systemClock();

}  // namespace pawlane
