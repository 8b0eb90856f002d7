#pragma once
// Turns a user's design into a Species drawn from the built-in dog or cat body.
#include <vector>

#include "custom/custom_pet_def.h"
#include "sprites/species.h"

namespace pawlane {

extern const std::vector<PixelSet> EYE_PATCH_PIXELS;
extern const std::vector<PixelSet> SPOT_PIXELS;
extern const std::vector<PixelSet> COLLAR_PIXELS;

// Pure: the same definition always gives the same record; never fails.
Species speciesFrom(const CustomPetDef& def);

// Paints "b" and "d" white from row 1 (short legs) or row 2 downwards.
PixelMap whitenLowerLegs(const PixelMap& legs, bool isShort);

}  // namespace pawlane
