// The dev gateway speaks the hosted service's protocol: sign-in flows, token rules,
// PostgREST forms and their error answers.
#include "server_support.h"

#include <openssl/evp.h>
#include <openssl/sha.h>

#include <set>

namespace pawlane::servertest {
namespace {

const char* VERIFIER = "verifier-0123456789-abcdefghijklmnopqrstuvwxyz.ABC~";
const char* CALLBACK = "pawlane://auth-callback";

std::string challengeFor(const std::string& verifier) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest);
  unsigned char b64[64] = {};
  int n = EVP_EncodeBlock(b64, digest, sizeof digest);
  std::string out(reinterpret_cast<char*>(b64), static_cast<size_t>(n));
  for (char& c : out) c = c == '+' ? '-' : c == '/' ? '_' : c;
  return out.substr(0, out.find('='));
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

class ServerGateway : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(http.base().empty()) << "no gateway in PAWLANE_BACKEND_ENV"; }
  void TearDown() override {
    http.config({{"access_token_ttl", 3600}, {"flow_state_ttl", 300}, {"refresh_reuse_interval", 10}});
  }

  HttpResponse auth(const std::string& method, const std::string& path, const Json& body = nullptr,
                    const std::string& bearer = "") {
    return http.send(method, "/auth/v1" + path, body.is_null() ? "" : body.dump(), bearer,
                     {"X-Supabase-Api-Version: 2024-01-01"});
  }

  // Asks for an e-mail with PKCE and follows its link; returns the redirect target.
  std::string followEmailLink(const std::string& email) {
    auth("POST", "/otp?redirect_to=pawlane%3A%2F%2Fauth-callback",
         {{"email", email}, {"create_user", true}, {"code_challenge", challengeFor(VERIFIER)},
          {"code_challenge_method", "s256"}});
    return http.send("GET", http.mailbox(email)["link"], "", "", {}, false).header("location");
  }

  HttpResponse exchange(const std::string& code, const std::string& verifier = VERIFIER) {
    return auth("POST", "/token?grant_type=pkce", {{"auth_code", code}, {"code_verifier", verifier}});
  }

  HttpResponse refresh(const std::string& token) {
    return auth("POST", "/token?grant_type=refresh_token", {{"refresh_token", token}});
  }

  HttpResponse ownProfile(const Json& session) {
    std::string id = upper(session["user"]["id"]);
    return http.send("GET", "/rest/v1/profiles?select=*&id=eq." + id, "", session["access_token"],
                     {"Accept: application/vnd.pgrst.object+json"});
  }

  Http http;
};

std::string codeFrom(const std::string& location) {
  auto at = location.find("?code=");
  return at == std::string::npos ? "" : location.substr(at + 6);
}

TEST_F(ServerGateway, TheProjectKeyIsRequiredExceptOnBrowserRoutes) {
  EXPECT_EQ(http.send("GET", "/rest/v1/profiles", "", "", {}, false).status, 401);
  EXPECT_EQ(http.send("GET", "/rest/v1/profiles", "", "", {"apikey: not-a-key"}, false).status, 401);
  EXPECT_EQ(http.send("POST", "/auth/v1/otp", "{}", "", {}, false).json()["message"], "No API key found in request");
  // The e-mail link opens in a browser, which sends no key.
  EXPECT_EQ(http.send("GET", "/auth/v1/verify?token=nope&type=magiclink&redirect_to=x%3A%2F%2Fy", "", "", {}, false)
                .status, 303);
}

TEST_F(ServerGateway, AnEmailCodeSignsInOnce) {
  std::string email = uniqueEmail("code");
  EXPECT_EQ(auth("POST", "/otp", {{"email", "not an address"}}).status, 400);
  ASSERT_EQ(auth("POST", "/otp", {{"email", email}, {"create_user", true}}).status, 200);
  std::string code = http.mailbox(email)["code"];
  ASSERT_EQ(code.size(), 6u);

  auto wrong = auth("POST", "/verify", {{"type", "email"}, {"email", email}, {"token", code == "000000" ? "111111" : "000000"}});
  EXPECT_EQ(wrong.status, 403);
  EXPECT_EQ(wrong.json()["code"], "otp_expired");
  // Without the version header the older error shape comes back.
  auto old = http.send("POST", "/auth/v1/verify", Json{{"type", "email"}, {"email", email}, {"token", "x"}}.dump());
  EXPECT_EQ(old.json()["error_code"], "otp_expired");
  EXPECT_EQ(old.json()["code"], 403);

  auto session = auth("POST", "/verify", {{"type", "email"}, {"email", email}, {"token", code}});
  ASSERT_EQ(session.status, 200) << session.body;
  Json s = session.json();
  EXPECT_EQ(s["token_type"], "bearer");
  EXPECT_EQ(s["user"]["email"], email);
  EXPECT_GT(s["expires_at"].get<long>(), 0);
  EXPECT_EQ(auth("POST", "/verify", {{"type", "email"}, {"email", email}, {"token", code}}).status, 403);

  auto profile = ownProfile(s);
  ASSERT_EQ(profile.status, 200) << profile.body;
  EXPECT_EQ(profile.json()["display_name"], email.substr(0, email.find('@')));
  EXPECT_EQ(auth("GET", "/user", nullptr, s["access_token"]).json()["id"], s["user"]["id"]);
}

