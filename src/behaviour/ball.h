#pragma once
// The thrown ball: flies under gravity, bounces on the strip's floor, rolls to
// a stop and stays between its limits. At most one exists at a time.
#include "platform/layer.h"

namespace pawlane {

class Ball {
public:
    static constexpr double kGravity = 900;       // points/s², downward
    static constexpr double kBounceAbove = 40;    // landing speed that still bounces
    static constexpr double kBounceKeep = 0.55;   // of the vertical speed, upward again
    static constexpr double kBounceSlide = 0.85;  // of the horizontal speed on a bounce
    static constexpr double kRollKeep = 0.9;      // of the horizontal speed per tick on the floor
    static constexpr double kWallKeep = 0.7;      // of the horizontal speed off a wall

    // A ball of `scale` points per ball pixel with its centre at x, bottom at y.
    Ball(double x, double y, double vx, double vy, double scale);

    // One physics step; minX/maxX bound the ball's centre. A carried ball
    // stays where its carrier puts it.
    void tick(double dt, double minX, double maxX);

    ImageLayer layer;
    double x;
    double y;  // bottom above the floor
    double vx;
    double vy;  // positive upward
    bool carried = false;
    const double scale;
};

}  // namespace pawlane
