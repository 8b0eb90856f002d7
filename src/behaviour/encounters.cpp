// Two running pets close together may meet: sniff, chase, scare or swat.
#include <cmath>
#include <string>

#include "behaviour/world.h"
#include "settings/settings.h"

namespace pawlane {

void World::socialScan(double now) {
    if (paused || deps_.settings.d.boolean(keys::followMouse) || pets.size() < 2) return;
    const double reach = 18 * deps_.settings.scale();
    using K = Pet::State::Kind;
    for (std::size_t i = 0; i < pets.size(); ++i) {
        if (!pets[i]->state.is(K::Running)) continue;
        for (std::size_t j = i + 1; j < pets.size(); ++j) {
            if (!pets[j]->state.is(K::Running) || std::abs(pets[i]->x - pets[j]->x) >= reach) continue;
            const auto key = PairCooldowns::key(pets[i]->identity(), pets[j]->identity());
            if (const auto until = pairCooldowns.get(key); until && now < *until) continue;

            const bool started = triggerEncounter(pets[i], pets[j], now);
            const SecondsRange c = started ? deps_.settings.mode().socialCooldown : SecondsRange{6, 10};
            pairCooldowns.set(key, now + deps_.random.uniform(c.lower, c.upper));
            return;
        }
    }
}

bool World::triggerEncounter(const std::shared_ptr<Pet>& a, const std::shared_ptr<Pet>& b, double now) {
    const double r = deps_.random.uniform(0, 1);
    const std::string& fa = a->species.family;
    const std::string& fb = b->species.family;
    const std::string& ia = a->species.id;
    const std::string& ib = b->species.id;

    if (fa == "dog" && fb == "dog") {
        if (r >= 0.5) {
            sniff(*a, *b, now);
            return true;
        }
        const bool aLeads = deps_.random.coin();
        const std::shared_ptr<Pet>& leader = aLeads ? a : b;
        const std::shared_ptr<Pet>& follower = aLeads ? b : a;
        const double until = now + deps_.random.uniform(5, 8);
        leader->state = Pet::State::socialLead(until);
        follower->socialPartner = leader;
        follower->state = Pet::State::socialFollow(until, 1.35, true);
        logEncounter("social: dog-chase %@ leads %@", leader->species.id, follower->species.id);
        return true;
    }

    // Custom pets never count: their ids begin with "custom:".
    if ((ia == "fox" && ib == "chicken") || (ia == "chicken" && ib == "fox")) {
        if (r >= 0.7) {
            sniff(*a, *b, now);
            return true;
        }
        const std::shared_ptr<Pet>& fox = ia == "fox" ? a : b;
        const std::shared_ptr<Pet>& chicken = ia == "fox" ? b : a;
        chicken->socialPartner = fox;
        chicken->state = Pet::State::fleeing(now + 3.5);
        chicken->popEmote("!", ALARM_ORANGE, 1.4);
        fox->socialPartner = chicken;
        fox->state = Pet::State::socialFollow(now + 3, 1.15, false);
        logEncounter("social: fox-scares-chicken");
        return true;
    }

    if ((fa == "cat" && fb == "dog") || (fa == "dog" && fb == "cat")) {
        if (r >= 0.55) {
            sniff(*a, *b, now);
            return true;
        }
        const std::shared_ptr<Pet>& cat = fa == "cat" ? a : b;
        const std::shared_ptr<Pet>& dog = fa == "cat" ? b : a;
        cat->jumpUntil = now + 0.45;  // and keeps running
        cat->popEmote("!", ALARM_ORANGE, 1.4);
        dog->jumpUntil = now + 0.4;
        dog->socialPartner = cat;
        dog->state = Pet::State::fleeing(now + 2);
        dog->popEmote("!", ALARM_ORANGE, 1.4);
        logEncounter("social: cat-swats-dog %@ -> %@", cat->species.id, dog->species.id);
        return true;
    }

    if (r >= 0.65) return false;
    sniff(*a, *b, now);
    return true;
}

void World::sniff(Pet& a, Pet& b, double now) {
    const bool heart = deps_.random.uniform(0, 1) < 0.35;  // one draw for both
    const double until = now + 1.3;
    a.state = Pet::State::sniffing(until, a.x < b.x ? 1 : -1);
    b.state = Pet::State::sniffing(until, b.x < a.x ? 1 : -1);
    for (Pet* p : {&a, &b}) {
        p->sniffHeart = heart;
        p->frameClock = 0;
        p->frameIdx = 0;
    }
    logEncounter("social: sniff %@ + %@", a.species.id, b.species.id);
}

void World::logEncounter(std::string_view format, std::string_view first, std::string_view second) {
    std::string line;
    line.reserve(format.size() + first.size() + second.size());
    int filled = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 2) == "%@") {
            line.append(filled++ == 0 ? first : second);
            ++i;
        } else {
            line.push_back(format[i]);
        }
    }
    deps_.log.write(line);
}

}  // namespace pawlane
