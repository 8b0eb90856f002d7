#include "behaviour/ball.h"

#include <cmath>

#include "sprites/catalogue.h"

namespace pawlane {

Ball::Ball(double x_, double y_, double vx_, double vy_, double scale_)
    : x(x_), y(y_), vx(vx_), vy(vy_), scale(scale_) {
    layer.setContents(renderMap(BALL_MAP, BALL_PALETTE));
    layer.setNearestFilter(true);
    layer.setBounds({4 * scale, 4 * scale});
    layer.setAnchor({0.5, 0});
    layer.setPosition({x, y});
}

void Ball::tick(double dt, double minX, double maxX) {
    if (carried) return;
    vy -= kGravity * dt;
    x += vx * dt;
    y += vy * dt;
    if (y <= 0) {
        y = 0;
        if (std::abs(vy) > kBounceAbove) {
            vy = -kBounceKeep * vy;
            vx = kBounceSlide * vx;
        } else {
            vy = 0;
            vx = kRollKeep * vx;
        }
    }
    if (x < minX) {
        x = minX;
        vx = -kWallKeep * vx;
        // A range narrower than nothing: the right limit wins.
        if (maxX < minX) {
            x = maxX;
            vx = -kWallKeep * vx;
        }
    } else if (x > maxX) {
        x = maxX;
        vx = -kWallKeep * vx;
    }
}

}  // namespace pawlane
