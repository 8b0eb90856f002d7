#pragma once
// A world on headless doubles: manual clock, scripted random, a main queue the
// test drains, an in-memory desktop and preferences.
#include <gtest/gtest.h>

#include <memory>

#include "behaviour/world.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/manual_main_queue.h"
#include "platform/headless/memory_preferences_store.h"
#include "platform/headless/recording_log.h"
#include "platform/headless/scripted_random.h"
#include "settings/settings.h"
#include "sprites/catalogue.h"

namespace pawlane {

class FakeSocial final : public SocialLink {
public:
    bool signedIn = false;
    int syncs = 0;
    bool isSignedIn() const override { return signedIn; }
    void syncNow() override { ++syncs; }
};

class WorldTest : public ::testing::Test {
protected:
    using K = Pet::State::Kind;

    MemoryPreferencesStore store;
    Settings settings{store};
    ManualClock clock{100000.0};
    ScriptedRandom random;
    ManualMainQueue queue{clock};
    FakeDesktop desktop;
    RecordingLog log;
    RecordingTrace traceLines;
    FakeSocial social;
    World world{{settings, clock, random, queue, desktop, desktop, log, traceLines, social}};

    // A pet hung in the strip with no surprises: speed jitter 1, no pointer
    // offset, no break or excursion due.
    std::shared_ptr<Pet> addPet(const Species& species, double x, double dir = 1) {
        auto pet = std::make_shared<Pet>(species, settings.scale(), x, &world, world.petEnv());
        pet->dir = dir;
        pet->speedJitter = 1;
        pet->followOffset = 0;
        pet->nextRestAt = clock.now() + 1e6;
        pet->nextExcursionAt = clock.now() + 1e6;
        RootLayer& root = desktop.root;
        root.addSublayer(pet->layer);
        root.addSublayer(pet->zzz);
        root.addSublayer(pet->emote);
        root.addSublayer(pet->nameTag);
        world.pets.push_back(pet);
        return pet;
    }

    // One world frame: time moves on by the frame, due delayed work runs, then the tick.
    void tick(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            clock.advance(World::kFrame);
            queue.runDue();
            world.tick();
        }
    }

    // Ticks until the condition holds or the limit passes; true when it held.
    template <class F>
    bool tickUntil(F done, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            tick();
        }
        return done();
    }

    void setMode(int index) { store.setInteger(keys::modeIdx, index); }
    void pointerAtStrip(double x, double y) { desktop.pointInStrip(x, y); }
};

}  // namespace pawlane
