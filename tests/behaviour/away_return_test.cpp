// Leaving and coming back: which returns greet, the trace of each refusal, the stagger.
#include "world_fixture.h"

namespace pawlane {
namespace {

class AwayReturnTest : public WorldTest {
protected:
    void SetUp() override {
        for (double x : {200.0, 500.0, 800.0}) addPet(SHIBA, x)->state = Pet::State::resting(clock.now() + 1e5);
    }
    void awayFor(double seconds) {
        world.markAway();
        clock.advance(seconds);
    }
};

TEST_F(AwayReturnTest, EachRefusalTracesWhyAndConsumesTheAbsence) {
    struct Case {
        const char* what;
        double away;  // < 0: never marked away
        double sinceLastGreeting;
        bool paused;
        bool hidden;
        bool nobodyFree;
        const char* trace;
    };
    const Case cases[] = {
        {"never away", -1, 1e6, false, false, false, "return ignored: never marked away"},
        {"short absence", 120.9, 1e6, false, false, false, "return ignored: only away 120s"},
        {"greeted recently", 600, 1000, false, false, false, "return ignored: greeted recently"},
        {"paused", 600, 1e6, true, false, false, "return ignored: paused or hidden"},
        {"hidden", 600, 1e6, false, true, false, "return ignored: paused or hidden"},
        {"nobody free", 600, 1e6, false, false, true, "return ignored: no pet free to greet"},
        {"greets", 600, 1e6, false, false, false, "greeting 3 pets"},
    };
    for (const Case& c : cases) {
        world.awaySince.reset();
        world.paused = c.paused;
        store.setBoolean(keys::petsHidden, c.hidden);
        for (auto& pet : world.pets)
            pet->state = c.nobodyFree ? Pet::State::sniffing(clock.now() + 1e5, 1) : Pet::State::running();
        if (c.away >= 0) awayFor(c.away);
        world.lastGreetingAt = clock.now() - c.sinceLastGreeting;
        const double lastBefore = world.lastGreetingAt;
        const int syncs = social.syncs;
        traceLines.lines.clear();

        world.markReturned();
        ASSERT_FALSE(traceLines.lines.empty()) << c.what;
        EXPECT_EQ(traceLines.lines.back(), c.trace) << c.what;
        EXPECT_EQ(social.syncs, syncs + 1) << c.what << ": every return syncs";
        EXPECT_FALSE(world.awaySince) << c.what;
        const bool greets = std::string(c.trace).starts_with("greeting");
        EXPECT_EQ(world.lastGreetingAt, greets ? clock.now() : lastBefore) << c.what;
        queue.advance(1);
        for (auto& pet : world.pets) EXPECT_EQ(pet->state.is(K::Greeting), greets) << c.what;
    }
}

TEST_F(AwayReturnTest, ThresholdsComeFromThePreferencesWhenPositive) {
    store.setReal(keys::greetAwaySeconds, 10);
    store.setReal(keys::greetCooldownSeconds, 30);
    awayFor(11);
    world.markReturned();
    EXPECT_EQ(traceLines.lines.back(), "greeting 3 pets");
    queue.advance(1);
    for (auto& pet : world.pets) pet->state = Pet::State::running();
    awayFor(11);
    world.markReturned();
    EXPECT_EQ(traceLines.lines.back(), "return ignored: greeted recently");
    awayFor(20);
    world.markReturned();
    EXPECT_EQ(traceLines.lines.back(), "greeting 3 pets");

    store.setReal(keys::greetAwaySeconds, -5);  // falls back to 300
    clock.advance(100);
    awayFor(299);
    world.markReturned();
    EXPECT_EQ(traceLines.lines.back(), "return ignored: only away 299s");
}

TEST_F(AwayReturnTest, PetsStartGreetingStaggeredAndOneBusyFetchingSkipsIt) {
    awayFor(600);
    world.markReturned();
    auto& pets = world.pets;
    queue.runDue();
    EXPECT_TRUE(pets[0]->state.is(K::Greeting));
    EXPECT_FALSE(pets[1]->state.is(K::Greeting));

    // The second pet is thrown a ball before its turn.
    random.pushUniform(300);
    random.pushUniform(220);
    world.startFetch(pets[1], {500, 0});
    queue.advance(0.181);
    EXPECT_TRUE(pets[1]->state.is(K::FetchWait));
    EXPECT_FALSE(pets[2]->state.is(K::Greeting));
    queue.advance(0.181);
    EXPECT_TRUE(pets[2]->state.is(K::Greeting));
}

TEST_F(AwayReturnTest, WakeWhileLockedWaitsForTheUnlock) {
    world.screenLockChanged(true);
    EXPECT_TRUE(world.screenLocked);
    world.markAway();  // the screens sleeping too: the first signal keeps its time
    const double leftAt = *world.awaySince;
    clock.advance(600);
    world.systemWoke();
    EXPECT_EQ(world.awaySince, leftAt) << "no return while the lock screen is up";
    EXPECT_EQ(social.syncs, 0);

    world.screenLockChanged(false);
    EXPECT_EQ(traceLines.lines.back(), "greeting 3 pets");
    world.screenLockChanged(false);
    EXPECT_EQ(traceLines.lines.back(), "return ignored: never marked away");
}

}  // namespace
}  // namespace pawlane
