#include <atomic>
#include <future>
#include <thread>

#include "client_fixture.h"
#include "social/pkce.h"

using namespace pawlane;
using namespace pawlane::test;
using nlohmann::json;

class AuthClient : public ClientTest {
protected:
    json newSession(const std::string& access, const std::string& refresh) {
        return sessionJson(access, refresh, unixNow(clock) + 3600);
    }
    void expectAuthHeaders(const HttpRequest& r, const std::string& bearer) {
        EXPECT_EQ(r.header("apikey"), ANON);
        EXPECT_EQ(r.header("Authorization"), "Bearer " + bearer);
        EXPECT_EQ(r.header("X-Supabase-Api-Version"), "2024-01-01");
    }
    std::optional<Session> storedSession() {
        auto raw = storage->retrieve(SESSION_KEY);
        if (!raw) return std::nullopt;
        return sessionFromJson(json::parse(*raw), unixNow(clock));
    }
};

TEST_F(AuthClient, InitialSessionFromStorage) {
    struct Case {
        const char* name;
        std::optional<json> stored;
        std::optional<std::pair<int, std::string>> refreshAnswer;  // nothing: network failure
        bool refreshExpected;
        std::optional<std::string> announcedToken;
        bool keptInStorage;
    };
    const double now = unixNow(clock);
    const std::vector<Case> cases = {
        {"nothing stored", std::nullopt, {}, false, std::nullopt, false},
        {"unreadable bytes", json("garbage"), {}, false, std::nullopt, false},
        {"valid session", sessionJson("a", "r", now + 600), {}, false, "a", true},
        {"expired, refreshed", sessionJson("a", "r", now - 10), std::pair{200, sessionJson("a2", "r2", now + 3600).dump()},
         true, "a2", true},
        {"about to expire, refreshed", sessionJson("a", "r", now + 60), std::pair{200, sessionJson("a2", "r2", now + 3600).dump()},
         true, "a2", true},
        {"expired, refresh refused", sessionJson("a", "r", now - 10),
         std::pair{400, R"({"code":400,"error_code":"refresh_token_not_found","msg":"Invalid Refresh Token"})"}, true,
         std::nullopt, false},
        {"expired, server unreachable", sessionJson("a", "r", now - 10), std::nullopt, true, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storage = std::make_shared<MemoryAuthStorage>();
        transport = std::make_shared<RecordingTransport>();
        if (c.stored) storage->store(SESSION_KEY, c.stored->dump());
        if (c.refreshExpected) {
            if (c.refreshAnswer) transport->respond(c.refreshAnswer->first, c.refreshAnswer->second);
            else transport->failNext("Couldn't reach the server.");
        }
        start();
        auto first = nextChange();
        EXPECT_EQ(first.event, AuthEvent::initialSession);
        EXPECT_EQ(first.session ? std::optional(first.session->accessToken) : std::nullopt, c.announcedToken);
        if (first.session) {
            EXPECT_EQ(first.session->userId, UID_UPPER);
        }
        EXPECT_TRUE(noMoreChanges());
        ASSERT_EQ(transport->requests().size(), c.refreshExpected ? 1u : 0u);
        if (c.refreshExpected) {
            const auto r = transport->lastRequest();
            EXPECT_EQ(r.url, std::string(BASE) + "/auth/v1/token?grant_type=refresh_token");
            EXPECT_EQ(json::parse(r.body), (json{{"refresh_token", "r"}}));
            expectAuthHeaders(r, ANON);
        }
        EXPECT_EQ(storage->retrieve(SESSION_KEY).has_value(), c.keptInStorage);
        if (c.announcedToken) {
            EXPECT_EQ(storedSession()->accessToken, *c.announcedToken);
        }
    }
}

TEST_F(AuthClient, SessionKeptWhileOfflineIsAnnouncedOnceRefreshed) {
    storage->store(SESSION_KEY, sessionJson("a", "r", unixNow(clock) - 10).dump());
    transport->failNext("offline");
    start();
    EXPECT_FALSE(nextChange().session);
    transport->respond(200, newSession("a2", "r2").dump());
    ASSERT_TRUE(client->refreshIfNeeded());
    auto change = nextChange();
    EXPECT_EQ(change.event, AuthEvent::signedIn);
    EXPECT_EQ(change.session->accessToken, "a2");
}

TEST_F(AuthClient, EmailCodeRequestCarriesPkceChallenge) {
    start();
    transport->respond(200, "{}");
    ASSERT_TRUE(client->sendEmailCode("ann@example.org", "pawlane://auth-callback"));
    const auto r = transport->lastRequest();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.url, std::string(BASE) + "/auth/v1/otp?redirect_to=pawlane%3A%2F%2Fauth-callback");
    expectAuthHeaders(r, ANON);
    EXPECT_EQ(r.header("Content-Type"), "application/json");

    const auto verifier = storage->retrieve(VERIFIER_KEY);
    ASSERT_TRUE(verifier);
    EXPECT_GE(verifier->size(), 43u);
    EXPECT_LE(verifier->size(), 128u);
    EXPECT_EQ(verifier->find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~"),
              std::string::npos);
    const json expected{{"email", "ann@example.org"},
                        {"data", json::object()},
                        {"create_user", true},
                        {"gotrue_meta_security", {{"captcha_token", nullptr}}},
                        {"code_challenge", codeChallenge(*verifier)},
                        {"code_challenge_method", "s256"}};
    EXPECT_EQ(json::parse(r.body), expected);
}

