// What the cloud schema itself promises, checked in SQL as the API roles see it.
#include "server_support.h"

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

namespace pawlane::servertest {
namespace {

std::set<std::string> asSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

class ServerSchema : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(db.connected()) << "no database in PAWLANE_BACKEND_ENV"; }

  std::string friendCode(const std::string& id) {
    return db.exec("select friend_code from public.profiles where id = $1", {id}).column().at(0);
  }

  std::string addPet(const std::string& owner, const std::string& name) {
    return db.exec("insert into public.pets (id, owner_id, name, design) values"
                   " (gen_random_uuid(), $1, $2, '{\"base\":\"dog\"}') returning id",
                   {owner, name})
        .column()
        .at(0);
  }

  Db db;
};

TEST_F(ServerSchema, NewAccountsGetANamedProfileWithAFriendCodeFreeOfLookAlikes) {
  struct Case {
    Json meta;
    std::string local, expected;
  };
  const Case cases[] = {
      {{{"display_name", "Rex Owner"}, {"full_name", "Other"}}, "rex", "Rex Owner"},
      {{{"full_name", "Ada Lovelace"}}, "ada", "Ada Lovelace"},
      {{{"name", "Grace"}}, "grace", "Grace"},
      {{{"full_name", "   "}}, "mia.w", "mia.w"},
      {Json::object(), "plain", "plain"},
  };
  const std::regex code("[A-HJ-NP-Z2-9]{8}");
  for (const auto& c : cases) {
    std::string email = uniqueEmail(c.local);
    std::string id = db.createUser(email, c.meta);
    auto profile = db.exec("select display_name, friend_code from public.profiles where id = $1", {id});
    ASSERT_EQ(profile.rows.size(), 1u) << email;
    std::string expected = c.expected == c.local ? email.substr(0, email.find('@')) : c.expected;
    EXPECT_EQ(profile.rows[0][0], expected) << c.meta.dump();
    EXPECT_TRUE(std::regex_match(profile.rows[0][1].value(), code)) << *profile.rows[0][1];
  }
  auto unique = db.exec("select count(*) = count(distinct friend_code) from public.profiles");
  EXPECT_EQ(unique.column(), std::vector<std::string>{"t"});
}

TEST_F(ServerSchema, ApplyingTheSchemaAgainKeepsDataAndBehaviour) {
  std::string before = db.createUser(uniqueEmail("before"));
  std::string code = friendCode(before);
  std::string pet = addPet(before, "Biscuit");

  std::ifstream file(std::string(PAWLANE_SOURCE_DIR) + "/backend/schema.sql");
  std::stringstream sql;
  sql << file.rdbuf();
  db.exec("set client_min_messages = warning");
  auto again = db.exec(sql.str());
  ASSERT_TRUE(again.ok) << again.message;

  EXPECT_EQ(friendCode(before), code);
  EXPECT_EQ(db.exec("select name from public.pets where id = $1", {pet}).column(),
            std::vector<std::string>{"Biscuit"});
  std::string after = db.createUser(uniqueEmail("after"));
  EXPECT_EQ(db.exec("select count(*) from public.profiles where id = $1", {after}).column(),
            std::vector<std::string>{"1"});
  EXPECT_EQ(db.asUser(before, "select id from public.pets").column(), std::vector<std::string>{pet});
}

// A and B are friends (stored as B→A), C and D are friends; each has one pet.
class ServerRls : public ServerSchema {
protected:
  void SetUp() override {
    ServerSchema::SetUp();
    for (auto* who : {&a, &b, &c, &d}) *who = db.createUser(uniqueEmail("user"));
    db.exec("insert into public.friendships (user_a, user_b) values ($1, $2), ($3, $4)", {b, a, c, d});
    petA = addPet(a, "A's pet");
    petB = addPet(b, "B's pet");
    petC = addPet(c, "C's pet");
  }

  std::string petName(const std::string& id) {
    return db.exec("select name from public.pets where id = $1", {id}).column().at(0);
  }

  std::string a, b, c, d, petA, petB, petC;
};

TEST_F(ServerRls, UsersSeeOnlyThemselvesAndTheirFriends) {
  EXPECT_EQ(asSet(db.asUser(a, "select id::text from public.profiles").column()), (std::set{a, b}));
  EXPECT_EQ(asSet(db.asUser(b, "select id::text from public.profiles").column()), (std::set{a, b}));
  EXPECT_EQ(asSet(db.asUser(c, "select id::text from public.profiles").column()), (std::set{c, d}));

  EXPECT_EQ(db.asUser(a, "select user_a::text from public.friendships").column(), std::vector{b});
  EXPECT_EQ(db.asUser(d, "select user_b::text from public.friendships").column(), std::vector{d});

  EXPECT_EQ(asSet(db.asUser(a, "select id::text from public.pets").column()), (std::set{petA, petB}));
  EXPECT_EQ(db.asUser(d, "select id::text from public.pets").column(), std::vector{petC});
}

