#include "app/strip_geometry.h"

#include <algorithm>

#include "sprites/catalogue.h"

namespace pawlane {

double stripHeight(double scale) { return (tallestRunFrameRows() + 14) * scale; }

RectF stripRect(const ScreenGeometry& screen, double scale) {
    return {screen.frame.x, std::max(screen.frame.y, screen.visibleFrame.y), screen.frame.w, stripHeight(scale)};
}

}  // namespace pawlane
