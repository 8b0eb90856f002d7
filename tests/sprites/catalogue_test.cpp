#include <gtest/gtest.h>

#include <set>

#include "sprites/catalogue.h"

using namespace pawlane;

namespace {

// Pixels where two maps of one shape differ.
std::set<std::pair<int, int>> differences(const PixelMap& a, const PixelMap& b) {
    std::set<std::pair<int, int>> out;
    for (std::size_t y = 0; y < a.size(); ++y)
        for (std::size_t x = 0; x < a[y].size(); ++x)
            if (a[y][x] != b[y][x]) out.insert({int(x), int(y)});
    return out;
}

}  // namespace

TEST(Catalogue, SpeciesInMenuOrderWithTheirFrameSizes) {
    struct Row {
        const char* id;
        int w, h;
        std::size_t runFrames;
        const char* family;
    };
    const Row rows[] = {
        {"shiba", 24, 14, 4, "dog"},    {"corgi", 24, 12, 4, "dog"},     {"golden", 24, 14, 4, "dog"},
        {"husky", 24, 14, 4, "dog"},    {"dalmatian", 24, 14, 4, "dog"}, {"lab", 24, 14, 4, "dog"},
        {"cat", 24, 13, 4, "cat"},      {"fox", 24, 14, 4, "other"},     {"rabbit", 20, 13, 2, "other"},
        {"penguin", 14, 13, 2, "other"}, {"chicken", 16, 13, 2, "other"}, {"dino", 20, 16, 2, "other"},
        {"turtle", 22, 8, 2, "other"},
    };
    ASSERT_EQ(ALL_SPECIES.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Species& s = ALL_SPECIES[i];
        SCOPED_TRACE(s.id);
        EXPECT_EQ(s.id, rows[i].id);
        EXPECT_EQ(s.family, rows[i].family);
        EXPECT_EQ(s.runMaps.size(), rows[i].runFrames);
        EXPECT_EQ(s.runBob.size(), rows[i].runFrames);
        EXPECT_EQ(s.idleMaps.size(), 2u);
        EXPECT_EQ(s.pixelW(), rows[i].w);
        for (const auto* maps : {&s.runMaps, &s.idleMaps})
            for (const auto& map : *maps) {
                ASSERT_EQ(int(map.size()), rows[i].h);
                for (const auto& row : map) EXPECT_EQ(int(row.size()), rows[i].w);
                const Image img = renderMap(map, s.palette);
                EXPECT_EQ(img.width(), rows[i].w);
                EXPECT_EQ(img.height(), rows[i].h);
            }
    }
    EXPECT_EQ(tallestRunFrameRows(), 16);
    EXPECT_EQ(RABBIT.hopper, true);
    EXPECT_EQ(BLACK_LAB.emoji, "\U0001F415\u200D\U0001F9BA");
}

TEST(Catalogue, IdleFramesFollowFromRunFramesAndTheIdlePatch) {
    struct Row {
        const Species& s;
        std::size_t standingRunFrame;
        std::set<std::pair<int, int>> patch;
    };
    const std::set<std::pair<int, int>> dogTail = {{2, 2}, {2, 3}, {3, 3}, {2, 4}, {3, 5}};
    const Row rows[] = {
        {SHIBA, 2, dogTail},
        {CORGI, 2, dogTail},
        {GOLDEN, 2, dogTail},
        {HUSKY, 2, dogTail},
        {DALMATIAN, 2, dogTail},
        {BLACK_LAB, 2, dogTail},
        {CAT, 2, {{1, 2}, {1, 3}, {0, 2}, {0, 3}}},
        {FOX, 2, {{1, 2}, {2, 2}, {1, 5}, {2, 5}}},
        {RABBIT, 0, {{9, 0}, {9, 1}, {8, 0}, {8, 1}}},
        {PENGUIN, 0, {{6, 2}}},
        {CHICKEN, 0, {{1, 5}, {0, 5}}},
        {DINO, 0, {{15, 1}}},
        {TURTLE, 0, {{19, 4}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.s.id);
        EXPECT_EQ(row.s.idleMaps[0], row.s.runMaps[row.standingRunFrame]);
        const auto diff = differences(row.s.idleMaps[0], row.s.idleMaps[1]);
        EXPECT_FALSE(diff.empty());
        for (const auto& p : diff) EXPECT_TRUE(row.patch.count(p)) << p.first << "," << p.second;
    }
}

TEST(Catalogue, DerivedBodiesCarryTheirMarkings) {
    EXPECT_EQ(HUSKY_BODY[3].substr(19, 3), "www");
    EXPECT_EQ(HUSKY_BODY[4][20], 'e');
    EXPECT_EQ(LAB_BODY[4][20], 'e');
    EXPECT_EQ(differences(DOG_BODY, DALMATIAN_BODY).size(), 6u);
    EXPECT_EQ(differences(DOG_BODY, CORGI_BODY).size(), 21u);
    EXPECT_EQ(CORGI_BODY[8], ".....bwwwwwwwwwwww......");
}