TEST_F(ServerGateway, AnEmailLinkCompletesAPkceSignInOnce) {
  std::string email = uniqueEmail("link");
  std::string location = followEmailLink(email);
  ASSERT_EQ(location.rfind(std::string(CALLBACK) + "?code=", 0), 0u) << location;
  std::string code = codeFrom(location);

  EXPECT_EQ(exchange(code, std::string(VERIFIER) + "x").json()["code"], "bad_code_verifier");
  auto session = exchange(code);
  ASSERT_EQ(session.status, 200) << session.body;
  EXPECT_EQ(session.json()["user"]["email"], email);
  auto again = exchange(code);
  EXPECT_EQ(again.status, 404);
  EXPECT_EQ(again.json()["code"], "flow_state_not_found");

  // The same link a second time carries the error back to the app.
  std::string reused = http.send("GET", http.mailbox(email)["link"], "", "", {}, false).header("location");
  EXPECT_NE(reused.find("error_code=otp_expired"), std::string::npos) << reused;
}

TEST_F(ServerGateway, AnOldAuthorizationCodeHasExpired) {
  http.config({{"flow_state_ttl", 0}});
  auto late = exchange(codeFrom(followEmailLink(uniqueEmail("late"))));
  EXPECT_EQ(late.status, 422);
  EXPECT_EQ(late.json()["code"], "flow_state_expired");
}

TEST_F(ServerGateway, TheOAuthTestProviderSignsTheTestUserInAtOnce) {
  auto redirect = http.send("GET", "/auth/v1/authorize?provider=google&redirect_to=pawlane%3A%2F%2Fauth-callback"
                                   "&code_challenge=" + challengeFor(VERIFIER) + "&code_challenge_method=s256",
                            "", "", {}, false);
  EXPECT_EQ(redirect.status, 302);
  auto session = exchange(codeFrom(redirect.header("location")));
  ASSERT_EQ(session.status, 200) << session.body;
  EXPECT_EQ(session.json()["user"]["email"], "google.tester@example.com");
  EXPECT_EQ(ownProfile(session.json()).json()["display_name"], "Google Tester");
  EXPECT_EQ(http.send("GET", "/auth/v1/authorize?provider=myspace", "", "", {}, false).status, 400);
}

TEST_F(ServerGateway, RefreshTokensRotateAndAReplayEndsTheSession) {
  Json first = http.signIn(uniqueEmail("refresh"));
  auto next = refresh(first["refresh_token"]);
  ASSERT_EQ(next.status, 200) << next.body;
  std::string current = next.json()["refresh_token"];
  EXPECT_NE(current, first["refresh_token"]);
  EXPECT_EQ(ownProfile(next.json()).status, 200);
  // Two requests racing with the same token both succeed, with the same new token.
  EXPECT_EQ(refresh(first["refresh_token"]).json()["refresh_token"], current);

  http.config({{"refresh_reuse_interval", 0}});
  auto replay = refresh(first["refresh_token"]);
  EXPECT_EQ(replay.status, 400);
  EXPECT_EQ(replay.json()["code"], "refresh_token_already_used");
  EXPECT_EQ(refresh(current).json()["code"], "refresh_token_not_found");
  EXPECT_EQ(refresh("never-issued").json()["code"], "refresh_token_not_found");
}

TEST_F(ServerGateway, AnExpiredAccessTokenIsRefusedUntilRefreshed) {
  http.config({{"access_token_ttl", 0}});
  Json session = http.signIn(uniqueEmail("expired"));
  auto refused = ownProfile(session);
  EXPECT_EQ(refused.status, 401);
  EXPECT_EQ(refused.json()["code"], "PGRST303");
  EXPECT_EQ(auth("GET", "/user", nullptr, session["access_token"]).status, 403);

  http.config({{"access_token_ttl", 3600}});
  auto renewed = refresh(session["refresh_token"]);
  ASSERT_EQ(renewed.status, 200);
  EXPECT_EQ(ownProfile(renewed.json()).status, 200);
}

TEST_F(ServerGateway, GlobalSignOutEndsEverySessionOfTheUser) {
  std::string email = uniqueEmail("signout");
  Json laptop = http.signIn(email);
  Json desktop = http.signIn(email);
  EXPECT_EQ(auth("POST", "/logout?scope=global", nullptr, laptop["access_token"]).status, 204);
  for (const Json& s : {laptop, desktop}) EXPECT_EQ(refresh(s["refresh_token"]).json()["code"], "refresh_token_not_found");
  EXPECT_EQ(auth("GET", "/user", nullptr, desktop["access_token"]).json()["code"], "session_not_found");
  EXPECT_EQ(auth("POST", "/logout?scope=global").status, 401);
}

