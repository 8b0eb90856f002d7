// The cloud queries of the app's client against the local backend's tables and procedures.
#include "client_support.h"

#include <set>

namespace pawlane::clienttest {
namespace {

class ClientTables : public ClientBackendTest {
protected:
  struct User {
    SessionDir dir;
    std::unique_ptr<BackendClient> client;
    std::string id;
  };

  std::unique_ptr<User> user(const std::string& name) {
    auto u = std::make_unique<User>();
    u->client = makeClient(u->dir);
    u->id = signIn(*u->client, uniqueEmail(name));
    return u;
  }

  void befriend(User& a, User& b) {
    auto redeemed = redeemFriendCode(*a.client, friendCodeOf(*b.client, b.id));
    ASSERT_TRUE(redeemed) << redeemed.error().description;
  }

  std::vector<std::string> petsOf(const std::string& owner) {
    return ids("select id from public.pets where owner_id = $1", {owner});
  }
};

TEST_F(ClientTables, OwnProfileIsOneObjectAndAMissingOneFails) {
  auto ann = user("ann");
  auto own = fetchOwnProfile(*ann->client, ann->id);
  ASSERT_TRUE(own) << own.error().description;
  EXPECT_EQ(own->id, ann->id);
  EXPECT_EQ(own->friendCode.size(), 8u);

  auto missing = fetchOwnProfile(*ann->client, "0F0F0F0F-0000-4000-8000-000000000000");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().status, 406);
  EXPECT_EQ(missing.error().code, "PGRST116");
}

TEST_F(ClientTables, NamesFriendshipsAndPetsShowSelfAndFriendsOnly) {
  auto ann = user("ann");
  auto bob = user("bob");
  auto cid = user("cid");
  befriend(*ann, *bob);
  ASSERT_TRUE(upsertPets(*bob->client, {pet(bob->id, "b1", "Bo One"), pet(bob->id, "b2", "Bo Two")}));
  ASSERT_TRUE(upsertPets(*cid->client, {pet(cid->id, "c1", "Cid's")}));
  ASSERT_TRUE(upsertPets(*ann->client, {pet(ann->id, "a1", "Ann's")}));

  auto names = fetchVisibleProfiles(*ann->client);
  ASSERT_TRUE(names) << names.error().description;
  std::set<std::string> seen;
  for (const auto& p : *names) seen.insert(p.id);
  EXPECT_EQ(seen, (std::set<std::string>{ann->id, bob->id}));

  auto friendships = fetchFriendships(*ann->client);
  ASSERT_TRUE(friendships);
  ASSERT_EQ(friendships->size(), 1u);
  EXPECT_EQ((std::set<std::string>{friendships->at(0).userA, friendships->at(0).userB}),
            (std::set<std::string>{ann->id, bob->id}));

  auto pets = fetchFriendPets(*ann->client, ann->id);
  ASSERT_TRUE(pets) << pets.error().description;
  ASSERT_EQ(pets->size(), 2u);
  EXPECT_LT(pets->at(0).id, pets->at(1).id);  // ordered by id
  for (const auto& p : *pets) {
    EXPECT_EQ(p.ownerId, bob->id);
    EXPECT_EQ(p.design.name, p.name);
  }

  // Cid is no one's friend: sees only himself and no pets.
  auto cidNames = fetchVisibleProfiles(*cid->client);
  ASSERT_TRUE(cidNames);
  ASSERT_EQ(cidNames->size(), 1u);
  EXPECT_TRUE(fetchFriendPets(*cid->client, cid->id)->empty());
}

TEST_F(ClientTables, PetsAreWrittenAndDeletedByTheirOwnerOnly) {
  auto ann = user("ann");
  auto bob = user("bob");
  const auto a1 = pet(ann->id, "a1", "First"), a2 = pet(ann->id, "a2", "Second");
  ASSERT_TRUE(upsertPets(*ann->client, {a1, a2}));
  EXPECT_EQ(petsOf(ann->id), ids("select unnest($1::uuid[])", {"{" + a1.id + "," + a2.id + "}"}));

  // Upsert again replaces by id.
  auto renamed = a1;
  renamed.name = renamed.design.name = "Renamed";
  ASSERT_TRUE(upsertPet(*ann->client, renamed));
  EXPECT_EQ(db.exec("select name, design->>'name' from public.pets where id = $1", {a1.id}).rows.at(0),
            (std::vector<std::optional<std::string>>{"Renamed", "Renamed"}));
  EXPECT_EQ(petsOf(ann->id).size(), 2u);

  // Bob cannot write, overwrite or delete Ann's pets.
  auto b1 = pet(bob->id, "b1", "Bob's");
  ASSERT_TRUE(upsertPet(*bob->client, b1));
  EXPECT_FALSE(upsertPet(*bob->client, pet(ann->id, "forged", "Forged")));
  auto hijack = a2;
  hijack.ownerId = bob->id;
  EXPECT_FALSE(upsertPet(*bob->client, hijack));
  deletePet(*bob->client, a2.id);
  deleteOwnPet(*bob->client, a2.id, ann->id);
  EXPECT_EQ(petsOf(ann->id).size(), 2u);
  EXPECT_EQ(db.exec("select owner_id from public.pets where id = $1", {a2.id}).column(),
            std::vector<std::string>{lowerUuid(ann->id)});

  // Ann deletes hers, by id alone and by id and owner.
  ASSERT_TRUE(deletePet(*ann->client, a1.id));
  ASSERT_TRUE(deleteOwnPet(*ann->client, a2.id, ann->id));
  EXPECT_TRUE(petsOf(ann->id).empty());
  EXPECT_EQ(petsOf(bob->id).size(), 1u);
}

TEST_F(ClientTables, UnfriendRemovesBothOrientations) {
  auto ann = user("ann");
  auto bob = user("bob");
  befriend(*ann, *bob);
  // The other orientation too, as a server may store it.
  db.exec("insert into public.friendships (user_a, user_b) values ($1, $2) on conflict do nothing",
          {bob->id, ann->id});
  const std::string between =
      "select user_a from public.friendships where (user_a = $1 and user_b = $2) or (user_a = $2 and user_b = $1)";
  ASSERT_FALSE(db.exec(between, {ann->id, bob->id}).rows.empty());

  ASSERT_TRUE(removeFriendship(*ann->client, ann->id, bob->id));
  EXPECT_TRUE(db.exec(between, {ann->id, bob->id}).rows.empty());
  EXPECT_TRUE(fetchFriendships(*bob->client)->empty());
}

TEST_F(ClientTables, RedeemingFriendCodes) {
  auto ann = user("ann");
  auto bob = user("bob");
  const std::string bobCode = friendCodeOf(*bob->client, bob->id);

  auto unknown = redeemFriendCode(*ann->client, "ZZZZZZZZ");
  ASSERT_FALSE(unknown);
  EXPECT_NE(unknown.error().description.find("ZZZZZZZZ"), std::string::npos) << unknown.error().description;
  auto own = redeemFriendCode(*ann->client, friendCodeOf(*ann->client, ann->id));
  ASSERT_FALSE(own);
  EXPECT_FALSE(own.error().description.empty());
  EXPECT_TRUE(fetchFriendships(*ann->client)->empty());

  auto redeemed = redeemFriendCode(*ann->client, bobCode);
  ASSERT_TRUE(redeemed) << redeemed.error().description;
  ASSERT_FALSE(redeemed->empty());
  EXPECT_EQ(redeemed->at(0).friendId, bob->id);
  EXPECT_EQ(redeemed->at(0).friendName, fetchOwnProfile(*bob->client, bob->id)->displayName);
  EXPECT_EQ(fetchFriendships(*bob->client)->size(), 1u);
}

TEST_F(ClientTables, DeletingTheAccountRemovesEverythingAndEndsTheSession) {
  auto ann = user("ann");
  auto bob = user("bob");
  befriend(*ann, *bob);
  ASSERT_TRUE(upsertPets(*ann->client, {pet(ann->id, "a1", "Gone")}));
  const std::string refreshToken = ann->client->session()->refreshToken;

  ASSERT_TRUE(deleteAccount(*ann->client));
  ann->client->signOut();  // what the app does next; its failure would not matter
  EXPECT_FALSE(ann->client->session());
  EXPECT_TRUE(std::filesystem::is_empty(ann->dir.path()));

  EXPECT_TRUE(petsOf(ann->id).empty());
  EXPECT_TRUE(db.exec("select 1 from public.friendships where user_a = $1 or user_b = $1", {ann->id}).rows.empty());
  EXPECT_TRUE(db.exec("select 1 from public.profiles where id = $1", {ann->id}).rows.empty());
  EXPECT_TRUE(db.exec("select 1 from auth.users where id = $1", {ann->id}).rows.empty());
  auto refresh = http.send("POST", "/auth/v1/token?grant_type=refresh_token",
                           Json{{"refresh_token", refreshToken}}.dump());
  EXPECT_GE(refresh.status, 400);
  EXPECT_TRUE(fetchFriendships(*bob->client)->empty());
}

}  // namespace
}  // namespace pawlane::clienttest
