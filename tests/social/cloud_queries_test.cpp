#include "social/cloud_queries.h"

#include <functional>

#include "client_fixture.h"

using namespace pawlane;
using namespace pawlane::test;
using nlohmann::json;

namespace {

const std::string FRIEND = "bbbbbbbb-1111-4222-8333-444444444444";
const std::string PET = "cccccccc-1111-4222-8333-444444444444";

CloudPet samplePet() {
    CloudPet pet{"CCCCCCCC-1111-4222-8333-444444444444", UID_UPPER, "Rex", 1, CustomPetDef{}};
    pet.design.id = "L1";
    pet.design.name = "Rex";
    return pet;
}

struct RequestForm {
    const char* name;
    std::function<void(BackendClient&)> call;
    const char* method;
    std::string path;  // after the base URL
    std::vector<std::pair<const char*, const char*>> headers;
    json body;  // null: no body
};

}  // namespace

class CloudQueries : public ClientTest {};

TEST_F(CloudQueries, EachQueryHasItsExactForm) {
    const CloudPet pet = samplePet();
    const char* const PREFER_UPSERT = "resolution=merge-duplicates,return=representation";
    const std::vector<RequestForm> forms = {
        {"Q1 own profile", [](BackendClient& c) { fetchOwnProfile(c, UID); }, "GET",
         "/rest/v1/profiles?select=*&id=eq.AAAAAAAA-1111-4222-8333-444444444444",
         {{"Accept", "application/vnd.pgrst.object+json"}}, nullptr},
        {"Q2 names", [](BackendClient& c) { fetchVisibleProfiles(c); }, "GET",
         "/rest/v1/profiles?select=*&order=id.asc.nullslast", {{"Accept", "application/json"}}, nullptr},
        {"Q3 friendships", [](BackendClient& c) { fetchFriendships(c); }, "GET",
         "/rest/v1/friendships?select=*&order=user_a.asc.nullslast", {}, nullptr},
        {"Q4 friends' pets", [](BackendClient& c) { fetchFriendPets(c, UID); }, "GET",
         "/rest/v1/pets?select=*&owner_id=neq.AAAAAAAA-1111-4222-8333-444444444444&order=id.asc.nullslast&limit=60",
         {}, nullptr},
        {"Q5 upload array", [&](BackendClient& c) { upsertPets(c, {pet, pet}); }, "POST", "/rest/v1/pets",
         {{"Prefer", PREFER_UPSERT}, {"Content-Type", "application/json"}}, json::array({toJson(pet), toJson(pet)})},
        {"Q5 upload one", [&](BackendClient& c) { upsertPet(c, pet); }, "POST", "/rest/v1/pets",
         {{"Prefer", PREFER_UPSERT}}, toJson(pet)},
        {"Q6a delete pet", [](BackendClient& c) { deletePet(c, PET); }, "DELETE",
         "/rest/v1/pets?id=eq.CCCCCCCC-1111-4222-8333-444444444444", {{"Prefer", "return=representation"}}, nullptr},
        {"Q6b delete own pet", [](BackendClient& c) { deleteOwnPet(c, PET, UID); }, "DELETE",
         "/rest/v1/pets?id=eq.CCCCCCCC-1111-4222-8333-444444444444&owner_id=eq.AAAAAAAA-1111-4222-8333-444444444444",
         {{"Prefer", "return=representation"}}, nullptr},
        {"Q7 unfriend, lower case", [](BackendClient& c) { removeFriendship(c, UID_UPPER, "BBBBBBBB-1111-4222-8333-444444444444"); },
         "DELETE",
         "/rest/v1/friendships?or=%28and%28user_a.eq.aaaaaaaa-1111-4222-8333-444444444444%2Cuser_b.eq."
         "bbbbbbbb-1111-4222-8333-444444444444%29%2Cand%28user_a.eq.bbbbbbbb-1111-4222-8333-444444444444%2C"
         "user_b.eq.aaaaaaaa-1111-4222-8333-444444444444%29%29",
         {{"Prefer", "return=representation"}}, nullptr},
        {"Q8 redeem", [](BackendClient& c) { redeemFriendCode(c, "ab2 CD3ef"); }, "POST",
         "/rest/v1/rpc/redeem_friend_code", {{"Content-Type", "application/json"}}, json{{"code", "ab2 CD3ef"}}},
        {"Q9 delete account", [](BackendClient& c) { deleteAccount(c); }, "POST", "/rest/v1/rpc/delete_account", {},
         json::object()},
    };
    startSignedIn();
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        transport->clear();
        form.call(*client);
        ASSERT_EQ(transport->requests().size(), 1u);
        const auto r = transport->lastRequest();
        EXPECT_EQ(r.method, form.method);
        EXPECT_EQ(r.url, BASE + form.path);
        EXPECT_EQ(r.header("apikey"), ANON);
        EXPECT_EQ(r.header("Authorization"), "Bearer access-1");
        for (const auto& [name, value] : form.headers) EXPECT_EQ(r.header(name), value) << name;
        if (form.body.is_null()) {
            EXPECT_EQ(r.body, "");
        } else {
            EXPECT_EQ(json::parse(r.body), form.body);
        }
    }
}

