#pragma once
// What the world reads of the desktop and does to its strip window.
// Global screen coordinates: points, origin at the bottom-left of the
// primary screen, y upward.
#include "platform/canvas.h"
#include "platform/layer.h"

namespace pawlane {

class Desktop {
public:
    virtual ~Desktop() = default;
    // The primary screen's frame.
    virtual RectF screenFrame() const = 0;
    // The pointer's position.
    virtual PointF pointer() const = 0;
};

// The transparent strip window along the bottom of the primary screen.
class StripWindow {
public:
    virtual ~StripWindow() = default;
    // A global screen point in the window's coordinates (origin at its bottom-left).
    virtual PointF fromScreen(PointF screenPoint) const = 0;
    // False lets clicks fall through to whatever lies below the strip.
    virtual void setTakesClicks(bool on) = 0;
    // Lays the window out again on the current strip rectangle and redraws it,
    // so a new pet size takes effect.
    virtual void refreshFrame() = 0;
    // Where the pets' layers hang.
    virtual RootLayer& rootLayer() = 0;
    // Ends one world tick: repaint what the root's damage says changed, in one go.
    virtual void commit() {}
};

}  // namespace pawlane