TEST(Pkce, ChallengeIsUnpaddedBase64UrlOfSha256) {
    // The example pair of the PKCE standard.
    EXPECT_EQ(codeChallenge("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"), "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
    EXPECT_NE(newCodeVerifier(), newCodeVerifier());
}

TEST_F(AuthClient, VerifyCodeSignsInOrFailsWithTheServersMessage) {
    start();
    nextChange();
    transport->respond(403, R"({"code":"otp_expired","message":"Token has expired or is invalid"})");
    auto failed = client->verifyEmailCode("ann@example.org", "123456");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().description, "Token has expired or is invalid");
    EXPECT_EQ(failed.error().code, "otp_expired");
    EXPECT_TRUE(noMoreChanges());
    EXPECT_FALSE(storage->retrieve(SESSION_KEY));

    transport->respond(200, newSession("a", "r").dump());
    auto session = client->verifyEmailCode("ann@example.org", "654321");
    ASSERT_TRUE(session);
    const auto r = transport->lastRequest();
    EXPECT_EQ(r.url, std::string(BASE) + "/auth/v1/verify");
    EXPECT_EQ(json::parse(r.body), (json{{"type", "email"}, {"email", "ann@example.org"}, {"token", "654321"}}));
    expectAuthHeaders(r, ANON);
    auto change = nextChange();
    EXPECT_EQ(change.event, AuthEvent::signedIn);
    EXPECT_EQ(change.session->userId, UID_UPPER);
    EXPECT_EQ(storedSession()->refreshToken, "r");
}

TEST_F(AuthClient, CallbackUrlCompletesPkceExchange) {
    start();
    nextChange();
    transport->respond(200, "{}");
    ASSERT_TRUE(client->sendEmailCode("ann@example.org", "pawlane://auth-callback"));
    const auto verifier = *storage->retrieve(VERIFIER_KEY);

    transport->respond(200, newSession("a", "r").dump());
    ASSERT_TRUE(client->sessionFromUrl("pawlane://auth-callback?code=abc%2B1&state=x"));
    const auto r = transport->lastRequest();
    EXPECT_EQ(r.url, std::string(BASE) + "/auth/v1/token?grant_type=pkce");
    EXPECT_EQ(json::parse(r.body), (json{{"auth_code", "abc+1"}, {"code_verifier", verifier}}));
    EXPECT_EQ(nextChange().event, AuthEvent::signedIn);
    EXPECT_FALSE(storage->retrieve(VERIFIER_KEY));  // used once
    EXPECT_EQ(storedSession()->accessToken, "a");
}

TEST_F(AuthClient, BadCallbacksFailWithoutAnExchange) {
    start();
    nextChange();
    storage->store(VERIFIER_KEY, "v");
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"pawlane://auth-callback", "That sign-in link isn't valid."},
        {"pawlane://auth-callback?code=", "That sign-in link isn't valid."},
        {"not a url at all", "That sign-in link isn't valid."},
        {"pawlane://auth-callback?error=access_denied&error_code=otp_expired&error_description=Email+link+is+invalid+or+has+expired",
         "Email link is invalid or has expired"},
        {"pawlane://auth-callback#error=server_error", "server_error"},
    };
    for (const auto& [url, description] : cases) {
        SCOPED_TRACE(url);
        auto result = client->sessionFromUrl(url);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().description, description);
    }
    storage->remove(VERIFIER_KEY);
    EXPECT_FALSE(client->sessionFromUrl("pawlane://auth-callback?code=abc"));
    EXPECT_TRUE(transport->requests().empty());
    EXPECT_TRUE(noMoreChanges());

    transport->respond(404, R"({"code":404,"error_code":"flow_state_not_found","msg":"invalid flow state, no valid flow state found"})");
    storage->store(VERIFIER_KEY, "v");
    auto refused = client->sessionFromUrl("pawlane://auth-callback?code=abc");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().description, "invalid flow state, no valid flow state found");
    EXPECT_TRUE(storage->retrieve(VERIFIER_KEY));  // a newer link may still need it
}

