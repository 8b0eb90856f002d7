// Signing in, keeping and ending a session with the app's client against the local backend.
#include "client_support.h"

#include <thread>

namespace pawlane::clienttest {
namespace {

class ClientAuth : public ClientBackendTest {};

TEST_F(ClientAuth, SignInByEmailCode) {
  SessionDir dir;
  auto client = makeClient(dir);
  auto initial = client->nextAuthChange(EVENT_WAIT);
  ASSERT_TRUE(initial);
  EXPECT_EQ(initial->event, AuthEvent::initialSession);
  EXPECT_FALSE(initial->session);

  const std::string email = uniqueEmail("code");
  ASSERT_TRUE(client->sendEmailCode(email, "pawlane://auth-callback"));
  auto wrong = client->verifyEmailCode(email, "000000x");
  ASSERT_FALSE(wrong);
  EXPECT_FALSE(wrong.error().description.empty());
  EXPECT_FALSE(client->nextAuthChange(NO_WAIT));

  auto session = client->verifyEmailCode(email, http.mailbox(email)["code"].get<std::string>());
  ASSERT_TRUE(session) << session.error().description;
  auto change = client->nextAuthChange(NO_WAIT);
  ASSERT_TRUE(change);
  EXPECT_EQ(change->event, AuthEvent::signedIn);
  EXPECT_EQ(change->session->userId, session->userId);

  auto profile = fetchOwnProfile(*client, session->userId);
  ASSERT_TRUE(profile) << profile.error().description;
  EXPECT_EQ(profile->displayName, email.substr(0, email.find('@')));
}

TEST_F(ClientAuth, SignInByLinkCompletesThePkceExchange) {
  SessionDir dir;
  auto client = makeClient(dir);
  const std::string email = uniqueEmail("link");
  ASSERT_TRUE(client->sendEmailCode(email, "pawlane://auth-callback"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / (client->storageKey() + "-code-verifier")));

  // The browser opens the link; the service redirects to the app with a code.
  auto opened = http.send("GET", http.mailbox(email)["link"].get<std::string>(), "", "", {}, false);
  ASSERT_EQ(opened.status, 303);
  const std::string callback = opened.header("location");
  ASSERT_EQ(callback.rfind("pawlane://auth-callback?", 0), 0u) << callback;

  drain(*client);
  auto session = client->sessionFromUrl(callback);
  ASSERT_TRUE(session) << session.error().description;
  auto change = client->nextAuthChange(NO_WAIT);
  ASSERT_TRUE(change);
  EXPECT_EQ(change->event, AuthEvent::signedIn);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / (client->storageKey() + "-code-verifier")));
  EXPECT_TRUE(fetchOwnProfile(*client, session->userId));

  // A code works once.
  EXPECT_FALSE(client->sessionFromUrl(callback));
}

TEST_F(ClientAuth, OAuthSignInWaitsForTheRedirect) {
  SessionDir dir;
  auto client = makeClient(dir);
  drain(*client);
  std::thread browser;
  auto session = client->signInWithOAuth(
      "google", "pawlane://auth-callback",
      [&](const std::string& url) {
        browser = std::thread([this, url, &client] {
          auto redirect = http.send("GET", url, "", "", {}, false);
          client->sessionFromUrl(redirect.header("location"));
        });
        return true;
      },
      std::chrono::seconds(20));
  browser.join();
  ASSERT_TRUE(session) << session.error().description;
  auto profile = fetchOwnProfile(*client, session->userId);
  ASSERT_TRUE(profile);
  EXPECT_EQ(profile->displayName, "Google Tester");
}

TEST_F(ClientAuth, SessionSurvivesARestartAndAnExpiredTokenIsRefreshedFirst) {
  SessionDir dir;
  std::string uid;
  std::string firstToken;
  {
    auto client = makeClient(dir);
    uid = signIn(*client, uniqueEmail("restart"));
    firstToken = client->session()->accessToken;
  }
  const auto file = dir.path() / "sb-127-auth-token";
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A fresh session comes back as it was.
  {
    auto client = makeClient(dir);
    auto initial = client->nextAuthChange(EVENT_WAIT);
    ASSERT_TRUE(initial && initial->session);
    EXPECT_EQ(initial->event, AuthEvent::initialSession);
    EXPECT_EQ(initial->session->userId, uid);
    EXPECT_EQ(initial->session->accessToken, firstToken);
  }

  // Tokens that expire within seconds: the next start refreshes before announcing.
  http.config({{"access_token_ttl", 2}});
  std::string shortToken;
  {
    auto client = makeClient(dir);
    ASSERT_FALSE(signIn(*client, uniqueEmail("short")).empty());
    shortToken = client->session()->accessToken;
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));
  http.config({{"access_token_ttl", 3600}});
  auto client = makeClient(dir);
  auto initial = client->nextAuthChange(EVENT_WAIT);
  ASSERT_TRUE(initial && initial->session);
  EXPECT_NE(initial->session->accessToken, shortToken);
  auto profile = fetchOwnProfile(*client, initial->session->userId);
  EXPECT_TRUE(profile) << profile.error().description;
}

TEST_F(ClientAuth, SignOutEndsTheSessionEverywhereAndClearsTheFiles) {
  SessionDir dir;
  auto client = makeClient(dir);
  const std::string uid = signIn(*client, uniqueEmail("signout"));
  const std::string refreshToken = client->session()->refreshToken;
  ASSERT_TRUE(std::filesystem::exists(dir.path() / "sb-127-auth-token"));

  ASSERT_TRUE(client->signOut());
  auto change = client->nextAuthChange(NO_WAIT);
  ASSERT_TRUE(change);
  EXPECT_EQ(change->event, AuthEvent::signedOut);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_FALSE(client->session());
  // Signed out, the own profile is no longer visible, and the refresh token is dead.
  EXPECT_FALSE(fetchOwnProfile(*client, uid));
  auto refresh = http.send("POST", "/auth/v1/token?grant_type=refresh_token",
                           Json{{"refresh_token", refreshToken}}.dump());
  EXPECT_GE(refresh.status, 400);

  // A restart finds nothing to restore.
  auto restarted = makeClient(dir);
  auto initial = restarted->nextAuthChange(EVENT_WAIT);
  ASSERT_TRUE(initial);
  EXPECT_FALSE(initial->session);
}

}  // namespace
}  // namespace pawlane::clienttest
