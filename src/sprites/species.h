#pragma once
// One kind of pet: names, colours, animation frames and movement numbers.
#include <string>
#include <vector>

#include "sprites/pixel_map.h"

namespace pawlane {

struct Species {
    std::string id;     // settings key: a built-in id or "custom:<def id>"
    std::string name;
    std::string emoji;
    Palette palette;
    std::vector<PixelMap> runMaps;  // never empty
    std::vector<double> runBob;     // lift per run frame, in thirds of a sprite pixel
    std::vector<PixelMap> idleMaps; // 0: plain pose, 1: the same with a small change
    double frameTime = 0.09;        // seconds per run frame
    double speedFactor = 1.0;
    bool hopper = false;
    std::string family = "other";   // "dog", "cat" or "other"

    // Width in pixels of the first run frame (1 when it has no rows).
    int pixelW() const;
    std::vector<Image> runImages() const;
    std::vector<Image> idleImages() const;
};

}  // namespace pawlane
