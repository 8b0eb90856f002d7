#pragma once
// Random values a test decides: queued values are handed out in order; when
// the queue is empty, uniform(a, b) yields a + fallback·(b − a) and coin() the
// fallback coin. Every uniform call's range is recorded.
#include <deque>
#include <utility>
#include <vector>

#include "platform/random.h"

namespace pawlane {

class ScriptedRandom final : public Random {
public:
    // Queued values are returned as they are, whatever range was asked for.
    void pushUniform(double v) { uniforms_.push_back(v); }
    void pushCoin(bool v) { coins_.push_back(v); }
    void setFallback(double fraction) { fallback_ = fraction; }
    void setFallbackCoin(bool v) { fallbackCoin_ = v; }
    void clearScript() {
        uniforms_.clear();
        coins_.clear();
    }
    std::size_t pendingUniforms() const { return uniforms_.size(); }

    double uniform(double a, double b) override {
        ranges_.emplace_back(a, b);
        if (uniforms_.empty()) return a + fallback_ * (b - a);
        const double v = uniforms_.front();
        uniforms_.pop_front();
        return v;
    }
    bool coin() override {
        if (coins_.empty()) return fallbackCoin_;
        const bool v = coins_.front();
        coins_.pop_front();
        return v;
    }

    const std::vector<std::pair<double, double>>& ranges() const { return ranges_; }
    void clearRanges() { ranges_.clear(); }

private:
    std::deque<double> uniforms_;
    std::deque<bool> coins_;
    std::vector<std::pair<double, double>> ranges_;
    double fallback_ = 0.5;
    bool fallbackCoin_ = true;
};

}  // namespace pawlane
