#pragma once
// An in-memory desktop: one screen, a pointer the test places, and a strip
// window along the screen's bottom whose layer tree the test inspects.
#include "platform/desktop.h"

namespace pawlane {

class FakeDesktop final : public Desktop, public StripWindow {
public:
    RectF screen{0, 0, 1440, 900};
    // Where the strip window's lower-left corner sits on the screen.
    PointF stripOrigin{0, 70};
    PointF pointerAt{-1000, -1000};
    bool takesClicks = false;
    int refreshCount = 0;
    RootLayer root;

    // Places the pointer at a point given in strip coordinates.
    void pointInStrip(double x, double y) { pointerAt = {x + stripOrigin.x, y + stripOrigin.y}; }

    RectF screenFrame() const override { return screen; }
    PointF pointer() const override { return pointerAt; }
    PointF fromScreen(PointF p) const override { return {p.x - stripOrigin.x, p.y - stripOrigin.y}; }
    void setTakesClicks(bool on) override { takesClicks = on; }
    void refreshFrame() override { ++refreshCount; }
    RootLayer& rootLayer() override { return root; }
};

}  // namespace pawlane
