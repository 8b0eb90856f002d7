#include <gtest/gtest.h>

#include "sprites/pixel_map.h"

using namespace pawlane;

TEST(RgbFromHex, ReadsEveryFormItMeetsAndNeverFails) {
    struct Case {
        std::string text;
        Rgb rgb;
    };
    const Case cases[] = {
        {"#fff", {255, 255, 255}},      {"ffffff", {255, 255, 255}},   {" #4A3728 ", {74, 55, 40}},
        {"#12345678", {0x34, 0x56, 0x78}}, {"", {0, 0, 0}},              {"zzz", {0, 0, 0}},
        {"#1234", {0x00, 0x12, 0x34}},  {"## #e09a4a# #", {0xE0, 0x9A, 0x4A}}, {"0x00FF00", {0, 255, 0}},
        {"12zz", {0, 0, 0x12}},         {"#\t4A3728", {74, 55, 40}},   {"not-a-color", {0, 0, 0}},
        {"#FFFFFFFFFFFFFFFFFFFF", {255, 255, 255}},  // overflow saturates
        {"-#abc-", {0, 0, 0}},           // only "#" and " " are stripped
    };
    for (const auto& c : cases) EXPECT_EQ(rgbFromHex(c.text), c.rgb) << '"' << c.text << '"';
}

TEST(HexFrom, TruncatesAndClamps) {
    EXPECT_EQ(hexFrom({1.0, 0.5, 0.0, 1}), "#FF7F00");
    EXPECT_EQ(hexFrom({74 / 255.0, 55 / 255.0, 40 / 255.0, 1}), "#4A3728");
    EXPECT_EQ(hexFrom({1.2, -0.3, 0.999, 1}), "#FF00FE");
    // Text written by hexFrom reads back as the same colour.
    EXPECT_EQ(rgbFromHex(hexFrom({224 / 255.0, 154 / 255.0, 74 / 255.0, 1})), (Rgb{224, 154, 74}));
}

TEST(Patched, ClearsThenSetsInsideTheGridOnly) {
    const PixelMap map = {"abcd", "ef", "ghij"};
    EXPECT_EQ(patched(map, {{2, 2}}, {{2, 2, 'd'}}), (PixelMap{"abcd", "ef", "ghdj"}));
    // Beyond a short row, beyond the grid, negative: untouched.
    EXPECT_EQ(patched(map, {{3, 1}, {-1, 0}, {0, 3}}, {{2, 1, 'x'}, {0, -1, 'x'}, {4, 0, 'x'}}), map);
    // Within a list the later entry wins; the input stays as it was.
    EXPECT_EQ(patched(map, {{0, 0}}, {{1, 0, 'x'}, {1, 0, 'y'}}), (PixelMap{".ycd", "ef", "ghij"}));
    EXPECT_EQ(map[0], "abcd");
}

TEST(RenderMap, UnknownCharactersAndShortRowsAreTransparent) {
    const Palette palette = {{'b', {10, 20, 30}}};
    const Image img = renderMap({"b.bb", "bx"}, palette);
    ASSERT_EQ(img.width(), 4);
    ASSERT_EQ(img.height(), 2);
    using Px = std::array<std::uint8_t, 4>;
    EXPECT_EQ(img.pixel(0, 0), (Px{10, 20, 30, 255}));
    EXPECT_EQ(img.pixel(1, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(img.pixel(1, 1), (Px{0, 0, 0, 0}));
    EXPECT_EQ(img.pixel(2, 1), (Px{0, 0, 0, 0}));
    EXPECT_EQ(img.pixel(3, 1), (Px{0, 0, 0, 0}));
}

TEST(ScaledUp, NearestNeighbourOverOpaqueGrey) {
    const Image clear = renderMap({"."}, {});
    const Image grey = scaledUp(clear, 8, 0.93);
    ASSERT_EQ(grey.width(), 8);
    ASSERT_EQ(grey.height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(grey.pixel(x, y), (std::array<std::uint8_t, 4>{237, 237, 237, 255}));

    // Each source pixel becomes a k x k block, with no blending at the seams.
    const Image two = scaledUp(renderMap({"a.", ".a"}, {{'a', {200, 0, 0}}}), 3, 0.0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool red = (x < 3) == (y < 3);
            EXPECT_EQ(two.pixel(x, y), (std::array<std::uint8_t, 4>{std::uint8_t(red ? 200 : 0), 0, 0, 255}))
                << x << "," << y;
        }
}
