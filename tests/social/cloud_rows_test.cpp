#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "social/cloud_pet_id.h"
#include "social/cloud_rows.h"

using namespace pawlane;
using nlohmann::json;

namespace {

json petRow(const std::string& id, const std::string& owner) {
    return json{{"id", id},
                {"owner_id", owner},
                {"name", "Rex"},
                {"schema_version", 1},
                {"design", {{"id", "L1"}, {"name", "Rex"}, {"shape", "cat"}, {"spots", true}}},
                {"created_at", "2026-01-01T00:00:00Z"}};
}

const std::string A = "aaaaaaaa-0000-4000-8000-000000000001";
const std::string B = "BBBBBBBB-0000-4000-8000-000000000002";

}  // namespace

TEST(CloudPetId, WorkedExampleAndCaseOfLocalId) {
    const std::string owner = "11111111-2222-3333-4444-555555555555";
    EXPECT_EQ(cloudPetId("abc", owner), "DA86A8AB-B344-52AD-A26F-5553A8A535B1");
    EXPECT_EQ(cloudPetId("ABC", owner), "DA86A8AB-B344-52AD-A26F-5553A8A535B1");
    EXPECT_EQ(cloudPetId("abc", "11111111-2222-3333-4444-555555555555"), cloudPetId("aBc", owner));
    EXPECT_NE(cloudPetId("abd", owner), cloudPetId("abc", owner));
}

TEST(CloudPetId, UpperCasingIsFullUnicodeAndKeepsBadBytes) {
    EXPECT_EQ(unicodeUpper("straße-éa"), "STRASSE-ÉA");
    EXPECT_EQ(unicodeUpper("ﬁx ǆ"), "FIX Ǆ");
    EXPECT_EQ(unicodeUpper("a\xff" "b"), "A\xff" "B");
}

TEST(CloudRows, ProfileAndFriendshipNeedEveryKey) {
    const json profile{{"id", A}, {"display_name", "Ann"}, {"friend_code", "AB2CD3EF"}, {"extra", 1}};
    EXPECT_EQ(profileFromJson(profile), (Profile{"AAAAAAAA-0000-4000-8000-000000000001", "Ann", "AB2CD3EF"}));
    for (const char* key : {"id", "display_name", "friend_code"}) {
        SCOPED_TRACE(key);
        json missing = profile, null = profile;
        missing.erase(key);
        null[key] = nullptr;
        EXPECT_EQ(profileFromJson(missing), std::nullopt);
        EXPECT_EQ(profileFromJson(null), std::nullopt);
    }
    EXPECT_EQ(profileFromJson(json{{"id", "not-a-uuid"}, {"display_name", "A"}, {"friend_code", "C"}}), std::nullopt);

    // One bad row fails the whole list.
    EXPECT_EQ(profilesFromJson(json::array({profile, profile})).value().size(), 2u);
    json nullName = profile;
    nullName["display_name"] = nullptr;
    EXPECT_EQ(profilesFromJson(json::array({profile, nullName})), std::nullopt);
    EXPECT_EQ(profilesFromJson(json::object()), std::nullopt);

    EXPECT_EQ(friendshipRowsFromJson(json::array({{{"user_a", A}, {"user_b", B}}})),
              (std::vector<FriendshipRow>{{"AAAAAAAA-0000-4000-8000-000000000001", B}}));
    EXPECT_EQ(friendshipRowsFromJson(json::array({{{"user_a", A}}})), std::nullopt);
}

TEST(CloudRows, RedeemRows) {
    EXPECT_EQ(redeemRowsFromJson(json::array()), std::vector<RedeemRow>{});
    EXPECT_EQ(redeemRowsFromJson(json::array({{{"friend_id", B}, {"friend_name", "Bo"}}})),
              (std::vector<RedeemRow>{{B, "Bo"}}));
    EXPECT_EQ(redeemRowsFromJson(json::array({{{"friend_id", B}, {"friend_name", nullptr}}})), std::nullopt);
}

TEST(CloudRows, CloudPetDecodesDesignTolerantly) {
    auto pet = cloudPetFromJson(petRow(A, B));
    ASSERT_TRUE(pet);
    EXPECT_EQ(pet->id, "AAAAAAAA-0000-4000-8000-000000000001");
    EXPECT_EQ(pet->ownerId, B);
    EXPECT_EQ(pet->name, "Rex");
    EXPECT_EQ(pet->design.shape, "cat");
    EXPECT_TRUE(pet->design.spots);
    EXPECT_EQ(pet->design.bodyHex, CustomPetDef{}.bodyHex);  // absent design keys take defaults

    json seven = petRow(A, B);
    seven["schema_version"] = 7;
    EXPECT_EQ(cloudPetFromJson(seven)->schemaVersion, 7);
}

TEST(CloudRows, FailablePetDropsOnlyTheBadRow) {
    auto bad = [](auto edit) {
        json row = petRow(A, B);
        edit(row);
        return row;
    };
    const std::vector<std::pair<const char*, json>> badRows = {
        {"design not an object", bad([](json& r) { r["design"] = "cat"; })},
        {"design null", bad([](json& r) { r["design"] = nullptr; })},
        {"schema_version missing", bad([](json& r) { r.erase("schema_version"); })},
        {"schema_version not an integer", bad([](json& r) { r["schema_version"] = "1"; })},
        {"owner not a UUID", bad([](json& r) { r["owner_id"] = "bob"; })},
        {"name null", bad([](json& r) { r["name"] = nullptr; })},
        {"not an object", json(5)},
    };
    for (const auto& [name, row] : badRows) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(failableCloudPetFromJson(row).value);
        const auto kept = decodableCloudPets(json::array({petRow(A, B), row, petRow(B, A)}));
        ASSERT_TRUE(kept);
        ASSERT_EQ(kept->size(), 2u);
        EXPECT_EQ((*kept)[1].id, B);
    }
    EXPECT_EQ(decodableCloudPets(json::object()), std::nullopt);
}

TEST(CloudRows, CloudPetWritesExactlyItsFiveKeys) {
    CloudPet pet{"aaaaaaaa-0000-4000-8000-000000000001", B, "Rex", 1, CustomPetDef{}};
    pet.design.name = "Rex";
    const json j = toJson(pet);
    EXPECT_EQ(j.size(), 5u);
    EXPECT_EQ(j["id"], "AAAAAAAA-0000-4000-8000-000000000001");
    EXPECT_EQ(j["owner_id"], B);
    EXPECT_EQ(j["name"], "Rex");
    EXPECT_EQ(j["schema_version"], 1);
    EXPECT_EQ(j["design"], toJson(pet.design));
    pet.id = "AAAAAAAA-0000-4000-8000-000000000001";
    EXPECT_EQ(cloudPetFromJson(j), pet);
}
