// The pet's own tick: speed, turning, breaks, clicks, pause, greeting, hopping, tags.
#include <cmath>

#include "behaviour/world.h"
#include "sprites/custom_species.h"
#include "world_fixture.h"

namespace pawlane {
namespace {

class PetTest : public WorldTest {
protected:
    double maxXFor(const Pet& pet) const { return 1440 - 8 - pet.spriteWidth(); }
    // One frame of just this pet over the whole screen width.
    void petTick(Pet& pet, double cursorX = -1000, bool paused = false) {
        clock.advance(World::kFrame);
        pet.tick(World::kFrame, clock.now(), 8, maxXFor(pet), paused, std::nullopt, cursorX);
    }
};

TEST_F(PetTest, RunsAtBaseSpeedTimesModeFactor) {
    struct Case {
        int mode;
        double pointsPerSecond;
    };
    for (const Case c : {Case{0, 95}, Case{2, 57}}) {
        setMode(c.mode);
        auto pet = addPet(SHIBA, 300, 1);
        for (int i = 0; i < 30; ++i) petTick(*pet);
        EXPECT_NEAR(pet->x - 300, c.pointsPerSecond, 1e-6) << "mode " << c.mode;
        EXPECT_TRUE(pet->state.is(K::Running));
    }
}

TEST_F(PetTest, TurnsWhereItsRangeEnds) {
    auto right = addPet(SHIBA, 0, 1);
    right->x = maxXFor(*right) - 1;
    petTick(*right);
    EXPECT_EQ(right->x, maxXFor(*right));
    EXPECT_EQ(right->dir, -1);
    EXPECT_TRUE(right->layer.mirrored());

    auto left = addPet(SHIBA, 9, -1);
    petTick(*left);
    EXPECT_EQ(left->x, 8);
    EXPECT_EQ(left->dir, 1);
    EXPECT_FALSE(left->layer.mirrored());
}

TEST_F(PetTest, BreakIsNapOrRestByNapBiasWithModeDurations) {
    struct Case {
        int mode;
        double r;
        double drawn;  // the duration before the mode's factor
        K kind;
        double seconds;
    };
    const Case cases[] = {
        {0, 0.29, 10, K::Napping, 10},        {0, 0.31, 3, K::Resting, 3},
        {2, 0.84, 10, K::Napping, 10 * 2.5},  {2, 0.86, 3, K::Resting, 3 * 2.2},
        {1, 0.44, 12, K::Napping, 12 * 1.5},  {1, 0.46, 4, K::Resting, 4 * 1.7},
    };
    for (const Case& c : cases) {
        setMode(c.mode);
        auto pet = addPet(SHIBA, 300, 1);
        pet->frameIdx = 2;
        pet->nextRestAt = clock.now() + World::kFrame;
        random.pushUniform(c.r);
        random.pushUniform(c.drawn);
        petTick(*pet);
        EXPECT_EQ(pet->state.kind, c.kind) << "r " << c.r;
        EXPECT_NEAR(pet->state.until, clock.now() + c.seconds, 1e-9) << "r " << c.r;
        EXPECT_EQ(pet->frameIdx, 0);
        // Sleep marks only on a nap.
        petTick(*pet);
        EXPECT_EQ(pet->zzz.hidden(), c.kind != K::Napping);
    }
}

TEST_F(PetTest, BreakEndsInRunningWithAFreshRestTime) {
    auto pet = addPet(SHIBA, 300, 1);
    pet->state = Pet::State::resting(clock.now() + 1);
    for (int i = 0; i < 29; ++i) petTick(*pet);
    EXPECT_TRUE(pet->state.is(K::Resting));
    EXPECT_EQ(pet->x, 300);
    random.pushUniform(10);      // next rest in 10 s (normal breaks, Playful)
    random.pushCoin(true);       // turns around
    petTick(*pet);
    petTick(*pet);
    EXPECT_TRUE(pet->state.is(K::Running));
    EXPECT_NEAR(pet->nextRestAt, clock.now() - World::kFrame + 10, 1e-9);
    EXPECT_EQ(pet->dir, -1);
}

TEST_F(PetTest, ClickWakesOnlyFreePetsButAlwaysJumpsAndShowsHeart) {
    struct Case {
        Pet::State state;
        K after;
    };
    const double now = clock.now();
    const Case cases[] = {
        {Pet::State::resting(now + 5), K::Running},    {Pet::State::napping(now + 5), K::Running},
        {Pet::State::running(), K::Running},           {Pet::State::sniffing(now + 1, 1), K::Sniffing},
        {Pet::State::greeting(now + 4), K::Greeting},  {Pet::State::fetchWait(now + 1), K::FetchWait},
    };
    for (const Case& c : cases) {
        auto pet = addPet(SHIBA, 300, 1);
        pet->state = c.state;
        random.pushUniform(8);  // the rest timer, when a free pet runs on
        pet->clickReaction();
        EXPECT_EQ(pet->state.kind, c.after);
        EXPECT_DOUBLE_EQ(pet->jumpUntil, now + 0.45);
        EXPECT_DOUBLE_EQ(pet->emoteUntil, now + 0.9);
        EXPECT_EQ(pet->emote.string(), "♥");
        if (c.state.isFree()) {
            EXPECT_DOUBLE_EQ(pet->nextRestAt, now + 8);
        }
        random.clearScript();
    }
}

TEST_F(PetTest, PausedPetsStandOnIdleFrameZeroWhileTimeRunsOn) {
    auto resting = addPet(SHIBA, 300, 1);
    resting->state = Pet::State::resting(clock.now() + 0.5);
    resting->frameIdx = 1;
    auto dragged = addPet(CAT, 600, 1);
    dragged->state = Pet::State::dragged();
    resting->clickReaction();  // an emote that keeps fading
    resting->state = Pet::State::resting(clock.now() + 0.5);

    world.paused = true;
    tick();
    const double opacityBefore = resting->emote.opacity();
    tick(20);
    EXPECT_EQ(resting->x, 300);
    EXPECT_TRUE(resting->layer.contents().sharesPixelsWith(resting->idleImages[0]));
    EXPECT_TRUE(resting->state.is(K::Resting)) << "its time has passed, but nothing ends while paused";
    EXPECT_LT(resting->emote.opacity(), opacityBefore);
    EXPECT_DOUBLE_EQ(dragged->layer.position().y, 3 * dragged->scale);
    EXPECT_TRUE(dragged->layer.contents().sharesPixelsWith(dragged->idleImages[0]));

    world.paused = false;
    tick();
    EXPECT_TRUE(resting->state.is(K::Running)) << "the expired rest ends on the first tick after";
}

TEST_F(PetTest, PausingSendsGreetingAndPettedPetsBackToRunning) {
    auto greeting = addPet(SHIBA, 300);
    auto petted = addPet(CAT, 600);
    auto sniffing = addPet(FOX, 900);
    greeting->startGreeting(clock.now());
    petted->state = Pet::State::petted();
    sniffing->state = Pet::State::sniffing(clock.now() + 1, 1);
    world.setPaused(true);
    EXPECT_TRUE(greeting->state.is(K::Running));
    EXPECT_TRUE(petted->state.is(K::Running));
    EXPECT_TRUE(sniffing->state.is(K::Sniffing));
}

TEST_F(PetTest, GreetingRunsToThePointerFacesItAndHeartsOnce) {
    auto pet = addPet(SHIBA, 100, 1);
    pet->dir = -1;
    const double cursorX = 700;
    const double spot = cursorX - pet->spriteWidth() / 2;
    ASSERT_TRUE(pet->startGreeting(clock.now()));
    const double started = clock.now();

    petTick(*pet, cursorX);
    EXPECT_NEAR(pet->x - 100, 95 * 1.5 / 30, 1e-9) << "runs at 1.5 S";
    EXPECT_EQ(pet->dir, 1);

    int hearts = 0;
    double lastEmoteUntil = 0;
    while (clock.now() < started + 4.4) {
        petTick(*pet, cursorX);
        if (pet->emoteUntil != lastEmoteUntil) {
            ++hearts;
            lastEmoteUntil = pet->emoteUntil;
            EXPECT_DOUBLE_EQ(pet->emoteDuration, 1.2);
            EXPECT_DOUBLE_EQ(pet->jumpUntil, clock.now() + 0.45);
        }
    }
    EXPECT_EQ(hearts, 1);
    EXPECT_LE(std::abs(pet->x - spot), 24);
    EXPECT_TRUE(pet->state.is(K::Greeting));
    EXPECT_EQ(pet->dir, 1) << "the sprite's centre is left of the pointer";

    random.setFallbackCoin(true);
    while (pet->state.is(K::Greeting)) petTick(*pet, cursorX);
    EXPECT_NEAR(clock.now(), started + 4.5, World::kFrame + 1e-9);
    EXPECT_EQ(pet->dir, 1) << "no turn at the end";
}

TEST_F(PetTest, GreetingRefusedUnlessFree) {
    auto pet = addPet(SHIBA, 100);
    pet->state = Pet::State::sniffing(clock.now() + 1, 1);
    EXPECT_FALSE(pet->startGreeting(clock.now()));
    EXPECT_TRUE(pet->state.is(K::Sniffing));
}

TEST_F(PetTest, CustomPetSaysItMissedYouForTheWholeGreeting) {
    CustomPetDef def;
    def.name = "Biscuit";
    auto pet = addPet(speciesFrom(def), 300);
    tick();
    EXPECT_TRUE(pet->nameTag.hidden()) << "not hovered";

    pet->startGreeting(clock.now());
    for (int i = 0; i < 30; ++i) {
        tick();
        EXPECT_EQ(pet->nameTag.string(), "Biscuit missed you!");
        EXPECT_FALSE(pet->nameTag.hidden());
    }
    EXPECT_EQ(pet->nameTag.bounds().w, 78 * pet->scale);
    tickUntil([&] { return !pet->state.is(K::Greeting); });
    tick();
    EXPECT_EQ(pet->nameTag.string(), "Biscuit");
    EXPECT_EQ(pet->nameTag.bounds().w, 30 * pet->scale);
    EXPECT_TRUE(pet->nameTag.hidden());
}

TEST_F(PetTest, BuiltInPetsHaveNoNameTag) {
    auto pet = addPet(SHIBA, 300);
    pointerAtStrip(pet->centreX(), 5);
    pet->startGreeting(clock.now());
    tick(3);
    EXPECT_TRUE(pet->nameTag.hidden());
}

TEST_F(PetTest, HopperShowsItsAirFrameOnlyHighInTheHop) {
    auto rabbit = addPet(RABBIT, 300, 1);
    ASSERT_TRUE(rabbit->species.hopper);
    const double s = rabbit->scale;
    double highest = 0;
    for (int i = 0; i < 60; ++i) {
        petTick(*rabbit);
        const double lift = rabbit->layer.position().y;
        highest = std::max(highest, lift);
        const bool air = rabbit->layer.contents().sharesPixelsWith(rabbit->runImages[1]);
        EXPECT_EQ(air, lift > 1.5 * s) << "lift " << lift;
    }
    EXPECT_LE(highest, 3.5 * s + 1e-9);
    EXPECT_GT(highest, 3.3 * s);
}

TEST_F(PetTest, FollowerWhoseLeaderVanishesRestsAtOnce) {
    auto leader = addPet(SHIBA, 300);
    auto follower = addPet(CORGI, 200);
    const double until = clock.now() + 6;
    leader->state = Pet::State::socialLead(until);
    follower->state = Pet::State::socialFollow(until, 1.35, true);
    follower->socialPartner = leader;
    petTick(*follower);
    EXPECT_TRUE(follower->state.is(K::SocialFollow));

    world.pets.erase(world.pets.begin());
    leader.reset();
    petTick(*follower);
    EXPECT_TRUE(follower->state.is(K::Resting));
    EXPECT_DOUBLE_EQ(follower->state.until, clock.now() + 1.5);
    EXPECT_DOUBLE_EQ(follower->emoteUntil, clock.now() + 0.9);
}

TEST_F(PetTest, GatheringAtThePointerRunsThereThenStandsAndSkipsBreaks) {
    store.setBoolean(keys::followMouse, true);
    auto pet = addPet(SHIBA, 300, -1);
    pet->followOffset = 40;
    pet->nextRestAt = clock.now();  // due, but not consulted while gathering
    pointerAtStrip(700, 10);
    const double spot = 700 + 40 - pet->spriteWidth() / 2;
    tick();
    EXPECT_EQ(pet->dir, 1);
    EXPECT_NEAR(pet->x - 300, 95.0 / 30, 1e-9);
    ASSERT_TRUE(tickUntil([&] { return std::abs(pet->x - spot) < 14; }));
    const double arrivedAt = pet->x;
    tick(60);
    EXPECT_EQ(pet->x, arrivedAt);
    EXPECT_TRUE(pet->state.is(K::Running));
    EXPECT_DOUBLE_EQ(pet->layer.position().y, 0);
}

TEST_F(PetTest, FleeingPetRunsAwayFromItsPartnerAtOnePointSixTimesSpeed) {
    auto fox = addPet(FOX, 300, 1);
    auto chicken = addPet(CHICKEN, 320, -1);
    chicken->socialPartner = fox;
    chicken->state = Pet::State::fleeing(clock.now() + 3.5);
    petTick(*chicken);
    EXPECT_EQ(chicken->dir, 1);
    EXPECT_NEAR(chicken->x - 320, 95 * CHICKEN.speedFactor * 1.6 / 30, 1e-9);
    while (clock.now() < fox->nextRestAt && chicken->state.is(K::Fleeing)) petTick(*chicken);
    EXPECT_TRUE(chicken->state.is(K::Resting));
    EXPECT_DOUBLE_EQ(chicken->state.until, clock.now() + 1.5);
    EXPECT_TRUE(chicken->socialPartner.expired());
}

TEST_F(PetTest, PettedPetFacesPointerAndEmotesAboutEverySecond) {
    struct Case {
        const Species* species;
        const char* emote;
    };
    for (const Case c : {Case{&SHIBA, "♥"}, Case{&CAT, "♪"}}) {
        auto pet = addPet(*c.species, 300, 1);
        pet->state = Pet::State::petted();
        pet->lastPetEmoteAt = 0;
        int pops = 0;
        double last = pet->emoteUntil;
        for (int i = 0; i < 60; ++i) {
            petTick(*pet, 100);
            if (pet->emoteUntil != last) ++pops, last = pet->emoteUntil;
        }
        EXPECT_EQ(pet->emote.string(), c.emote);
        EXPECT_EQ(pops, 3) << "at 0, ~0.93 and ~1.87 s";
        EXPECT_EQ(pet->dir, -1);
        EXPECT_EQ(pet->x, 300);
    }
}

}  // namespace
}  // namespace pawlane
