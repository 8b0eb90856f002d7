#include <chrono>
#include <cmath>
#include <random>

#include "platform/clock.h"
#include "platform/random.h"

namespace pawlane {
namespace {

class SystemClock final : public Clock {
public:
    double now() const override {
        using namespace std::chrono;
        const double unix = duration<double>(system_clock::now().time_since_epoch()).count();
        return unix - kUnixTimeOf2001;
    }
};

class SystemRandom final : public Random {
public:
    SystemRandom() : engine_(std::random_device{}()) {}
    double uniform(double a, double b) override {
        if (!(a < b)) return a;
        // Closed range: nextafter lets b itself be drawn.
        return std::uniform_real_distribution<double>(a, std::nextafter(b, b + 1.0))(engine_);
    }
    bool coin() override { return std::bernoulli_distribution(0.5)(engine_); }

private:
    std::mt19937_64 engine_;
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

Random& systemRandom() {
    static SystemRandom random;
    return random;
}

}  // namespace pawlane
