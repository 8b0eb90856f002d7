// One sync: pending deletions, the upload of every custom pet, and the friend data.
#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

#include "custom/text_cleaning.h"
#include "platform/main_queue.h"
#include "settings/settings.h"
#include "social/cloud_pet_id.h"
#include "social/social.h"

namespace pawlane {

namespace {

// A local id that is itself a UUID (ids made before cloud ids were derived)
// may have a cloud copy stored under that very id.
std::optional<std::string> legacyCopyId(const std::string& localId, const std::string& cloudId) {
    auto asUuid = canonicalUuid(localId);
    if (!asUuid || *asUuid == cloudId) return std::nullopt;
    return asUuid;
}

template <class T>
bool sameSet(const std::vector<T>& a, const std::vector<T>& b) {
    return std::unordered_set<T>(a.begin(), a.end()) == std::unordered_set<T>(b.begin(), b.end());
}

bool sameUser(const std::string& a, const std::string& b) {
    auto ca = canonicalUuid(a);
    auto cb = canonicalUuid(b);
    return ca && cb ? *ca == *cb : a == b;
}

}  // namespace

void Social::performSync() {
    if (!backend_) return;
    std::optional<std::string> uid;
    onMain([&] { uid = currentUserId_; });
    if (!uid) return;  // signed out: not a single request

    deletePending(*backend_, *uid);
    uploadPets(*backend_, *uid);
    auto data = fetchFriendData(*backend_, *uid);
    if (!data) return;  // keep the caches as they were
    storeFriendData(std::move(*data));
}

void Social::deletePending(SocialBackend& backend, const std::string& uid) {
    std::vector<std::string> pending;
    onMain([&] { pending = settings_.d.stringArray(keys::deletedPetIds); });
    for (const auto& localId : pending) {
        const auto cloudId = cloudPetId(localId, uid);
        const bool deleted = backend.deletePet(cloudId).ok();
        if (auto copy = legacyCopyId(localId, cloudId); copy && !backend.deletePet(*copy)) continue;
        if (!deleted) continue;
        // Deletions recorded while this one ran stay pending.
        onMain([&] {
            auto ids = settings_.d.stringArray(keys::deletedPetIds);
            ids.erase(std::remove(ids.begin(), ids.end(), localId), ids.end());
            settings_.d.setStringArray(keys::deletedPetIds, std::move(ids));
        });
    }
}

void Social::uploadPets(SocialBackend& backend, const std::string& uid) {
    std::vector<CustomPetDef> pets;
    std::set<std::string> deleted;
    onMain([&] {
        pets = settings_.customPets();
        auto ids = settings_.d.stringArray(keys::deletedPetIds);
        deleted.insert(ids.begin(), ids.end());
    });

    std::vector<CloudPet> rows;
    for (const auto& pet : pets) {
        if (deleted.count(pet.id)) continue;  // never uploaded while its deletion is pending
        CloudPet row;
        row.id = cloudPetId(pet.id, uid);
        row.ownerId = uid;
        row.name = cleanPetName(pet.name);
        row.schemaVersion = 1;
        row.design = pet;
        row.design.name = row.name;
        rows.push_back(std::move(row));
    }
    if (rows.empty()) return;

    if (!backend.upsertPets(rows)) {
        for (const auto& row : rows) (void)backend.upsertPet(row);
    }
    for (const auto& pet : pets) {
        if (auto copy = legacyCopyId(pet.id, cloudPetId(pet.id, uid))) (void)backend.deleteOwnPet(*copy, uid);
    }
}

std::optional<FriendData> Social::fetchFriendData(SocialBackend& backend, const std::string& uid) {
    auto profiles = backend.fetchVisibleProfiles();
    if (!profiles) return std::nullopt;
    std::map<std::string, std::string> names;
    for (const auto& p : *profiles) names[canonicalUuid(p.id).value_or(p.id)] = p.displayName;
    auto nameOf = [&](const std::string& id) {
        auto it = names.find(canonicalUuid(id).value_or(id));
        return it == names.end() ? std::string(DEFAULT_FRIEND_NAME) : it->second;
    };

    auto friendships = backend.fetchFriendships();
    if (!friendships) return std::nullopt;
    FriendData data;
    for (const auto& row : *friendships) {
        const auto& friendId = sameUser(row.userA, uid) ? row.userB : row.userA;
        const auto id = canonicalUuid(friendId).value_or(friendId);
        data.friends.push_back({id, nameOf(id)});
    }

    auto pets = backend.fetchFriendPets(uid);
    if (!pets) return std::nullopt;
    std::map<std::string, int> perOwner;
    for (const auto& pet : *pets) {
        const auto owner = canonicalUuid(pet.ownerId).value_or(pet.ownerId);
        int& count = perOwner[owner];
        if (count >= FRIEND_PETS_PER_OWNER || data.pets.size() >= FRIEND_PETS_TOTAL) continue;
        ++count;
        data.pets.push_back({firstCharacters(pet.name, PET_NAME_LENGTH), nameOf(owner), owner, pet.design});
    }
    return data;
}

void Social::storeFriendData(FriendData data) {
    onMain([&] {
        const bool samePets = sameSet(data.pets, settings_.friendPets());
        const bool sameFriends = samePets && sameSet(data.friends, settings_.friends());
        settings_.setFriendPets(data.pets);
        settings_.setFriends(data.friends);
        if (!host_) return;
        if (!sameFriends) host_->requestFriendRebuild();
        host_->rebuildMenu();
    });
}

}  // namespace pawlane
