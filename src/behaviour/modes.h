#pragma once
// The activity modes: multipliers and switches the behaviour code reads; a mode adds
// no behaviour of its own. "modeIdx" in the settings indexes MODES.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace pawlane {

// A closed range of seconds.
struct SecondsRange {
    double lower = 0;
    double upper = 0;
};

struct ModeParams {
    bool edges = false;            // pets keep to home zones at the two ends of the strip
    double speedMul = 1.0;         // on the running speed
    double restIntervalMul = 1.0;  // on the time between rests
    double restDurMul = 1.0;       // on the length of a rest
    double napBias = 0.3;          // chance that a break is a nap
    double napDurMul = 1.0;        // on the length of a nap
    SecondsRange socialCooldown{40, 80};  // before the same two pets may meet again
};

struct ActivityMode {
    std::string_view name;
    ModeParams params;
};

// In menu order.
inline constexpr std::array<ActivityMode, 3> MODES{{
    {"Playful", {false, 1.0, 1.0, 1.0, 0.3, 1.0, {40, 80}}},
    {"Calm", {true, 0.75, 0.6, 1.7, 0.45, 1.5, {180, 360}}},
    {"Sleepy", {false, 0.6, 0.25, 2.2, 0.85, 2.5, {600, 900}}},
}};

// The entry for a stored index, clamped into the table.
inline const ActivityMode& modeAt(std::int64_t index) {
    const auto last = static_cast<std::int64_t>(MODES.size()) - 1;
    return MODES[static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, last))];
}

}  // namespace pawlane
