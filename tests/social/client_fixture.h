#pragma once
// A backend client wired to a recording transport, in-memory session storage
// and a manual clock, with helpers for session answers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>

#include "platform/headless/manual_clock.h"
#include "social/backend_client.h"
#include "social/recording_transport.h"

namespace pawlane::test {

constexpr const char* BASE = "http://127.0.0.1:54321";
constexpr const char* ANON = "anon-key";
constexpr const char* SESSION_KEY = "sb-127-auth-token";
constexpr const char* VERIFIER_KEY = "sb-127-auth-token-code-verifier";
constexpr const char* UID = "aaaaaaaa-1111-4222-8333-444444444444";
constexpr const char* UID_UPPER = "AAAAAAAA-1111-4222-8333-444444444444";

inline double unixNow(const ManualClock& clock) { return clock.now() + kUnixTimeOf2001; }

inline nlohmann::json sessionJson(const std::string& access, const std::string& refresh, double expiresAt) {
    return {{"access_token", access}, {"token_type", "bearer"}, {"expires_in", 3600},
            {"expires_at", expiresAt}, {"refresh_token", refresh},
            {"user", {{"id", UID}, {"email", "ann@example.org"}}}};
}

class ClientTest : public ::testing::Test {
protected:
    ManualClock clock{800'000'000.0};
    std::shared_ptr<RecordingTransport> transport = std::make_shared<RecordingTransport>();
    std::shared_ptr<MemoryAuthStorage> storage = std::make_shared<MemoryAuthStorage>();
    std::unique_ptr<BackendClient> client;

    void start() {
        BackendClient::Options options;
        options.autoRefresh = false;
        client = std::make_unique<BackendClient>(SocialConfig{std::string(BASE) + "/", ANON}, storage, transport,
                                                 clock, options);
    }
    // Starts with a stored session valid for an hour and consumes the initial event.
    void startSignedIn() {
        storage->store(SESSION_KEY, sessionJson("access-1", "refresh-1", unixNow(clock) + 3600).dump());
        start();
        ASSERT_TRUE(client->nextAuthChange(std::chrono::milliseconds(0)));
        transport->clear();
    }
    AuthChange nextChange() {
        auto change = client->nextAuthChange(std::chrono::milliseconds(0));
        EXPECT_TRUE(change);
        return change ? *change : AuthChange{AuthEvent::userUpdated, std::nullopt};
    }
    bool noMoreChanges() { return !client->nextAuthChange(std::chrono::milliseconds(0)); }
};

}  // namespace pawlane::test
