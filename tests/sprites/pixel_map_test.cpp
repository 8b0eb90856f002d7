#include <gtest/gtest.h>

#include "sprites/pixel_map.h"

using namespace pawlane;

TEST(RgbFromHex, Placeholder) { EXPECT_EQ(rgbFromHex("#fff"), (Rgb{255, 255, 255})); }
