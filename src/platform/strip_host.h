#pragma once
// The strip window as the application object drives it: where it stands,
// whether it is shown, one repaint per tick, and where its pointer events go.
#include <functional>

#include "platform/desktop.h"

namespace pawlane {

// Primary-button events in strip coordinates (origin bottom-left, y up), and
// the secondary button, which opens the status menu at a global point.
class StripPointerHandler {
public:
    virtual ~StripPointerHandler() = default;
    virtual void mouseDown(PointF p, int clickCount) = 0;
    virtual void mouseDragged(PointF p) = 0;
    virtual void mouseUp(PointF p, int clickCount) = 0;
    virtual void contextMenu(PointF p) = 0;
};

class StripHost : public StripWindow {
public:
    // Where refreshFrame() takes the window's rectangle from (global coordinates).
    virtual void setFrameSource(std::function<RectF()> source) = 0;
    virtual void setShown(bool shown) = 0;
    virtual bool isShown() const = 0;
    virtual void setPointerHandler(StripPointerHandler* handler) = 0;
};

}  // namespace pawlane
