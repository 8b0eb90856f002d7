// Building the pack from the preferences.
#include "sprites/custom_species.h"
#include "world_fixture.h"

namespace pawlane {
namespace {

class PackTest : public WorldTest {
protected:
    std::vector<std::string> ids() const {
        std::vector<std::string> out;
        for (const auto& pet : world.pets) out.push_back(pet->species.id);
        return out;
    }
    FriendPetEntry friendPet(int i) {
        FriendPetEntry e;
        e.petName = "Pet" + std::to_string(i);
        e.ownerName = "Owner" + std::to_string(i);
        e.ownerId = "00000000-0000-0000-0000-00000000000" + std::to_string(i % 10);
        e.def.name = e.petName;
        return e;
    }
};

TEST_F(PackTest, OwnPetsFollowTheCountsInCatalogueOrderCappedAtTen) {
    CustomPetDef custom;
    custom.id = "C1";
    const std::string customId = "custom:C1";
    struct Case {
        PrefDictionary counts;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{{"shiba", 2}, {"cat", 1}, {"fox", 0}}, {"shiba", "shiba", "cat"}},
        {{{"cat", 1}, {"shiba", 1}}, {"shiba", "cat"}},
        {{}, {"shiba"}},
        {{{"fox", 0}}, {"shiba"}},
        {{{customId, 2}, {"turtle", 1}}, {"turtle", customId, customId}},
        {{{"corgi", 6}, {"shiba", 4}, {customId, 2}},
         {"shiba", "shiba", "shiba", "shiba", "corgi", "corgi", "corgi", "corgi", "corgi", "corgi"}},
        {{{"shiba", 9}, {customId, 3}},
         {"shiba", "shiba", "shiba", "shiba", "shiba", "shiba", "shiba", "shiba", "shiba", customId}},
    };
    settings.setCustomPets({custom});
    for (const Case& c : cases) {
        store.setDictionary(keys::petCounts, c.counts);
        world.rebuildPets();
        EXPECT_EQ(ids(), c.expected);
    }
}

TEST_F(PackTest, FriendsPetsComeAfterOwnWithOwnerLabelsOnlyWhenSignedInAndShown) {
    std::vector<FriendPetEntry> entries;
    for (int i = 0; i < 12; ++i) entries.push_back(friendPet(i));
    settings.setFriendPets(entries);
    store.setDictionary(keys::petCounts, {{"shiba", 10}});

    social.signedIn = true;
    world.rebuildPets();
    ASSERT_EQ(world.pets.size(), 20u);
    for (int i = 0; i < 10; ++i) {
        const Pet& pet = *world.pets[10 + static_cast<std::size_t>(i)];
        EXPECT_TRUE(pet.isCustom());
        EXPECT_EQ(pet.tagText, "Pet" + std::to_string(i) + " \u00B7 Owner" + std::to_string(i));
    }
    EXPECT_EQ(world.pets[0]->tagText, SHIBA.name) << "own pets keep the species name";

    // A hovered friend's pet shows its label, sized for its characters.
    Pet& first = *world.pets[10];
    first.state = Pet::State::resting(clock.now() + 100);
    first.syncNameTag(true);
    EXPECT_EQ(first.nameTag.string(), "Pet0 · Owner0");
    EXPECT_DOUBLE_EQ(first.nameTag.bounds().w, first.scale * std::max(4.0 * 13, 30.0));

    social.signedIn = false;
    world.rebuildPets();
    EXPECT_EQ(world.pets.size(), 10u);

    social.signedIn = true;
    store.setBoolean(keys::showFriendPets, false);
    world.rebuildPets();
    EXPECT_EQ(world.pets.size(), 10u);
}

TEST_F(PackTest, StartPositionsByModeAndHomeSides) {
    store.setDictionary(keys::petCounts, {{"shiba", 3}});
    setMode(1);
    random.clearRanges();
    world.rebuildPets();
    const std::pair<double, double> left{20, 0.24 * 1440 - 60}, right{1440 - 0.24 * 1440, 1320};
    std::vector<std::pair<double, double>> starts;
    for (const auto& r : random.ranges())
        if (r == left || r == right) starts.push_back(r);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0], left);
    EXPECT_EQ(starts[1], right);
    EXPECT_EQ(starts[2], left);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(world.pets[i]->homeSide, static_cast<int>(i % 2));
        EXPECT_GE(world.pets[i]->x, starts[i].first);
        EXPECT_LE(world.pets[i]->x, starts[i].second);
    }

    setMode(0);
    random.clearRanges();
    world.rebuildPets();
    EXPECT_EQ(random.ranges().front(), (std::pair<double, double>{80, 1240}));
}

TEST_F(PackTest, RebuildReplacesLayersAndClearsBallAndCooldowns) {
    store.setDictionary(keys::petCounts, {{"shiba", 2}});
    world.rebuildPets();
    auto first = world.pets[0];
    random.pushUniform(300);
    random.pushUniform(220);
    world.startFetch(first, {100, 0});
    ASSERT_TRUE(world.ball);
    world.pairCooldowns.set(PairCooldowns::key(1, 2), clock.now() + 100);
    const int refreshes = desktop.refreshCount;

    world.rebuildPets();
    EXPECT_FALSE(world.ball);
    EXPECT_TRUE(world.pairCooldowns.empty());
    EXPECT_EQ(desktop.refreshCount, refreshes + 1);
    EXPECT_EQ(first->layer.superlayer(), nullptr) << "the old pet's layers left the strip";

    const auto& subs = desktop.root.sublayers();
    ASSERT_EQ(subs.size(), 8u);
    for (std::size_t i = 0; i < 2; ++i) {
        const Pet& pet = *world.pets[i];
        EXPECT_EQ(subs[4 * i + 0], &pet.layer);
        EXPECT_EQ(subs[4 * i + 1], &pet.zzz);
        EXPECT_EQ(subs[4 * i + 2], &pet.emote);
        EXPECT_EQ(subs[4 * i + 3], &pet.nameTag);
    }
}

TEST_F(PackTest, NewPetStartsRunningWithItsLayersSetUp) {
    store.setDictionary(keys::petCounts, {{"cat", 1}});
    random.setFallback(0.5);
    world.rebuildPets();
    const Pet& cat = *world.pets[0];
    const double s = settings.scale();
    EXPECT_TRUE(cat.state.is(Pet::State::Kind::Running));
    EXPECT_DOUBLE_EQ(cat.speedJitter, 0.85 + 0.5 * 0.35);
    EXPECT_EQ(cat.layer.bounds(), (SizeF{s * cat.w(), s * cat.h()}));
    EXPECT_EQ(cat.layer.anchor(), (PointF{0.5, 0}));
    EXPECT_DOUBLE_EQ(cat.layer.position().x, cat.x + s * cat.w() / 2);
    EXPECT_TRUE(cat.layer.nearestFilter());
    EXPECT_EQ(cat.zzz.string(), "z Z");
    EXPECT_DOUBLE_EQ(cat.emote.fontSize(), std::max(5 * s, 14.0));
    EXPECT_DOUBLE_EQ(cat.nameTag.fontSize(), std::max(4 * s, 11.0));
    EXPECT_TRUE(cat.zzz.hidden() && cat.emote.hidden() && cat.nameTag.hidden());
    // Rest timer at creation: U[6, 15] × normal breaks × Playful.
    EXPECT_DOUBLE_EQ(cat.nextRestAt, clock.now() + 10.5);
}

}  // namespace
}  // namespace pawlane
