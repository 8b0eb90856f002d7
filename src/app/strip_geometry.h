#pragma once
// Where the strip stands: full screen width, directly above a bottom panel,
// tall enough for the tallest pet at the current scale plus headroom.
#include "platform/screens.h"

namespace pawlane {

// (tallest first run frame of the built-in species + 14) x scale.
double stripHeight(double scale);

// Global coordinates (y up). The lower edge is the higher of the screen's and
// the visible area's lower edges, so a panel on a side or at the top leaves
// the strip on the screen's edge.
RectF stripRect(const ScreenGeometry& screen, double scale);

}  // namespace pawlane
