// Encounters: which rule fires for which pair and draw, cooldowns, eligibility.
#include "sprites/custom_species.h"
#include "world_fixture.h"

namespace pawlane {
namespace {

Species customOfShape(const char* shape, const char* name) {
    CustomPetDef def;
    def.shape = shape;
    def.name = name;
    return speciesFrom(def);
}

class EncounterTest : public WorldTest {};

TEST_F(EncounterTest, EachRuleBelowAndAboveItsChance) {
    const Species customDog = customOfShape("dog", "Rex");
    const Species customCat = customOfShape("cat", "Tom");
    struct Case {
        const Species* a;
        const Species* b;
        double r;
        K aAfter;
        K bAfter;
        const char* logged;  // "" when nothing happens
    };
    const Case cases[] = {
        {&SHIBA, &CORGI, 0.49, K::SocialLead, K::SocialFollow, "social: dog-chase shiba leads corgi"},
        {&SHIBA, &CORGI, 0.50, K::Sniffing, K::Sniffing, "social: sniff shiba + corgi"},
        {&customDog, &SHIBA, 0.49, K::SocialLead, K::SocialFollow, nullptr},
        {&FOX, &CHICKEN, 0.69, K::SocialFollow, K::Fleeing, "social: fox-scares-chicken"},
        {&CHICKEN, &FOX, 0.69, K::Fleeing, K::SocialFollow, "social: fox-scares-chicken"},
        {&CHICKEN, &FOX, 0.70, K::Sniffing, K::Sniffing, "social: sniff chicken + fox"},
        {&CAT, &SHIBA, 0.54, K::Running, K::Fleeing, "social: cat-swats-dog cat -> shiba"},
        {&SHIBA, &CAT, 0.54, K::Fleeing, K::Running, "social: cat-swats-dog cat -> shiba"},
        {&CAT, &SHIBA, 0.55, K::Sniffing, K::Sniffing, "social: sniff cat + shiba"},
        {&customCat, &SHIBA, 0.54, K::Running, K::Fleeing, nullptr},
        {&SHIBA, &PENGUIN, 0.64, K::Sniffing, K::Sniffing, "social: sniff shiba + penguin"},
        {&SHIBA, &PENGUIN, 0.65, K::Running, K::Running, ""},
        // A custom pet never counts as a fox, whatever its name.
        {&customDog, &CHICKEN, 0.66, K::Running, K::Running, ""},
    };
    for (const Case& c : cases) {
        world.pets.clear();
        log.lines.clear();
        auto a = addPet(*c.a, 300);
        auto b = addPet(*c.b, 330);
        random.pushUniform(c.r);
        random.pushCoin(true);  // a leads a chase
        world.socialScan(clock.now());
        random.clearScript();
        const std::string what = a->species.id + " + " + b->species.id + " r " + std::to_string(c.r);
        EXPECT_EQ(a->state.kind, c.aAfter) << what;
        EXPECT_EQ(b->state.kind, c.bAfter) << what;
        if (c.logged && *c.logged == '\0') {
            EXPECT_TRUE(log.lines.empty()) << what;
        } else {
            ASSERT_EQ(log.lines.size(), 1u) << what;
            if (c.logged) {
                EXPECT_EQ(log.lines[0], c.logged) << what;
            }
        }
    }
}

TEST_F(EncounterTest, ChaseScareAndSwatSetPartnersTimesAndEmotes) {
    const double now = clock.now();
    auto leader = addPet(SHIBA, 300);
    auto follower = addPet(CORGI, 320);
    random.pushUniform(0.1);
    random.pushCoin(false);  // b leads
    random.pushUniform(6);   // chase length
    world.triggerEncounter(follower, leader, now);
    EXPECT_TRUE(leader->state.is(K::SocialLead));
    EXPECT_DOUBLE_EQ(leader->state.until, now + 6);
    EXPECT_EQ(follower->socialPartner.lock(), leader);
    EXPECT_DOUBLE_EQ(follower->state.speedMul, 1.35);
    EXPECT_TRUE(follower->state.heartOnEnd);

    auto fox = addPet(FOX, 600);
    auto chicken = addPet(CHICKEN, 620);
    random.pushUniform(0.1);
    world.triggerEncounter(fox, chicken, now);
    EXPECT_DOUBLE_EQ(chicken->state.until, now + 3.5);
    EXPECT_EQ(chicken->socialPartner.lock(), fox);
    EXPECT_EQ(chicken->emote.string(), "!");
    EXPECT_DOUBLE_EQ(chicken->emoteDuration, 1.4);
    EXPECT_DOUBLE_EQ(fox->state.until, now + 3);
    EXPECT_DOUBLE_EQ(fox->state.speedMul, 1.15);
    EXPECT_FALSE(fox->state.heartOnEnd);

    auto cat = addPet(CAT, 900);
    auto dog = addPet(HUSKY, 920);
    random.pushUniform(0.1);
    world.triggerEncounter(dog, cat, now);
    EXPECT_DOUBLE_EQ(cat->jumpUntil, now + 0.45);
    EXPECT_DOUBLE_EQ(dog->jumpUntil, now + 0.4);
    EXPECT_DOUBLE_EQ(dog->state.until, now + 2);
    EXPECT_EQ(dog->socialPartner.lock(), cat);
    EXPECT_EQ(cat->emote.string(), "!");
    EXPECT_EQ(dog->emote.string(), "!");
}

TEST_F(EncounterTest, SniffersFaceEachOtherShareOneHeartDrawAndRunOnWithoutTurning) {
    for (const bool heart : {true, false}) {
        world.pets.clear();
        auto left = addPet(SHIBA, 300, -1);
        auto right = addPet(PENGUIN, 330, 1);
        random.pushUniform(0.1);
        random.pushUniform(heart ? 0.34 : 0.35);
        world.socialScan(clock.now());
        EXPECT_EQ(left->state.face, 1);
        EXPECT_EQ(right->state.face, -1);
        EXPECT_EQ(left->sniffHeart, heart);
        EXPECT_EQ(right->sniffHeart, heart);
        const double emoteBefore = left->emoteUntil;
        ASSERT_TRUE(tickUntil([&] { return left->state.is(K::Running); }));
        EXPECT_EQ(left->dir, 1) << "still facing where it sniffed";
        EXPECT_EQ(left->emoteUntil != emoteBefore, heart);
    }
}

TEST_F(EncounterTest, CooldownRangeByModeAndAfterNothing) {
    struct Case {
        int mode;
        double r;  // 0.1 starts a sniff, 0.9 does nothing for shiba + penguin
        double lo, hi;
    };
    const Case cases[] = {
        {0, 0.1, 40, 80}, {1, 0.1, 180, 360}, {2, 0.1, 600, 900},
        {0, 0.9, 6, 10},  {1, 0.9, 6, 10},    {2, 0.9, 6, 10},
    };
    for (const Case& c : cases) {
        setMode(c.mode);
        world.pets.clear();
        world.pairCooldowns.reset(2);
        auto a = addPet(SHIBA, 300);
        auto b = addPet(PENGUIN, 330);
        random.pushUniform(c.r);
        random.pushUniform(0.2);  // the heart draw of a sniff; the cooldown below otherwise
        random.setFallback(0.5);
        world.socialScan(clock.now());
        const auto range = random.ranges().back();
        EXPECT_EQ(range, (std::pair<double, double>{c.lo, c.hi})) << "mode " << c.mode << " r " << c.r;
        const auto until = world.pairCooldowns.get(PairCooldowns::key(a->identity(), b->identity()));
        ASSERT_TRUE(until);
        const double drawn = c.r < 0.5 ? (c.lo + c.hi) / 2 : 0.2;
        EXPECT_DOUBLE_EQ(*until, clock.now() + drawn);
        random.clearScript();
    }
}

TEST_F(EncounterTest, CoolingPairIsSkippedUntilItsTimeComes) {
    auto a = addPet(SHIBA, 300);
    auto b = addPet(PENGUIN, 330);
    random.pushUniform(0.9);  // nothing happens
    random.pushUniform(8);    // cooldown
    world.socialScan(clock.now());
    random.setFallback(0);    // from here on, r = 0 would always start a sniff
    clock.advance(7.9);
    world.socialScan(clock.now());
    EXPECT_TRUE(a->state.is(K::Running));
    clock.advance(0.1);
    world.socialScan(clock.now());
    EXPECT_TRUE(a->state.is(K::Sniffing));
}

TEST_F(EncounterTest, OnePairPerScanInListOrder) {
    auto p0 = addPet(PENGUIN, 300);
    auto p1 = addPet(PENGUIN, 310);
    auto p2 = addPet(PENGUIN, 320);
    random.setFallback(0.9);  // r never below 0.65: nothing happens, each pair cools
    using Key = PairCooldowns::Key;
    const Key expected[] = {PairCooldowns::key(p0->identity(), p1->identity()),
                            PairCooldowns::key(p0->identity(), p2->identity()),
                            PairCooldowns::key(p1->identity(), p2->identity())};
    for (std::size_t i = 0; i < 3; ++i) {
        world.socialScan(clock.now());
        EXPECT_EQ(world.pairCooldowns.size(), i + 1);
        EXPECT_TRUE(world.pairCooldowns.get(expected[i])) << "scan " << i;
    }
    world.socialScan(clock.now());
    EXPECT_EQ(world.pairCooldowns.size(), 3u);
}

TEST_F(EncounterTest, NoMeetingUnlessBothRunningCloseEnoughAndTheWorldAllowsIt) {
    struct Case {
        const char* what;
        double distance;
        bool bSniffing;
        bool paused;
        bool followMouse;
    };
    const Case cases[] = {
        {"54 apart at medium size", 54, false, false, false},
        {"one is sniffing", 20, true, false, false},
        {"paused", 20, false, true, false},
        {"gathering at the pointer", 20, false, false, true},
    };
    random.setFallback(0);  // any scan that gets to a pair starts a sniff
    for (const Case& c : cases) {
        world.pets.clear();
        auto a = addPet(SHIBA, 300);
        auto b = addPet(PENGUIN, 300 + c.distance);
        if (c.bSniffing) b->state = Pet::State::sniffing(clock.now() + 5, 1);
        world.paused = c.paused;
        store.setBoolean(keys::followMouse, c.followMouse);
        world.socialScan(clock.now());
        EXPECT_TRUE(a->state.is(K::Running)) << c.what;
        EXPECT_TRUE(world.pairCooldowns.empty()) << c.what;
    }
    world.pets.clear();
    world.paused = false;
    store.setBoolean(keys::followMouse, false);
    auto a = addPet(SHIBA, 300);
    addPet(PENGUIN, 353.9);
    world.socialScan(clock.now());
    EXPECT_TRUE(a->state.is(K::Sniffing)) << "53.9 apart meets";
}

}  // namespace
}  // namespace pawlane
