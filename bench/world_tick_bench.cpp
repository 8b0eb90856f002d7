// One world tick with a full pack in ordinary play: 10 own pets and 10
// friends' pets roaming, resting, meeting. Reports the time per tick and the
// heap allocations per tick, split by whether the tick started an encounter
// (only those may allocate: the encounter's log line).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "behaviour/world.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/manual_main_queue.h"
#include "platform/headless/memory_preferences_store.h"
#include "settings/settings.h"

namespace {

std::atomic<long long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace pawlane {
namespace {

class SeededRandom final : public Random {
public:
    double uniform(double a, double b) override { return a + (b - a) * unit_(engine_); }
    bool coin() override { return unit_(engine_) < 0.5; }

private:
    std::mt19937_64 engine_{2026};
    std::uniform_real_distribution<double> unit_{0.0, 1.0};
};

class CountingLog final : public SystemLog {
public:
    void write(std::string_view) override { ++lines; }
    long long lines = 0;
};

class NullTrace final : public TraceSink {
public:
    void trace(std::string_view) override {}
};

class SignedIn final : public SocialLink {
public:
    bool isSignedIn() const override { return true; }
    void syncNow() override {}
};

struct Scene {
    MemoryPreferencesStore store;
    Settings settings{store};
    ManualClock clock{800000000.0};
    SeededRandom random;
    ManualMainQueue queue{clock};
    FakeDesktop desktop;
    CountingLog log;
    NullTrace trace;
    SignedIn social;
    World world{{settings, clock, random, queue, desktop, desktop, log, trace, social}};

    Scene() {
        store.setDictionary(keys::petCounts, {{"shiba", 2}, {"corgi", 1}, {"husky", 1}, {"cat", 2},
                                              {"fox", 1}, {"rabbit", 1}, {"penguin", 1}, {"chicken", 1}});
        std::vector<FriendPetEntry> friends;
        for (int i = 0; i < 10; ++i) {
            FriendPetEntry e;
            e.petName = "Visitor" + std::to_string(i);
            e.ownerName = "Friend" + std::to_string(i);
            e.ownerId = "00000000-0000-0000-0000-00000000000" + std::to_string(i);
            e.def.shape = i % 2 ? "cat" : "dog";
            e.def.name = e.petName;
            friends.push_back(e);
        }
        settings.setFriendPets(friends);
        desktop.pointInStrip(700, 200);  // above the strip: nothing hovered
        world.rebuildPets();
    }

    void tick() {
        clock.advance(World::kFrame);
        world.tick();
    }
};

void BM_WorldTick(benchmark::State& state) {
    Scene scene;
    for (int i = 0; i < 900; ++i) scene.tick();  // settle: breaks drawn, cooldowns recorded

    long long quietTicks = 0, quietAllocs = 0, quietTicksThatAllocated = 0;
    long long encounterTicks = 0, encounterAllocs = 0;
    for (auto _ : state) {
        const long long linesBefore = scene.log.lines;
        const long long allocsBefore = g_allocations.load(std::memory_order_relaxed);
        scene.tick();
        const long long allocs = g_allocations.load(std::memory_order_relaxed) - allocsBefore;
        if (scene.log.lines != linesBefore) {
            ++encounterTicks;
            encounterAllocs += allocs;
        } else {
            ++quietTicks;
            quietAllocs += allocs;
            if (allocs) ++quietTicksThatAllocated;
        }
    }
    if (scene.world.pets.size() != 20) state.SkipWithError("the pack is not 20 pets");
    const double ticks = static_cast<double>(quietTicks + encounterTicks);
    state.counters["pets"] = static_cast<double>(scene.world.pets.size());
    state.counters["allocs_per_tick"] = static_cast<double>(quietAllocs + encounterAllocs) / ticks;
    state.counters["allocs_per_quiet_tick"] = quietTicks ? static_cast<double>(quietAllocs) / quietTicks : 0;
    state.counters["quiet_ticks_that_allocated"] = static_cast<double>(quietTicksThatAllocated);
    state.counters["encounter_ticks"] = static_cast<double>(encounterTicks);
    state.counters["allocs_per_encounter_tick"] =
        encounterTicks ? static_cast<double>(encounterAllocs) / encounterTicks : 0;
}
BENCHMARK(BM_WorldTick)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace pawlane

BENCHMARK_MAIN();
