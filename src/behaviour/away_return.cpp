// Greeting the user who comes back: away signals remember when they left; a
// return decides whether a greeting is due and staggers it over the pack.
#include <string>

#include "behaviour/world.h"
#include "settings/settings.h"

namespace pawlane {

void World::markAway() {
    if (!awaySince) awaySince = deps_.clock.now();  // the first signal of an absence wins
    trace("away");
}

void World::systemWoke() {
    if (!screenLocked) markReturned();
}

void World::screenLockChanged(bool locked) {
    screenLocked = locked;
    if (locked)
        markAway();
    else
        markReturned();
}

void World::markReturned() {
    deps_.social.syncNow();  // whatever the outcome below
    if (!awaySince) {
        trace("return ignored: never marked away");
        return;
    }
    const double now = deps_.clock.now();
    const double away = now - *awaySince;
    awaySince.reset();

    const PreferencesStore& d = deps_.settings.d;
    const double setAway = d.real(keys::greetAwaySeconds);
    const double threshold = setAway > 0 ? setAway : 300;
    if (away < threshold) {
        trace("return ignored: only away " + std::to_string(static_cast<long long>(away)) + "s");
        return;
    }
    const double setCooldown = d.real(keys::greetCooldownSeconds);
    const double cooldown = setCooldown > 0 ? setCooldown : 1500;
    if (now - lastGreetingAt < cooldown) {
        trace("return ignored: greeted recently");
        return;
    }
    if (paused || d.boolean(keys::petsHidden)) {
        trace("return ignored: paused or hidden");
        return;
    }
    bool anyFree = false;
    for (const auto& pet : pets) anyFree = anyFree || pet->state.isFree();
    if (!anyFree) {
        trace("return ignored: no pet free to greet");
        return;
    }
    lastGreetingAt = now;
    trace("greeting " + std::to_string(pets.size()) + " pets");

    for (std::size_t j = 0; j < pets.size(); ++j) {
        std::weak_ptr<int> worldAlive = alive_;
        std::weak_ptr<Pet> weakPet = pets[j];
        deps_.queue.postAfter(static_cast<double>(j) * 0.18, [this, worldAlive, weakPet] {
            const std::shared_ptr<Pet> pet = weakPet.lock();
            if (worldAlive.expired() || !pet || !hasPet(pet.get())) return;
            if (paused || deps_.settings.d.boolean(keys::petsHidden)) return;
            pet->startGreeting(deps_.clock.now());  // a pet no longer free just skips it
        });
    }
}

}  // namespace pawlane
