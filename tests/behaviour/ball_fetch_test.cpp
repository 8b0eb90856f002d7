// The ball's physics and the whole fetch, from the throw to the despawn.
#include <cmath>

#include "world_fixture.h"

namespace pawlane {
namespace {

TEST(BallPhysics, ThrowLandsOnTheSeventeenthTickAndBounces) {
    Ball ball(0, 24, 300, 220, 3);
    for (int i = 1; i <= 16; ++i) {
        ball.tick(1.0 / 30, -1e6, 1e6);
        ASSERT_GT(ball.y, 0) << "tick " << i;
    }
    ball.tick(1.0 / 30, -1e6, 1e6);
    EXPECT_EQ(ball.y, 0);
    EXPECT_NEAR(ball.x, 170, 1e-9);
    EXPECT_NEAR(ball.vy, 0.55 * 290, 1e-9);  // 159.5 upward
    EXPECT_NEAR(ball.vx, 255, 1e-9);
}

TEST(BallPhysics, BouncesOnlyAboveFortyAndRollsWithFriction) {
    struct Case {
        double vy;  // before the tick; gravity adds 30 downward
        double vyAfter;
        double vxAfter;
    };
    const Case cases[] = {
        {-10, 0, 90},                // lands at 40: no bounce, rolls
        {-10.5, 0.55 * 40.5, 85},    // lands at 40.5: bounces
        {0, 0, 90},                  // resting on the floor: rolls
    };
    for (const Case& c : cases) {
        Ball ball(500, 0.1, 100, c.vy, 3);
        ball.tick(1.0 / 30, 0, 1000);
        EXPECT_EQ(ball.y, 0);
        EXPECT_NEAR(ball.vy, c.vyAfter, 1e-9) << "vy " << c.vy;
        EXPECT_NEAR(ball.vx, c.vxAfter, 1e-9) << "vy " << c.vy;
    }
    Ball rolling(500, 0, 100, 0, 3);
    for (int i = 0; i < 3; ++i) rolling.tick(1.0 / 30, 0, 1000);
    EXPECT_NEAR(rolling.vx, 100 * 0.9 * 0.9 * 0.9, 1e-9);
}

TEST(BallPhysics, WallsReverseAndKeepSevenTenths) {
    Ball right(995, 50, 300, 0, 3);
    right.tick(1.0 / 30, 4, 996);
    EXPECT_EQ(right.x, 996);
    EXPECT_NEAR(right.vx, -210, 1e-9);

    Ball left(5, 50, -300, 0, 3);
    left.tick(1.0 / 30, 4, 996);
    EXPECT_EQ(left.x, 4);
    EXPECT_NEAR(left.vx, 210, 1e-9);

    Ball carried(500, 20, 300, 100, 3);
    carried.carried = true;
    carried.tick(1.0 / 30, 4, 996);
    EXPECT_EQ(carried.x, 500);
    EXPECT_EQ(carried.vy, 100);
}

class FetchTest : public WorldTest {
protected:
    // Throws for `pet` with vx magnitude 300 and vy 220, released at originX.
    void throwFor(const std::shared_ptr<Pet>& pet, double originX) {
        random.pushUniform(300);
        random.pushUniform(220);
        world.startFetch(pet, {originX, 10});
    }
};

TEST_F(FetchTest, DogChasesCarriesBackDropsAndRests) {
    auto dog = addPet(SHIBA, 300, 1);
    const double s = settings.scale();
    const double thrownAt = clock.now();
    throwFor(dog, 250);

    ASSERT_TRUE(world.ball);
    EXPECT_EQ(random.ranges()[random.ranges().size() - 2], (std::pair<double, double>{240, 360}));
    EXPECT_EQ(random.ranges().back(), (std::pair<double, double>{190, 260}));
    EXPECT_DOUBLE_EQ(world.ball->x, dog->centreX());
    EXPECT_DOUBLE_EQ(world.ball->y, 8 * s);
    EXPECT_DOUBLE_EQ(world.ball->vx, 300);
    EXPECT_DOUBLE_EQ(world.ball->vy, 220);
    EXPECT_EQ(desktop.root.sublayers().back(), &world.ball->layer) << "above every pet";
    EXPECT_EQ(world.ball->layer.bounds(), (SizeF{4 * s, 4 * s}));
    EXPECT_EQ(world.fetchOrigin, 250);
    EXPECT_FALSE(world.ballDespawnAt);
    EXPECT_TRUE(dog->state.is(K::FetchWait));
    EXPECT_DOUBLE_EQ(dog->fetchDeadline, thrownAt + 14);

    ASSERT_TRUE(tickUntil([&] { return !dog->state.is(K::FetchWait); }));
    EXPECT_NEAR(clock.now() - thrownAt, 0.35, World::kFrame + 1e-9);
    EXPECT_TRUE(dog->state.is(K::FetchChase));

    ASSERT_TRUE(tickUntil([&] { return world.ball->carried; }));
    EXPECT_TRUE(dog->state.is(K::FetchReturn));
    // The world places the ball before the pets move.
    const double mouth = dog->x + dog->spriteWidth() * (dog->dir > 0 ? 0.95 : 0.05);
    tick();
    EXPECT_DOUBLE_EQ(world.ball->x, mouth);
    EXPECT_DOUBLE_EQ(world.ball->y, 5 * s);

    ASSERT_TRUE(tickUntil([&] { return !dog->state.is(K::FetchReturn); }));
    EXPECT_NEAR(dog->centreX(), 250, 1e-9);
    EXPECT_TRUE(dog->state.is(K::Resting));
    EXPECT_DOUBLE_EQ(dog->state.until, clock.now() + 1.8);
    EXPECT_EQ(dog->emote.string(), "♥");
    ASSERT_TRUE(world.ball);
    EXPECT_FALSE(world.ball->carried);
    ASSERT_TRUE(world.ballDespawnAt);
    EXPECT_DOUBLE_EQ(*world.ballDespawnAt, clock.now() + 1.5);

    const double dropped = clock.now();
    ASSERT_TRUE(tickUntil([&] { return !world.ball; }));
    EXPECT_NEAR(clock.now() - dropped, 1.5, World::kFrame + 1e-9);
    EXPECT_TRUE(world.ballOwner.expired());
    EXPECT_EQ(desktop.root.sublayers().size(), 4u) << "the ball's layer left the strip";
}

TEST_F(FetchTest, CatSwatsTheBallAwayAndRests) {
    auto cat = addPet(CAT, 300, -1);
    throwFor(cat, 300);
    EXPECT_DOUBLE_EQ(world.ball->vx, -300) << "thrown the way the pet faces";
    ASSERT_TRUE(tickUntil([&] { return cat->state.is(K::Resting); }));
    EXPECT_DOUBLE_EQ(world.ball->vx, cat->dir * 340);
    EXPECT_DOUBLE_EQ(world.ball->vy, 150);
    EXPECT_FALSE(world.ball->carried);
    EXPECT_DOUBLE_EQ(cat->state.until, clock.now() + 1.2);
    EXPECT_EQ(cat->emote.string(), "!");
    ASSERT_TRUE(world.ballDespawnAt);
    EXPECT_DOUBLE_EQ(*world.ballDespawnAt, clock.now() + 2.5);
}

TEST_F(FetchTest, DogThatCannotReachTheBallGivesUpAfterFourteenSeconds) {
    auto dog = addPet(SHIBA, 300, 1);
    const double thrownAt = clock.now();
    throwFor(dog, 300);
    dog->speedJitter = 0.001;  // far too slow to reach it
    ASSERT_TRUE(tickUntil([&] { return dog->state.is(K::Running); }, 1000));
    EXPECT_NEAR(clock.now() - thrownAt, 14, World::kFrame + 1e-9);
    ASSERT_TRUE(world.ballDespawnAt);
    EXPECT_DOUBLE_EQ(*world.ballDespawnAt, clock.now() + 0.5);
    const double gaveUp = clock.now();
    ASSERT_TRUE(tickUntil([&] { return !world.ball; }));
    EXPECT_NEAR(clock.now() - gaveUp, 0.5, World::kFrame + 1e-9);
}

TEST_F(FetchTest, DraggingTheCarrierDropsTheBallWhichGoesTwoAndAHalfSecondsLater) {
    auto dog = addPet(SHIBA, 300, 1);
    throwFor(dog, 200);
    ASSERT_TRUE(tickUntil([&] { return world.ball->carried; }));

    StripView& view = world.stripView();
    view.mouseDown({dog->centreX(), 10}, 1);
    view.mouseDragged({dog->centreX() + 40, 10});
    ASSERT_TRUE(dog->state.is(K::Dragged));
    tick();
    EXPECT_FALSE(world.ball->carried);
    ASSERT_TRUE(world.ballDespawnAt);
    const double dropped = clock.now();
    EXPECT_DOUBLE_EQ(*world.ballDespawnAt, dropped + 2.5);
    ASSERT_TRUE(tickUntil([&] { return !world.ball; }));
    EXPECT_NEAR(clock.now() - dropped, 2.5, World::kFrame + 1e-9);
}

TEST_F(FetchTest, ThrowOnlyForAFreeDogOrCatInAnUnpausedWorldWithoutABall) {
    struct Case {
        const char* what;
        const Species* species;
        Pet::State state;
        bool paused;
        bool ballOut;
        bool throws;
    };
    const double now = clock.now();
    const Case cases[] = {
        {"napping dog", &SHIBA, Pet::State::napping(now + 9), false, false, true},
        {"running cat", &CAT, Pet::State::running(), false, false, true},
        {"running fox", &FOX, Pet::State::running(), false, false, false},
        {"sniffing dog", &SHIBA, Pet::State::sniffing(now + 1, 1), false, false, false},
        {"paused world", &SHIBA, Pet::State::running(), true, false, false},
        {"ball already out", &SHIBA, Pet::State::running(), false, true, false},
    };
    for (const Case& c : cases) {
        auto other = addPet(CORGI, 900);
        auto pet = addPet(*c.species, 300);
        pet->state = c.state;
        world.paused = c.paused;
        if (c.ballOut) throwFor(other, 900);
        Ball* before = world.ball.get();
        throwFor(pet, 300);
        if (c.throws) {
            EXPECT_TRUE(pet->state.is(K::FetchWait)) << c.what;
            EXPECT_NE(world.ball.get(), nullptr) << c.what;
            EXPECT_EQ(pet->jumpUntil, 0) << c.what;
        } else {
            EXPECT_EQ(world.ball.get(), before) << c.what;
            EXPECT_EQ(pet->state.kind, c.state.isFree() ? K::Running : c.state.kind) << c.what;
            EXPECT_DOUBLE_EQ(pet->jumpUntil, now + 0.45) << c.what << ": a click reaction instead";
        }
        world.clearBall();
        world.pets.clear();
        world.paused = false;
        random.clearScript();
    }
}

}  // namespace
}  // namespace pawlane
