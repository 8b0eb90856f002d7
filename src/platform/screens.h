#pragma once
// The screens as the strip needs them, in global coordinates: points, origin
// at the bottom-left of the primary screen, y upward.
#include <functional>
#include <optional>

#include "platform/canvas.h"

namespace pawlane {

struct ScreenGeometry {
    RectF frame;
    // The frame less the panels that reserve space (the area windows may use).
    RectF visibleFrame;
};

class Screens {
public:
    virtual ~Screens() = default;
    // The primary screen; nothing while no screen is connected.
    virtual std::optional<ScreenGeometry> primary() const = 0;
    // Calls fn on the main thread after any screen, panel or arrangement change.
    virtual void observe(std::function<void()> fn) = 0;
};

}  // namespace pawlane
