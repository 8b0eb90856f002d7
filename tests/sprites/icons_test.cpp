#include <gtest/gtest.h>

#include "sprites/catalogue.h"
#include "sprites/icons.h"

using namespace pawlane;

namespace {

using Px = std::array<std::uint8_t, 4>;

// Image rows run top-down; the icon's geometry is given bottom-up.
Px at(const Image& img, int x, int yUp) { return img.pixel(x, img.height() - 1 - yUp); }

const Px kTile = {247, 232, 205, 255};

}  // namespace

TEST(IconImage, LargeIconPlacesTheShibaOnTheTile) {
    const Image icon = iconImage(1024);
    ASSERT_EQ(icon.width(), 1024);
    // Sprite 624 x 364 at (200, 252.7232): its eye (map 20,4) is the 26 x 26 block
    // from x = 200 + 20*26, rows counted down from the sprite top at 616.7232.
    const int eyeX = 200 + 20 * 26 + 13;
    const int eyeYUp = int(252.7232 + 364 - 4 * 26 - 13);
    EXPECT_EQ(at(icon, eyeX, eyeYUp), (Px{44, 34, 26, 255}));
    // Just left of the sprite's box: tile or ground colour, never a sprite colour.
    EXPECT_EQ(at(icon, 190, 700), kTile);
    EXPECT_EQ(at(icon, 512, 150), (Px{234, 214, 177, 255}));  // ground band
    EXPECT_EQ(at(icon, 0, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(icon, 1023, 1023), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(icon, 110, 110)[3], 0);  // inside the inset square but outside the rounded corner
}

TEST(IconImage, SpriteScaleIsWholeAboveOneAndFractionalBelow) {
    // 128 px: k = 3, sprite 72 x 42 from x = 28. Run along the sprite's body row.
    const Image icon = iconImage(128);
    const double d = 0.098 * 128, e = 128 - 2 * d, bottom = d + 0.2 * e - 0.012 * 128;
    const int bodyRowUp = int(bottom + 42 - 6 * 3 - 1);  // map row 6 (body), 3 px high
    int first = -1, last = -1;
    for (int x = 0; x < 128; ++x)
        if (at(icon, x, bodyRowUp) == (Px{224, 152, 74, 255})) {
            if (first < 0) first = x;
            last = x;
        }
    EXPECT_EQ(first, 28 + 5 * 3);
    EXPECT_EQ(last, 28 + 18 * 3 + 2);

    const Image small = iconImage(16);
    EXPECT_EQ(small.width(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(at(small, i, 0)[3], 0);
        EXPECT_EQ(at(small, 0, i)[3], 0);
    }
}

TEST(StatusSpecies, MostNumerousEarliestOnTies) {
    CustomPetDef rex;
    rex.id = "R";
    rex.shape = "cat";
    struct Case {
        std::map<std::string, int> counts;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "shiba"},
        {{{"cat", 2}, {"fox", 2}}, "cat"},
        {{{"fox", 2}, {"turtle", 2}, {"custom:R", 2}}, "fox"},
        {{{"shiba", 2}, {"custom:R", 3}}, "custom:R"},
        {{{"shiba", 0}, {"corgi", 0}}, "shiba"},
        {{{"turtle", 1}}, "turtle"},
        {{{"unknown", 5}, {"dino", 1}}, "dino"},
    };
    for (const auto& c : cases) EXPECT_EQ(statusSpecies(c.counts, {rex}).id, c.expected);
    EXPECT_EQ(statusSpecies({{"custom:R", 3}}, {rex}).family, "cat");
}

TEST(MenuBarIcon, GeometryFollowsTheIdleFrame) {
    struct Case {
        const Species& s;
        double p, width, offset;
    };
    const Case cases[] = {
        {SHIBA, 26.0 / 24, 26, (17 - 14 * 26.0 / 24) / 2},
        {CORGI, 26.0 / 24, 26, 2},
        {PENGUIN, 17.0 / 13, 14 * 17.0 / 13, 0},
        {DINO, 1.0625, 21.25, 0},
        {TURTLE, 26.0 / 22, 26, (17 - 8 * 26.0 / 22) / 2},
    };
    for (const auto& c : cases) {
        const auto g = menuBarIconGeometry(c.s);
        EXPECT_NEAR(g.p, c.p, 1e-9) << c.s.id;
        EXPECT_NEAR(g.width, c.width, 1e-9) << c.s.id;
        EXPECT_NEAR(g.offset, c.offset, 1e-9) << c.s.id;
    }
}

TEST(MenuBarIcon, SilhouetteInOneColourWithEmptyBands) {
    const Image img = menuBarIcon(TURTLE, 2.0, {20, 20, 20});
    ASSERT_EQ(img.width(), 52);
    ASSERT_EQ(img.height(), 34);
    // Bands of ~3.77 pt (7.5 px) above and below are empty.
    for (int x = 0; x < 52; ++x) {
        EXPECT_EQ(img.pixel(x, 2)[3], 0);
        EXPECT_EQ(img.pixel(x, 31)[3], 0);
    }
    // Every opaque pixel has the one colour.
    int opaque = 0;
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 52; ++x)
            if (img.pixel(x, y)[3] == 255) {
                ++opaque;
                EXPECT_EQ(img.pixel(x, y), (Px{20, 20, 20, 255}));
            }
    EXPECT_GT(opaque, 100);
}