TEST_F(ServerRls, OnlyOwnersWriteTheirPets) {
  const std::string upsert =
      "insert into public.pets (id, owner_id, name, design) values ($1, $2, 'Stolen', '{}')"
      " on conflict (id) do update set name = excluded.name, owner_id = excluded.owner_id";
  struct Attempt {
    const char* what;
    std::string sql;
    std::vector<std::string> params;
  };
  const Attempt refused[] = {
      {"insert for another owner", "insert into public.pets (id, owner_id, name, design)"
                                   " values (gen_random_uuid(), $1, 'Fake', '{}')", {c}},
      {"upsert over a friend's pet", upsert, {petB, a}},
      {"upsert over a stranger's pet", upsert, {petC, a}},
      {"upsert keeping the friend as owner", upsert, {petB, b}},
  };
  for (const auto& attempt : refused) {
    auto r = db.asUser(a, attempt.sql, attempt.params);
    EXPECT_FALSE(r.ok) << attempt.what;
    EXPECT_EQ(r.sqlstate, "42501") << attempt.what << ": " << r.message;
  }
  for (const auto& pet : {petB, petC}) {
    EXPECT_TRUE(db.asUser(a, "update public.pets set name = 'Renamed' where id = $1 returning id", {pet}).rows.empty());
    EXPECT_TRUE(db.asUser(a, "delete from public.pets where id = $1 returning id", {pet}).rows.empty());
  }
  EXPECT_EQ(petName(petB), "B's pet");
  EXPECT_EQ(petName(petC), "C's pet");

  auto own = db.asUser(a, "insert into public.pets (id, owner_id, name, design) values ($1, $2, 'Renamed', '{}')"
                          " on conflict (id) do update set name = excluded.name returning id", {petA, a});
  ASSERT_TRUE(own.ok) << own.message;
  EXPECT_EQ(petName(petA), "Renamed");
  EXPECT_EQ(db.asUser(a, "delete from public.pets where id = $1 returning id::text", {petA}).column(),
            std::vector{petA});
}

TEST_F(ServerRls, FriendshipsAreMadeOnlyThroughCodesAndEndedByTheirUsers) {
  auto forged = db.asUser(a, "insert into public.friendships (user_a, user_b) values ($1, $2)", {a, c});
  EXPECT_EQ(forged.sqlstate, "42501");
  EXPECT_TRUE(db.asUser(a, "delete from public.friendships where user_a = $1 returning 1", {c}).rows.empty());
  EXPECT_EQ(db.asUser(a, "delete from public.friendships returning user_a::text").column(), std::vector{b});
  EXPECT_EQ(db.exec("select count(*) from public.friendships where $1 in (user_a, user_b)", {c}).column(),
            std::vector<std::string>{"1"});
}

TEST_F(ServerRls, AnonymousCallersReachNothing) {
  for (const char* sql : {"select * from public.profiles", "select * from public.pets",
                          "select * from public.friendships", "select public.delete_account()",
                          "select * from public.redeem_friend_code('AAAAAAAA')"}) {
    auto r = db.asAnon(sql);
    EXPECT_EQ(r.sqlstate, "42501") << sql;
  }
}

TEST_F(ServerRls, RedeemingAFriendCode) {
  const std::string redeem = "select friend_id::text, friend_name from public.redeem_friend_code($1)";
  auto unknown = db.asUser(a, redeem, {"ZZZZZZZZ"});
  EXPECT_EQ(unknown.sqlstate, "P0001");
  EXPECT_NE(unknown.message.find("friend code"), std::string::npos) << unknown.message;
  auto own = db.asUser(a, redeem, {friendCode(a)});
  EXPECT_EQ(own.sqlstate, "P0001");
  EXPECT_NE(own.message.find("own"), std::string::npos) << own.message;

  // Typed sloppily: surrounding space and lower case still find the owner.
  std::string typed = "  " + friendCode(c) + "\n";
  std::transform(typed.begin(), typed.end(), typed.begin(), [](unsigned char ch) { return std::tolower(ch); });
  std::string cName = db.exec("select display_name from public.profiles where id = $1", {c}).column().at(0);
  for (int i = 0; i < 2; ++i) {
    auto r = db.asUser(a, redeem, {typed});
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0], c);
    EXPECT_EQ(r.rows[0][1], cName);
  }
  ASSERT_TRUE(db.asUser(c, redeem, {friendCode(a)}).ok);
  const std::string pairCount =
      "select count(*) from public.friendships where least(user_a, user_b) = least($1::uuid, $2::uuid)"
      " and greatest(user_a, user_b) = greatest($1::uuid, $2::uuid)";
  EXPECT_EQ(db.exec(pairCount, {a, c}).column(), std::vector<std::string>{"1"});
  EXPECT_EQ(asSet(db.asUser(a, "select id::text from public.pets").column()), (std::set{petA, petB, petC}));
}

TEST_F(ServerRls, DeletingAnAccountRemovesAllOfTheCallersData) {
  db.exec("insert into public.friendships (user_a, user_b) values ($1, $2)", {a, c});
  db.exec("insert into auth.sessions (user_id) values ($1)", {a});
  auto r = db.asUser(a, "select public.delete_account()");
  ASSERT_TRUE(r.ok) << r.message;

  for (const char* sql : {"select count(*) from public.pets where owner_id = $1",
                          "select count(*) from public.friendships where $1 in (user_a, user_b)",
                          "select count(*) from public.profiles where id = $1",
                          "select count(*) from auth.users where id = $1",
                          "select count(*) from auth.sessions where user_id = $1"})
    EXPECT_EQ(db.exec(sql, {a}).column(), std::vector<std::string>{"0"}) << sql;
  EXPECT_EQ(petName(petB), "B's pet");
  EXPECT_EQ(db.exec("select count(*) from public.friendships where user_a = $1 and user_b = $2", {c, d}).column(),
            std::vector<std::string>{"1"});
}

}  // namespace
}  // namespace pawlane::servertest