TEST(RestQuery, FilterValuesArePercentEncoded) {
    EXPECT_EQ(RestQuery{}.eq("name", "a b&c,(d)+é").queryString(false), "name=eq.a%20b%26c%2C%28d%29%2B%C3%A9");
    EXPECT_EQ(RestQuery{}.eq("n", "x-y_z.~").limitTo(3).queryString(true), "select=*&n=eq.x-y_z.~&limit=3");
}

TEST_F(CloudQueries, SignedOutRequestsGoOutWithTheAnonKey) {
    start();
    fetchVisibleProfiles(*client);
    EXPECT_EQ(transport->lastRequest().header("Authorization"), std::string("Bearer ") + ANON);
}

TEST_F(CloudQueries, ResultsAreDecodedIntoRows) {
    startSignedIn();
    transport->respond(200, json{{"id", UID}, {"display_name", "Ann"}, {"friend_code", "AB2CD3EF"}}.dump());
    auto profile = fetchOwnProfile(*client, UID);
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->id, UID_UPPER);

    transport->respond(200, json::array({{{"user_a", UID}, {"user_b", FRIEND}}}).dump());
    auto friendships = fetchFriendships(*client);
    ASSERT_TRUE(friendships);
    EXPECT_EQ(friendships->at(0).userB, "BBBBBBBB-1111-4222-8333-444444444444");

    json good = toJson(samplePet());
    json bad = good;
    bad.erase("schema_version");
    transport->respond(200, json::array({bad, good}).dump());
    auto pets = fetchFriendPets(*client, UID);
    ASSERT_TRUE(pets);
    EXPECT_EQ(pets->size(), 1u);

    transport->respond(200, "[]");
    auto redeemed = redeemFriendCode(*client, "CODE");
    ASSERT_TRUE(redeemed);
    EXPECT_TRUE(redeemed->empty());

    transport->respond(204, "");
    EXPECT_TRUE(deleteAccount(*client));
}

TEST_F(CloudQueries, FailuresCarryTheServersMessage) {
    startSignedIn();
    transport->respond(406, R"({"code":"PGRST116","details":"The result contains 0 rows","hint":null,)"
                            R"("message":"JSON object requested, multiple (or no) rows returned"})");
    auto profile = fetchOwnProfile(*client, UID);
    ASSERT_FALSE(profile);
    EXPECT_EQ(profile.error().status, 406);
    EXPECT_EQ(profile.error().code, "PGRST116");
    EXPECT_EQ(profile.error().description, "JSON object requested, multiple (or no) rows returned");

    transport->respond(400, R"({"code":"P0001","details":null,"hint":null,"message":"Unknown friend code"})");
    auto redeemed = redeemFriendCode(*client, "NOPE");
    ASSERT_FALSE(redeemed);
    EXPECT_EQ(redeemed.error().description, "Unknown friend code");

    transport->respond(502, "<html>bad gateway</html>");
    EXPECT_EQ(fetchVisibleProfiles(*client).error().description, "The server answered with status 502.");

    transport->failNext("Couldn't reach the server.");
    EXPECT_EQ(deletePet(*client, PET).error().kind, SocialError::Kind::network);

    // A list query answered with something else than an array, or a bad row in an all-or-nothing list.
    transport->respond(200, "{}");
    EXPECT_EQ(fetchFriendPets(*client, UID).error().kind, SocialError::Kind::decoding);
    transport->respond(200, json::array({{{"id", UID}, {"display_name", nullptr}, {"friend_code", "X"}}}).dump());
    EXPECT_FALSE(fetchVisibleProfiles(*client));
    transport->respond(200, "not json");
    EXPECT_EQ(fetchFriendships(*client).error().kind, SocialError::Kind::decoding);
}