TEST_F(AuthClient, OAuthOpensTheAuthorizePageAndWaitsForTheCallback) {
    start();
    nextChange();
    std::string opened;
    std::thread browser;
    transport->respond(200, newSession("a", "r").dump());
    auto session = client->signInWithOAuth("google", "pawlane://auth-callback",
                                           [&](const std::string& url) {
                                               opened = url;
                                               browser = std::thread([this] {
                                                   client->sessionFromUrl("pawlane://auth-callback?code=c");
                                               });
                                               return true;
                                           },
                                           std::chrono::seconds(10));
    browser.join();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->accessToken, "a");
    EXPECT_EQ(opened.rfind(std::string(BASE) + "/auth/v1/authorize?provider=google&redirect_to=pawlane%3A%2F%2Fauth-callback"
                                               "&code_challenge=", 0),
              0u);
    EXPECT_NE(opened.find("&code_challenge_method=s256"), std::string::npos);

    auto timedOut = client->signInWithOAuth("google", "pawlane://auth-callback", [](const std::string&) { return true; },
                                            std::chrono::milliseconds(10));
    ASSERT_FALSE(timedOut);
    EXPECT_EQ(timedOut.error().kind, SocialError::Kind::auth);
}

TEST_F(AuthClient, TokenIsRefreshedBeforeItExpires) {
    startSignedIn();
    clock.advance(3600 - 60);  // a minute left
    transport->respond(200, newSession("access-2", "refresh-2").dump());
    transport->respond(200, "[]");
    client->select("profiles", RestQuery{});
    const auto requests = transport->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(json::parse(requests[0].body), (json{{"refresh_token", "refresh-1"}}));
    EXPECT_EQ(requests[1].header("Authorization"), "Bearer access-2");
    EXPECT_EQ(nextChange().event, AuthEvent::tokenRefreshed);
    EXPECT_EQ(storedSession()->refreshToken, "refresh-2");

    // Fresh again: no further refresh.
    client->select("profiles", RestQuery{});
    EXPECT_EQ(transport->requests().size(), 3u);
}

TEST_F(AuthClient, RefusedRefreshSignsOut) {
    startSignedIn();
    clock.advance(4000);
    transport->respond(400, R"({"code":400,"error_code":"refresh_token_already_used","msg":"Invalid Refresh Token: Already Used"})");
    EXPECT_FALSE(client->refreshIfNeeded());
    EXPECT_EQ(nextChange().event, AuthEvent::signedOut);
    EXPECT_FALSE(storage->retrieve(SESSION_KEY));
    EXPECT_FALSE(client->session());
}

TEST_F(AuthClient, SignOutIsGlobalAndClearsTheFiles) {
    struct Case {
        const char* name;
        std::optional<int> status;  // nothing: network failure
        bool cleared;
    };
    const std::vector<Case> cases = {
        {"accepted", 204, true},
        {"session unknown to the server", 404, true},
        {"token rejected", 401, true},
        {"server error", 500, false},
        {"offline", std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storage = std::make_shared<MemoryAuthStorage>();
        transport = std::make_shared<RecordingTransport>();
        startSignedIn();
        storage->store(VERIFIER_KEY, "v");
        if (c.status) transport->respond(*c.status, "");
        else transport->failNext("offline");
        EXPECT_EQ(client->signOut().ok(), c.cleared);
        const auto r = transport->lastRequest();
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.url, std::string(BASE) + "/auth/v1/logout?scope=global");
        EXPECT_EQ(r.body, "");
        expectAuthHeaders(r, "access-1");
        EXPECT_EQ(storage->retrieve(SESSION_KEY).has_value(), !c.cleared);
        EXPECT_EQ(client->session().has_value(), !c.cleared);
        if (c.cleared) {
            EXPECT_FALSE(storage->retrieve(VERIFIER_KEY));
            EXPECT_EQ(nextChange().event, AuthEvent::signedOut);
        }
        EXPECT_TRUE(noMoreChanges());
    }
}

