// The world tick: hover and click-through, hiding, the waiting friends'
// rebuild, home zones of the edge-keeping mode, and the trace switch.
#include <cstdlib>

#include "platform/log.h"
#include "sprites/custom_species.h"
#include "world_fixture.h"

namespace pawlane {
namespace {

class WorldTickTest : public WorldTest {};

TEST_F(WorldTickTest, HoverCountsEightPointsOfHeadroomAndSwitchesClickThrough) {
    auto pet = addPet(SHIBA, 300);
    pet->state = Pet::State::resting(clock.now() + 100);  // stays put
    struct Case {
        double aboveHead;
        bool hovered;
    };
    for (const Case c : {Case{5, true}, Case{9, false}, Case{-10, true}}) {
        pointerAtStrip(pet->centreX(), pet->spriteHeight() + c.aboveHead);
        tick();
        EXPECT_EQ(world.hoveredPet() == pet.get(), c.hovered) << c.aboveHead;
        EXPECT_EQ(desktop.takesClicks, c.hovered) << c.aboveHead;
    }
    pointerAtStrip(pet->x - 1, 5);
    tick();
    EXPECT_FALSE(desktop.takesClicks);
    // A gesture in progress keeps the clicks even off the pet.
    world.stripView().mouseDown({pet->centreX(), 5}, 1);
    tick();
    EXPECT_TRUE(desktop.takesClicks);
}

TEST_F(WorldTickTest, OnlyTheTopmostOverlappingPetShowsItsTag) {
    CustomPetDef a, b;
    a.name = "Below";
    b.name = "Above";
    auto below = addPet(speciesFrom(a), 300);
    auto above = addPet(speciesFrom(b), 310);
    below->state = Pet::State::resting(clock.now() + 100);
    above->state = Pet::State::resting(clock.now() + 100);
    pointerAtStrip(320, 10);
    tick();
    EXPECT_FALSE(above->nameTag.hidden());
    EXPECT_EQ(above->nameTag.string(), "Above");
    EXPECT_TRUE(below->nameTag.hidden());
}

TEST_F(WorldTickTest, HiddenPetsFreezeEverythingIncludingAPendingRebuild) {
    auto pet = addPet(SHIBA, 300);
    store.setBoolean(keys::petsHidden, true);
    world.friendRebuildPending = true;
    tick(10);
    EXPECT_EQ(pet->x, 300);
    EXPECT_EQ(world.pets.front(), pet);
    EXPECT_TRUE(world.friendRebuildPending);
}

TEST_F(WorldTickTest, FriendsRebuildWaitsForTheGestureAndTheBall) {
    auto dog = addPet(SHIBA, 300);
    dog->state = Pet::State::resting(clock.now() + 100);
    world.friendRebuildPending = true;
    StripView& view = world.stripView();

    view.mouseDown({dog->centreX(), 5}, 1);
    tick();
    EXPECT_EQ(world.pets.front(), dog) << "a gesture is in progress";
    view.mouseUp({dog->centreX(), 5}, 1);
    view.mouseDown({dog->centreX(), 5}, 2);
    view.mouseUp({dog->centreX(), 5}, 2);  // throws
    ASSERT_TRUE(world.ball);
    tick();
    EXPECT_EQ(world.pets.front(), dog) << "the ball is out";
    EXPECT_TRUE(world.friendRebuildPending);

    world.clearBall();
    tick();
    EXPECT_FALSE(world.friendRebuildPending);
    ASSERT_EQ(world.pets.size(), 1u);
    EXPECT_NE(world.pets.front(), dog);
}

class HomeZoneTest : public WorldTest {
protected:
    void SetUp() override { setMode(1); }  // Calm keeps to the edges
    const double zone = 0.24 * 1440;
};

TEST_F(HomeZoneTest, CrossesToItsZonePatrolsThereAndSwitchesOnExcursion) {
    auto pet = addPet(SHIBA, 20, -1);
    pet->homeSide = 1;
    const double lo = 1440 - zone, hi = 1440 - 8 - pet->spriteWidth();

    tick();
    EXPECT_EQ(pet->dir, 1) << "turned toward home";
    ASSERT_TRUE(tickUntil([&] { return pet->x >= lo - 1; }));
    for (int i = 0; i < 600; ++i) {
        tick();
        ASSERT_GE(pet->x, lo);
        ASSERT_LE(pet->x, hi);
    }

    pet->nextExcursionAt = clock.now() + World::kFrame;
    random.pushUniform(200);
    tick();
    EXPECT_EQ(pet->homeSide, 0);
    EXPECT_DOUBLE_EQ(pet->nextExcursionAt, clock.now() + 200);
    EXPECT_EQ(pet->dir, -1);
    ASSERT_TRUE(tickUntil([&] { return pet->x <= zone + 1; }));
}

TEST_F(HomeZoneTest, ZonesOnlyForRoamingPetsAndNotWhileGatheringAtThePointer) {
    const RectF frame = desktop.screen;
    auto pet = addPet(SHIBA, 20);
    pet->homeSide = 1;
    const XRange full{8, 1440 - 8 - pet->spriteWidth()};
    pet->x = 1300;  // at home in the right zone

    XRange r = world.bounds(*pet, frame, clock.now());
    EXPECT_DOUBLE_EQ(r.minX, 1440 - zone);
    EXPECT_DOUBLE_EQ(r.maxX, full.maxX);

    pet->state = Pet::State::sniffing(clock.now() + 1, 1);
    r = world.bounds(*pet, frame, clock.now());
    EXPECT_DOUBLE_EQ(r.minX, full.minX);

    pet->state = Pet::State::running();
    store.setBoolean(keys::followMouse, true);
    r = world.bounds(*pet, frame, clock.now());
    EXPECT_DOUBLE_EQ(r.minX, full.minX);
    EXPECT_DOUBLE_EQ(r.maxX, full.maxX);

    store.setBoolean(keys::followMouse, false);
    setMode(0);
    r = world.bounds(*pet, frame, clock.now());
    EXPECT_DOUBLE_EQ(r.minX, full.minX);
}

TEST(Trace, WritesToStandardErrorOnlyWhileTheVariableIsPresent) {
    const char* saved = std::getenv("PAWLANE_TRACE");
    const std::string keep = saved ? saved : "";

    ::unsetenv("PAWLANE_TRACE");
    testing::internal::CaptureStderr();
    stderrTrace().trace("away");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ::setenv("PAWLANE_TRACE", "", 1);
    testing::internal::CaptureStderr();
    stderrTrace().trace("away");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "pawlane: away\n");

    if (saved)
        ::setenv("PAWLANE_TRACE", keep.c_str(), 1);
    else
        ::unsetenv("PAWLANE_TRACE");
}

}  // namespace
}  // namespace pawlane
