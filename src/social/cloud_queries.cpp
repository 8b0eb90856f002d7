#include "social/cloud_queries.h"

#include <nlohmann/json.hpp>

#include "social/uuid_text.h"

namespace pawlane {

namespace {

constexpr int FRIEND_PETS_LIMIT = 60;

SocialError undecodable(const char* what) {
    return {SocialError::Kind::decoding, std::string("The server sent ") + what + " that couldn't be read.", 0, {}};
}

Status status(const Result<Json>& r) {
    if (!r) return r.error();
    return {};
}

}  // namespace

Result<Profile> fetchOwnProfile(BackendClient& client, const std::string& uid) {
    auto r = client.select("profiles", RestQuery{}.eq("id", upperUuid(uid)).singleObject());
    if (!r) return r.error();
    auto profile = profileFromJson(r.value());
    if (!profile) return undecodable("a profile");
    return *profile;
}

Result<std::vector<Profile>> fetchVisibleProfiles(BackendClient& client) {
    auto r = client.select("profiles", RestQuery{}.orderBy("id"));
    if (!r) return r.error();
    auto rows = profilesFromJson(r.value());
    if (!rows) return undecodable("profiles");
    return *rows;
}

Result<std::vector<FriendshipRow>> fetchFriendships(BackendClient& client) {
    auto r = client.select("friendships", RestQuery{}.orderBy("user_a"));
    if (!r) return r.error();
    auto rows = friendshipRowsFromJson(r.value());
    if (!rows) return undecodable("friendships");
    return *rows;
}

Result<std::vector<CloudPet>> fetchFriendPets(BackendClient& client, const std::string& uid) {
    auto r = client.select("pets", RestQuery{}.neq("owner_id", upperUuid(uid)).orderBy("id").limitTo(FRIEND_PETS_LIMIT));
    if (!r) return r.error();
    auto pets = decodableCloudPets(r.value());
    if (!pets) return undecodable("pets");
    return *pets;
}

Status upsertPets(BackendClient& client, const std::vector<CloudPet>& pets) {
    Json rows = Json::array();
    for (const auto& pet : pets) rows.push_back(toJson(pet));
    return status(client.upsert("pets", rows));
}

Status upsertPet(BackendClient& client, const CloudPet& pet) { return status(client.upsert("pets", toJson(pet))); }

Status deletePet(BackendClient& client, const std::string& petId) {
    return status(client.remove("pets", RestQuery{}.eq("id", upperUuid(petId))));
}

Status deleteOwnPet(BackendClient& client, const std::string& petId, const std::string& uid) {
    return status(client.remove("pets", RestQuery{}.eq("id", upperUuid(petId)).eq("owner_id", upperUuid(uid))));
}

Status removeFriendship(BackendClient& client, const std::string& me, const std::string& friendId) {
    const auto a = lowerUuid(me);
    const auto b = lowerUuid(friendId);
    return status(client.remove("friendships", RestQuery{}.anyOf("and(user_a.eq." + a + ",user_b.eq." + b +
                                                                 "),and(user_a.eq." + b + ",user_b.eq." + a + ")")));
}

Result<std::vector<RedeemRow>> redeemFriendCode(BackendClient& client, const std::string& code) {
    auto r = client.rpc("redeem_friend_code", Json{{"code", code}});
    if (!r) return r.error();
    auto rows = redeemRowsFromJson(r.value());
    if (!rows) return undecodable("a friend");
    return *rows;
}

Status deleteAccount(BackendClient& client) { return status(client.rpc("delete_account", Json::object())); }

}  // namespace pawlane
