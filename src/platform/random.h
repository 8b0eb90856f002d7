#pragma once
// Randomness for behaviour code. Tests script it; production draws from the system.
namespace pawlane {

class Random {
public:
    virtual ~Random() = default;
    // A uniform real in the closed range [a, b].
    virtual double uniform(double a, double b) = 0;
    // A fair coin.
    virtual bool coin() = 0;
};

// The process-wide system generator, seeded from the OS.
Random& systemRandom();

}  // namespace pawlane
