#pragma once
// The world: the pack, the ball, the pause flag and the timers that tie the
// pets together, advanced thirty times a second by tick(). The application
// owns it: a repeating 1/30 s timer calls tick(); the strip's button events go
// to stripView(); the system's sleep, lock and session signals go to
// markAway(), systemWoke(), screenLockChanged() and markReturned(); the sync
// sets friendRebuildPending.
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "behaviour/ball.h"
#include "behaviour/pair_cooldowns.h"
#include "behaviour/pet.h"
#include "behaviour/social_link.h"
#include "behaviour/strip_view.h"
#include "platform/desktop.h"
#include "platform/log.h"
#include "platform/main_queue.h"

namespace pawlane {

class Settings;

struct WorldDeps {
    Settings& settings;
    const Clock& clock;
    Random& random;
    MainQueue& queue;
    Desktop& desktop;
    StripWindow& strip;
    SystemLog& log;
    TraceSink& trace;
    SocialLink& social;
};

struct XRange {
    double minX = 0;
    double maxX = 0;
};

class World {
public:
    // The fixed step of every tick, whatever time really passed.
    static constexpr double kFrame = 1.0 / 30;

    explicit World(const WorldDeps& deps);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // One frame: pointer, click-through, encounters, ball, every pet, name tags.
    void tick();
    // The range of x the pet may use this tick; in the edge-keeping mode this
    // may switch its home side and turn a running pet homeward.
    XRange bounds(Pet& pet, const RectF& frame, double now);
    void trace(std::string_view message);
    // Pausing sends greeting and petted pets back to running.
    void setPaused(bool on);

    // Ball and fetch.
    void startFetch(const std::shared_ptr<Pet>& pet, PointF at);
    void clearBall();

    // Encounters.
    void socialScan(double now);
    bool triggerEncounter(const std::shared_ptr<Pet>& a, const std::shared_ptr<Pet>& b, double now);

    // The user leaving and coming back.
    void markAway();
    void markReturned();
    // Wake of the machine or its screens: not a return while the lock screen is up.
    void systemWoke();
    void screenLockChanged(bool locked);

    // Discards every pet and builds the pack from the preferences.
    void rebuildPets();

    // The topmost pet whose sprite, with 8 points of headroom, contains p (strip coordinates).
    std::shared_ptr<Pet> petAt(PointF p) const;
    bool hasPet(const Pet* pet) const;
    // The pet the last tick found under the pointer.
    const Pet* hoveredPet() const { return hovered_; }

    StripView& stripView() { return stripView_; }
    const WorldDeps& deps() const { return deps_; }
    PetEnv petEnv() const { return {deps_.settings, deps_.clock, deps_.random}; }

    std::vector<std::shared_ptr<Pet>> pets;
    bool paused = false;
    bool friendRebuildPending = false;
    std::unique_ptr<Ball> ball;
    std::weak_ptr<Pet> ballOwner;
    double fetchOrigin = 0;
    std::optional<double> ballDespawnAt;
    PairCooldowns pairCooldowns;
    std::optional<double> awaySince;
    double lastGreetingAt = 0;
    bool screenLocked = false;

private:
    void tickBall(const RectF& frame, double now);
    void sniff(Pet& a, Pet& b, double now);
    void logEncounter(std::string_view format, std::string_view first = {}, std::string_view second = {});

    WorldDeps deps_;
    StripView stripView_;
    const Pet* hovered_ = nullptr;
    std::optional<bool> takesClicks_;
    // Delayed work holds this weakly to tell whether the world still exists.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace pawlane