TEST_F(ServerGateway, TheAppsQueriesAndProceduresWorkAsTheCaller) {
  Json me = http.signIn(uniqueEmail("me"));
  Json pal = http.signIn(uniqueEmail("pal"));
  std::string myId = me["user"]["id"], palId = pal["user"]["id"];
  auto rpc = [&](const Json& who, const std::string& fn, const Json& args) {
    return http.send("POST", "/rest/v1/rpc/" + fn, args.dump(), who["access_token"]);
  };

  auto palCode = ownProfile(pal).json()["friend_code"];
  auto redeemed = rpc(me, "redeem_friend_code", {{"code", palCode}});
  ASSERT_EQ(redeemed.status, 200) << redeemed.body;
  EXPECT_EQ(redeemed.json()[0]["friend_id"], palId);
  auto refused = rpc(me, "redeem_friend_code", {{"code", "NOSUCH99"}});
  EXPECT_EQ(refused.status, 400);
  EXPECT_EQ(refused.json()["code"], "P0001");

  // Q5: upsert of my pets; the first write inserts (201), the second merges (200).
  Json pets = Json::array();
  for (const char* id : {"A0000000-0000-4000-8000-000000000001", "A0000000-0000-4000-8000-000000000002"})
    pets.push_back({{"id", id}, {"name", "Pip"}, {"design", {{"base", "cat"}}}, {"owner_id", upper(myId)}, {"schema_version", 1}});
  const std::vector<std::string> upsert = {"Prefer: resolution=merge-duplicates,return=representation"};
  EXPECT_EQ(http.send("POST", "/rest/v1/pets", pets.dump(), me["access_token"], upsert).status, 201);
  auto merged = http.send("POST", "/rest/v1/pets", pets[0].dump(), me["access_token"], upsert);
  EXPECT_EQ(merged.status, 200);
  EXPECT_EQ(merged.json().size(), 1u);
  EXPECT_EQ(http.send("POST", "/rest/v1/pets", pets[0].dump(), pal["access_token"], upsert).status, 403);

  // Q4 as the friend; Q6 by the friend deletes nothing.
  const std::string friendsPets = "/rest/v1/pets?select=*&owner_id=neq." + upper(palId) + "&order=id.asc.nullslast&limit=60";
  EXPECT_EQ(http.send("GET", friendsPets, "", pal["access_token"]).json().size(), 2u);
  auto foreignDelete = http.send("DELETE", "/rest/v1/pets?id=eq." + std::string(pets[0]["id"]), "", pal["access_token"],
                                 {"Prefer: return=representation"});
  EXPECT_EQ(foreignDelete.json(), Json::array());

  // Q7 with lower-case ids removes the friendship whichever way round it is stored.
  std::string orFilter = "(and(user_a.eq." + palId + ",user_b.eq." + myId + "),and(user_a.eq." + myId + ",user_b.eq." + palId + "))";
  char* escaped = curl_easy_escape(nullptr, orFilter.c_str(), 0);
  auto unfriended = http.send("DELETE", std::string("/rest/v1/friendships?or=") + escaped, "", pal["access_token"],
                              {"Prefer: return=representation"});
  curl_free(escaped);
  EXPECT_EQ(unfriended.json().size(), 1u) << unfriended.body;
  EXPECT_EQ(http.send("GET", friendsPets, "", pal["access_token"]).json(), Json::array());

  // Q9: everything of mine goes, and the session cannot be refreshed any more.
  EXPECT_EQ(rpc(me, "delete_account", Json::object()).status, 204);
  EXPECT_EQ(refresh(me["refresh_token"]).json()["code"], "refresh_token_not_found");
  auto gone = ownProfile(me);
  EXPECT_EQ(gone.status, 406);
  EXPECT_EQ(gone.json()["code"], "PGRST116");
}

TEST_F(ServerGateway, MalformedOrForbiddenQueriesGetPostgrestErrors) {
  Json me = http.signIn(uniqueEmail("errors"));
  struct Case {
    std::string path;
    long status;
    std::string code;
  };
  const Case cases[] = {
      {"/rest/v1/pets?id=like", 400, "PGRST100"},
      {"/rest/v1/pets?id=approx.1", 400, "PGRST100"},
      {"/rest/v1/friendships?or=(user_a.eq.1", 400, "PGRST100"},
      {"/rest/v1/pets?order=id.sideways", 400, "PGRST100"},
      {"/rest/v1/pets?select=id;drop", 400, "PGRST100"},
      {"/rest/v1/pets?limit=ten", 400, "PGRST100"},
      {"/rest/v1/pets?id=eq.not-a-uuid", 400, "22P02"},
      {"/rest/v1/no_such_table", 404, "42P01"},
  };
  for (const auto& c : cases) {
    auto r = http.send("GET", c.path, "", me["access_token"]);
    EXPECT_EQ(r.status, c.status) << c.path << " " << r.body;
    EXPECT_EQ(r.json()["code"], c.code) << c.path;
  }
  EXPECT_EQ(http.send("GET", "/rest/v1/profiles?select=*").status, 401);
  EXPECT_EQ(http.send("POST", "/rest/v1/rpc/no_such_function", "{}", me["access_token"]).json()["code"], "PGRST202");
}

}  // namespace
}  // namespace pawlane::servertest
