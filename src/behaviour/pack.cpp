// Building the pack from the preferences: own pets (at most MAX_PETS), then
// visiting friends' pets (at most ten) with their owners' names.
#include <algorithm>
#include <string>

#include "behaviour/world.h"
#include "settings/settings.h"
#include "sprites/catalogue.h"
#include "sprites/custom_species.h"

namespace pawlane {
namespace {

constexpr std::size_t kMaxFriendPets = 10;

int countFor(const std::map<std::string, int>& counts, const std::string& id) {
    const auto it = counts.find(id);
    return it == counts.end() ? 0 : std::max(0, it->second);
}

}  // namespace

void World::rebuildPets() {
    for (auto& pet : pets) {
        pet->layer.removeFromSuperlayer();
        pet->zzz.removeFromSuperlayer();
        pet->emote.removeFromSuperlayer();
        pet->nameTag.removeFromSuperlayer();
    }
    pets.clear();
    hovered_ = nullptr;
    clearBall();

    Settings& settings = deps_.settings;
    const std::map<std::string, int> counts = settings.petCounts();
    std::vector<Species> own;
    for (const Species& s : ALL_SPECIES)
        for (int n = countFor(counts, s.id); n > 0 && own.size() < MAX_PETS; --n) own.push_back(s);
    for (const CustomPetDef& def : settings.customPets()) {
        const int n = countFor(counts, customPetKey(def.id));
        if (n > 0 && own.size() < MAX_PETS) {
            const Species s = speciesFrom(def);
            for (int k = n; k > 0 && own.size() < MAX_PETS; --k) own.push_back(s);
        }
    }
    if (own.empty()) own.push_back(SHIBA);

    std::vector<Species> friends;
    std::vector<std::string> labels;
    if (settings.showFriendPets() && deps_.social.isSignedIn()) {
        for (const FriendPetEntry& entry : settings.friendPets()) {
            if (friends.size() == kMaxFriendPets) break;
            friends.push_back(speciesFrom(entry.def));
            labels.push_back(entry.petName + " \u00B7 " + entry.ownerName);
        }
    }

    const RectF frame = deps_.desktop.screenFrame();
    const double minX = frame.x, maxX = frame.x + frame.w, width = frame.w;
    const bool edges = settings.mode().edges;
    const double scale = settings.scale();
    const std::size_t total = own.size() + friends.size();
    RootLayer& root = deps_.strip.rootLayer();
    Random& random = deps_.random;
    pets.reserve(total);
    for (std::size_t i = 0; i < total; ++i) {
        double startX;
        if (!edges)
            startX = random.uniform(80, width - 200);
        else if (i % 2 == 1)
            startX = random.uniform(maxX - 0.24 * width, maxX - 120);  // the right zone
        else
            startX = random.uniform(minX + 20, minX + 0.24 * width - 60);  // the left zone
        const bool isFriend = i >= own.size();
        const Species& species = isFriend ? friends[i - own.size()] : own[i];
        auto pet = std::make_shared<Pet>(species, scale, startX, this, petEnv());
        pet->homeSide = static_cast<int>(i % 2);
        if (isFriend) pet->tagText = labels[i - own.size()];
        root.addSublayer(pet->layer);
        root.addSublayer(pet->zzz);
        root.addSublayer(pet->emote);
        root.addSublayer(pet->nameTag);
        pets.push_back(std::move(pet));
    }
    pairCooldowns.reset(pets.size());
    deps_.strip.refreshFrame();
}

}  // namespace pawlane
