// Pointer gestures on the strip: click, hold to pet, drag, double-click.
#include "world_fixture.h"

namespace pawlane {
namespace {

class GestureTest : public WorldTest {
protected:
    StripView& view = world.stripView();
    PointF on(const Pet& pet) const { return {pet.centreX(), 10}; }
    void hold(double seconds) { queue.advance(seconds); }
};

TEST_F(GestureTest, DragStartsOnlyBeyondTheThreshold) {
    struct Case {
        bool petting;
        double dx, dy;
        bool drags;
    };
    const Case cases[] = {
        {false, 11, 0, false}, {false, 11.5, 0, true}, {false, 0, -11.5, true},
        {true, 26, 0, false},  {true, 26.5, 0, true},  {true, 0, 26, false},
    };
    for (const Case& c : cases) {
        world.pets.clear();
        auto pet = addPet(SHIBA, 300);
        const PointF p = on(*pet);
        view.mouseDown(p, 1);
        if (c.petting) hold(0.35);
        ASSERT_EQ(view.isPetting, c.petting);
        view.mouseDragged({p.x + c.dx, p.y + c.dy});
        EXPECT_EQ(view.didDrag, c.drags) << c.dx << "," << c.dy << " petting " << c.petting;
        EXPECT_EQ(pet->state.is(K::Dragged), c.drags);
        view.mouseUp({p.x + c.dx, p.y + c.dy}, 1);
    }
}

TEST_F(GestureTest, DraggedPetFollowsThePointerInsideTheScreenAndRunsOnWhenReleased) {
    auto pet = addPet(SHIBA, 300);
    pet->state = Pet::State::sniffing(clock.now() + 5, 1);  // any state can be picked up
    view.mouseDown(on(*pet), 1);
    view.mouseDragged({700, 10});
    EXPECT_DOUBLE_EQ(pet->x, 700 - pet->spriteWidth() / 2);
    view.mouseDragged({1439, 10});
    EXPECT_DOUBLE_EQ(pet->x, 1440 - 8 - pet->spriteWidth());
    tick();
    EXPECT_DOUBLE_EQ(pet->layer.position().y, 3 * pet->scale) << "lifted";
    random.pushCoin(false);
    view.mouseUp({1439, 10}, 1);
    EXPECT_TRUE(pet->state.is(K::Running));
    EXPECT_EQ(pet->dir, -1);
    EXPECT_TRUE(view.activePet.expired());
}

TEST_F(GestureTest, HoldPetsOnlyFreePetsAndNeverWhilePaused) {
    const double now = clock.now();
    struct Case {
        Pet::State state;
        bool paused;
        bool pets;
    };
    const Case cases[] = {
        {Pet::State::running(), false, true},
        {Pet::State::napping(now + 100), false, true},
        {Pet::State::greeting(now + 100), false, false},
        {Pet::State::sniffing(now + 100, 1), false, false},
        {Pet::State::running(), true, false},
    };
    for (const Case& c : cases) {
        world.pets.clear();
        auto pet = addPet(SHIBA, 300);
        pet->state = c.state;
        world.paused = c.paused;
        view.mouseDown(on(*pet), 1);
        hold(0.34);
        EXPECT_FALSE(pet->state.is(K::Petted));
        hold(0.02);
        EXPECT_EQ(pet->state.is(K::Petted), c.pets);
        EXPECT_EQ(view.isPetting, c.pets);
        view.mouseUp(on(*pet), 1);
        world.paused = false;
        if (!c.pets) {
            // The release counts as a click.
            EXPECT_DOUBLE_EQ(pet->jumpUntil, clock.now() + 0.45);
            EXPECT_EQ(pet->state.kind, c.state.isFree() ? K::Running : c.state.kind);
        }
    }
}

TEST_F(GestureTest, ReleaseAfterPettingJumpsAndRunsOnTheSameWay) {
    auto pet = addPet(SHIBA, 300, -1);
    view.mouseDown(on(*pet), 1);
    hold(0.35);
    ASSERT_TRUE(pet->state.is(K::Petted));
    pointerAtStrip(200, 10);  // left of the pet: it faces the pointer
    tick(40);
    EXPECT_EQ(pet->dir, -1);
    EXPECT_EQ(pet->emote.string(), "♥");
    random.setFallbackCoin(true);
    view.mouseUp(on(*pet), 1);
    EXPECT_TRUE(pet->state.is(K::Running));
    EXPECT_DOUBLE_EQ(pet->jumpUntil, clock.now() + 0.4);
    EXPECT_EQ(pet->dir, -1);
}

TEST_F(GestureTest, QuickClickWakesARestingPet) {
    auto pet = addPet(SHIBA, 300);
    pet->state = Pet::State::resting(clock.now() + 100);
    view.mouseDown(on(*pet), 1);
    hold(0.2);
    view.mouseUp(on(*pet), 1);
    EXPECT_TRUE(pet->state.is(K::Running));
    EXPECT_DOUBLE_EQ(pet->jumpUntil, clock.now() + 0.45);
    hold(1);
    EXPECT_FALSE(pet->state.is(K::Petted)) << "the hold timer died with the release";
}

TEST_F(GestureTest, DoubleClickFetchesWithADogAndClicksAgainOnAPenguin) {
    auto dog = addPet(SHIBA, 300);
    auto penguin = addPet(PENGUIN, 900);
    for (auto* pet : {&dog, &penguin}) {
        const PointF p = on(**pet);
        view.mouseDown(p, 1);
        view.mouseUp(p, 1);
        clock.advance(0.2);
        view.mouseDown(p, 2);
        EXPECT_FALSE(view.holdTimer) << "no hold timer on a second press";
        view.mouseUp(p, 2);
    }
    EXPECT_TRUE(dog->state.is(K::FetchWait));
    ASSERT_TRUE(world.ball);
    EXPECT_DOUBLE_EQ(world.fetchOrigin, dog->centreX());
    EXPECT_TRUE(penguin->state.is(K::Running));
    EXPECT_DOUBLE_EQ(penguin->jumpUntil, clock.now() + 0.45) << "the second click's reaction";
}

TEST_F(GestureTest, PressOnEmptyStripDoesNothing) {
    auto pet = addPet(SHIBA, 300);
    view.mouseDown({100, 10}, 1);
    EXPECT_TRUE(view.activePet.expired());
    view.mouseDragged({400, 10});
    view.mouseUp({400, 10}, 1);
    EXPECT_EQ(pet->x, 300);
    EXPECT_EQ(pet->jumpUntil, 0);
}

TEST_F(GestureTest, TopmostPetWinsTheHit) {
    auto below = addPet(SHIBA, 300);
    auto above = addPet(CORGI, 310);
    view.mouseDown({320, 10}, 1);
    EXPECT_EQ(view.activePet.lock(), above);
    view.mouseUp({320, 10}, 1);
}

}  // namespace
}  // namespace pawlane