TEST_F(AuthClient, TokenRejectedAsExpiredIsRenewedOnceAndTheCallRetried) {
    startSignedIn();  // the client believes the token has an hour left
    const char* const EXPIRED = R"({"code":"PGRST303","details":null,"hint":null,"message":"JWT expired"})";
    transport->respond(401, EXPIRED);
    transport->respond(200, newSession("access-2", "refresh-2").dump());
    transport->respond(200, "[]");
    ASSERT_TRUE(client->select("pets", RestQuery{}));
    auto requests = transport->requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].header("Authorization"), "Bearer access-1");
    EXPECT_EQ(requests[1].url, std::string(BASE) + "/auth/v1/token?grant_type=refresh_token");
    EXPECT_EQ(requests[2].header("Authorization"), "Bearer access-2");
    EXPECT_EQ(requests[2].url, requests[0].url);
    EXPECT_EQ(nextChange().event, AuthEvent::tokenRefreshed);

    // Rejected again after the renewal: no loop, the error comes back.
    transport->clear();
    transport->respond(401, EXPIRED);
    transport->respond(200, newSession("access-3", "refresh-3").dump());
    transport->respond(401, EXPIRED);
    auto failed = client->select("pets", RestQuery{});
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().description, "JWT expired");
    EXPECT_EQ(transport->requests().size(), 3u);
}

TEST_F(AuthClient, IdleSessionIsRenewedInTheBackground) {
    // The ticker thread reads the clock while this thread moves it.
    struct SharedClock : Clock {
        std::atomic<double> t{800'000'000.0};
        double now() const override { return t.load(); }
    } shared;
    storage->store(SESSION_KEY, sessionJson("access-1", "refresh-1", shared.now() + kUnixTimeOf2001 + 3600).dump());
    BackendClient::Options options;
    options.autoRefreshPeriod = std::chrono::milliseconds(2);
    auto ticking = std::make_unique<BackendClient>(SocialConfig{BASE, ANON}, storage, transport, shared, options);
    ASSERT_EQ(ticking->nextAuthChange(std::chrono::seconds(5))->event, AuthEvent::initialSession);
    EXPECT_FALSE(ticking->nextAuthChange(std::chrono::milliseconds(50)));  // nothing due yet
    EXPECT_TRUE(transport->requests().empty());

    transport->respond(200, sessionJson("access-2", "refresh-2", shared.now() + kUnixTimeOf2001 + 7200).dump());
    shared.t = shared.now() + 3600 - 30;
    auto change = ticking->nextAuthChange(std::chrono::seconds(5));
    ASSERT_TRUE(change);
    EXPECT_EQ(change->event, AuthEvent::tokenRefreshed);
    EXPECT_EQ(change->session->accessToken, "access-2");
    ticking.reset();  // stops the ticker
    EXPECT_EQ(transport->requests().size(), 1u);
}

TEST_F(AuthClient, ALateRefreshAnswerDoesNotUndoASignInMadeMeanwhile) {
    startSignedIn();
    clock.advance(3600 - 30);
    std::promise<void> refreshArrived, releaseRefresh;
    auto release = releaseRefresh.get_future().share();
    transport->setFallback([&](const HttpRequest& r) -> Result<HttpResponse> {
        if (r.url.find("grant_type=refresh_token") != std::string::npos) {
            refreshArrived.set_value();
            release.wait();
            return HttpResponse{200, {}, newSession("stale-refresh", "r-old").dump()};
        }
        auto fresh = sessionJson("signed-in", "r-new", unixNow(clock) + 3600);
        fresh["user"]["id"] = "dddddddd-1111-4222-8333-444444444444";
        return HttpResponse{200, {}, fresh.dump()};
    });
    std::thread ticker([&] { client->refreshIfNeeded(); });
    refreshArrived.get_future().wait();
    ASSERT_TRUE(client->verifyEmailCode("dee@example.org", "123456"));
    releaseRefresh.set_value();
    ticker.join();

    EXPECT_EQ(client->session()->accessToken, "signed-in");
    EXPECT_EQ(storedSession()->accessToken, "signed-in");
    EXPECT_EQ(nextChange().event, AuthEvent::signedIn);
    EXPECT_TRUE(noMoreChanges());
}
