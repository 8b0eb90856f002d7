// The service around the syncs: the auth listener, the serial chain, the
// profile retry, friends by code, sign-out, account deletion and sign-in links.
#include "sync_fixture.h"

namespace pawlane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> withPrefix(const std::vector<std::string>& calls, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

TEST_F(SyncTest, TwoRapidSyncsRunOneAfterTheOtherEachComplete) {
    startSignedIn();
    settings.setCustomPets({petDef("a", "A")});
    backend->hold("friendPets");
    auto first = social->enqueueSync();
    auto second = social->enqueueSync();
    queue.pumpUntil([&] { return backend->isHeld(); });
    queue.pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(backend->count("upsertPets"), 1) << "the second waits for the first";
    EXPECT_NE(first.wait_for(std::chrono::seconds(0)), std::future_status::ready);

    backend->release();
    queue.pumpUntilReady(second);
    EXPECT_THAT(backend->calls(), ElementsAre("upsertPets 1", "profiles", "friendships", HasSubstr("friendPets"),
                                              "upsertPets 1", "profiles", "friendships", HasSubstr("friendPets")));
}

TEST_F(SyncTest, SignInSetsUserAndProfileRebuildsTheMenuAndSyncsSignOutKeepsTheCaches) {
    backend->profiles[ANN] = {ANN, "Ann", "ANNCODE2"};
    backend->friendships.push_back({ME, ANN});
    startSignedOut();
    EXPECT_FALSE(social->isSignedIn());
    EXPECT_TRUE(backend->calls().empty()) << "no session, no request";

    backend->announce(AuthEvent::signedIn, std::string(ME));
    ASSERT_TRUE(queue.pumpUntil([&] { return !settings.friends().empty(); }));
    EXPECT_EQ(social->currentUserId(), std::optional<std::string>(ME));
    EXPECT_EQ(social->profile()->friendCode, "MECODE22");
    EXPECT_EQ(backend->calls().front(), std::string("profile ") + ME);

    const int builds = host.menuBuilds;
    backend->clearCalls();
    backend->announce(AuthEvent::signedOut, std::nullopt);
    ASSERT_TRUE(queue.pumpUntil([&] { return host.menuBuilds == builds + 1; }));
    EXPECT_FALSE(social->isSignedIn());
    EXPECT_FALSE(social->profile());
    EXPECT_EQ(settings.friends().size(), 1u);
    queue.pumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(backend->calls().empty());
}

TEST_F(SyncTest, IgnoredAuthEventsStartNothing) {
    startSignedOut();
    for (auto e : {AuthEvent::tokenRefreshed, AuthEvent::userUpdated}) backend->announce(e, std::string(ME));
    // A handled event behind them shows they have been taken.
    backend->announce(AuthEvent::userDeleted, std::nullopt);
    ASSERT_TRUE(queue.pumpUntil([&] { return host.menuBuilds == 2; }));
    queue.pumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(backend->calls().empty());
    EXPECT_FALSE(social->isSignedIn());
}

TEST_F(SyncTest, TheProfileIsAskedAgainOnceAfterEightTenthsOfASecond) {
    backend->fail("profile");
    backend->announce(AuthEvent::initialSession, std::string(ME));
    social->start(&host);
    ASSERT_TRUE(queue.pumpUntil([&] { return queue.delayedCount() == 1; }));
    EXPECT_EQ(backend->count("profile "), 1);

    backend->heal("profile");
    queue.advance(0.79);
    queue.pumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(backend->count("profile "), 1);
    queue.advance(0.01);
    ASSERT_TRUE(queue.pumpUntil([&] { return social->isSignedIn(); }));
    EXPECT_EQ(backend->count("profile "), 2);
    EXPECT_EQ(social->profile()->displayName, "Me");

    // Failing twice leaves the profile absent but the user signed in.
    backend->fail("profile");
    backend->announce(AuthEvent::signedIn, std::string(ME));
    ASSERT_TRUE(queue.pumpUntil([&] { return queue.delayedCount() == 1; }));
    queue.advance(0.8);
    ASSERT_TRUE(queue.pumpUntil([&] { return !social->profile(); }));
    EXPECT_EQ(backend->count("profile "), 4);
    EXPECT_TRUE(social->isSignedIn());
}

TEST_F(SyncTest, RedeemingACodeReturnsOnlyAfterTheSyncBroughtTheFriendIn) {
    backend->profiles[ANN] = {ANN, "Ann", "ANNCODE2"};
    backend->pets["11111111-0000-4000-8000-000000000000"] = cloudPet("11111111-0000-4000-8000-000000000000", ANN, "Pip");
    startSignedIn();
    ASSERT_TRUE(settings.friendPets().empty());

    Result<std::string> name = std::string();
    std::thread worker([&] { name = social->redeemFriendCode("ANNCODE2"); });
    queue.pumpUntil([&] { return host.friendRebuilds == 1; });
    worker.join();
    ASSERT_TRUE(name.ok());
    EXPECT_EQ(name.value(), "Ann");
    EXPECT_EQ(settings.friendPets().size(), 1u);
    EXPECT_EQ(backend->calls().front(), "redeem ANNCODE2");

    struct Case {
        std::optional<std::vector<RedeemRow>> answer;
        bool fails;
        std::string expected;
    };
    for (const auto& c : {Case{std::vector<RedeemRow>{}, false, "your friend"}, Case{std::nullopt, true, ""}}) {
        backend->redeemAnswer = c.answer;
        std::thread w([&] { name = social->redeemFriendCode("NOBODY22"); });
        queue.pumpUntil([&] { return backend->count("redeem NOBODY22") > 0 && (c.fails || backend->count("friendPets") > 1); });
        w.join();
        queue.pumpFor(std::chrono::milliseconds(10));
        EXPECT_EQ(name.ok(), !c.fails);
        if (name.ok()) {
            EXPECT_EQ(name.value(), c.expected);
        }
    }
}

TEST_F(SyncTest, RemovingAFriendDeletesBothWaysAndSyncsEvenWhenTheDeleteFails) {
    backend->profiles[ANN] = {ANN, "Ann", "ANNCODE2"};
    backend->friendships = {{ME, ANN}};
    startSignedIn();
    backend->fail("removeFriendship");
    std::thread worker([&] { social->removeFriend(ANN); });
    queue.pumpUntil([&] { return backend->count("friendPets") == 1; });
    worker.join();
    EXPECT_EQ(withPrefix(backend->calls(), "removeFriendship"),
              std::vector<std::string>{"removeFriendship " + std::string(ME) + " " + ANN});
    EXPECT_EQ(settings.friends().size(), 1u) << "still listed until a sync no longer finds it";

    backend->heal("removeFriendship");
    std::thread again([&] { social->removeFriend(ANN); });
    queue.pumpUntil([&] { return backend->count("friendPets") == 2; });
    again.join();
    EXPECT_TRUE(settings.friends().empty());
    EXPECT_EQ(host.friendRebuilds, 1);
}

TEST_F(SyncTest, DeletingTheAccountSignsOutOnlyAfterTheServerDeletedIt) {
    startSignedIn();
    backend->fail("deleteAccount");
    Status outcome;
    std::thread([&] { outcome = social->deleteAccount(); }).join();
    EXPECT_FALSE(outcome.ok());
    EXPECT_THAT(backend->calls(), ElementsAre("deleteAccount"));

    backend->heal("deleteAccount");
    backend->fail("signOut");  // a failed sign-out after the deletion is not reported
    std::thread([&] { outcome = social->deleteAccount(); }).join();
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(backend->count("signOut"), 1);
}

TEST_F(SyncTest, ASignInLinkHidesTheWindowOnlyWhenItsExchangeSucceeds) {
    startSignedIn();
    int hidden = 0;
    social->setOnLinkSignIn([&] { ++hidden; });
    backend->fail("sessionFromUrl pawlane://auth-callback?code=bad");
    social->handleCallback("pawlane://auth-callback?code=bad");
    social->handleCallback("pawlane://auth-callback?code=good");
    queue.pumpUntil([&] { return hidden == 1; });
    queue.pumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(backend->count("sessionFromUrl"), 2);
}

TEST_F(SyncTest, GoogleSignInOpensTheBrowserOnTheMainThread) {
    startSignedOut();
    Status outcome;
    std::thread worker([&] { outcome = social->signInWithGoogle(); });
    queue.pumpUntil([&] { return !browser.opened.empty(); });
    worker.join();
    EXPECT_TRUE(outcome.ok());
    EXPECT_THAT(browser.opened[0], HasSubstr("provider=google"));

    browser.works = false;
    std::thread failing([&] { outcome = social->signInWithGoogle(); });
    queue.pumpUntil([&] { return browser.opened.size() == 2; });
    failing.join();
    EXPECT_FALSE(outcome.ok());
}

TEST(SocialNotConfigured, NeverSignedInSendsNothingAndUserCallsFailWithTheSetUpMessage) {
    MemoryPreferencesStore store;
    Settings settings{store};
    PumpedQueue queue;
    FakeBrowser browser;
    CountingHost host;
    Social social(SocialDeps{nullptr, settings, queue, browser, std::make_shared<InlineTasks>()});
    social.start(&host);
    social.markPetDeleted("a");
    social.handleCallback("pawlane://auth-callback?code=x");
    queue.pumpUntilReady(social.enqueueSync());
    EXPECT_FALSE(social.isConfigured());
    EXPECT_FALSE(social.isSignedIn());
    EXPECT_EQ(host.menuBuilds, 0);

    const std::string message = "Social features aren't set up in this build.";
    EXPECT_EQ(social.redeemFriendCode("AB2CD3EF").error().description, message);
    EXPECT_EQ(social.signInWithGoogle().error().description, message);
    EXPECT_EQ(social.sendEmailCode("a@b.c").error().description, message);
    EXPECT_EQ(social.verifyEmailCode("a@b.c", "123456").error().description, message);
    EXPECT_EQ(social.deleteAccount().error().kind, SocialError::Kind::notConfigured);
    social.removeFriend(ANN);
    social.signOut();
    EXPECT_TRUE(browser.opened.empty());
    queue.close();
}

}  // namespace
}  // namespace pawlane::test
