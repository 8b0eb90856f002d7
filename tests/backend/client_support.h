// The app's own backend client against the local backend: one client per simulated
// computer, each with its own session folder.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "server_support.h"
#include "social/backend_client.h"
#include "social/cloud_pet_id.h"
#include "social/cloud_queries.h"
#include "social/curl_transport.h"
#include "social/file_auth_storage.h"
#include "social/uuid_text.h"

namespace pawlane::clienttest {

using servertest::Db;
using servertest::Http;
using servertest::Json;
using servertest::uniqueEmail;

constexpr auto NO_WAIT = std::chrono::milliseconds(0);
constexpr auto EVENT_WAIT = std::chrono::seconds(5);

// A session folder of its own, removed at the end.
class SessionDir {
public:
  SessionDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pawlane-client-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~SessionDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::filesystem::path path() const { return path_ / "Pawlane"; }

private:
  std::filesystem::path path_;
};

class ClientBackendTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(http.base().empty()) << "no backend in PAWLANE_BACKEND_ENV";
    ASSERT_TRUE(db.connected());
  }
  void TearDown() override { http.config({{"access_token_ttl", 3600}, {"stall_seconds", 0}}); }

  // A client as the app builds it at launch, with its session files in `dir`.
  std::unique_ptr<BackendClient> makeClient(const SessionDir& dir) {
    BackendClient::Options options;
    options.autoRefresh = false;
    return std::make_unique<BackendClient>(SocialConfig{http.base(), http.key()},
                                           std::make_shared<FileAuthStorage>(dir.path()),
                                           std::make_shared<CurlTransport>(), systemClock(), options);
  }

  // Signs in by e-mail code and returns the user's id (upper case); consumes the events.
  std::string signIn(BackendClient& client, const std::string& email) {
    drain(client);
    EXPECT_TRUE(client.sendEmailCode(email, "pawlane://auth-callback"));
    auto session = client.verifyEmailCode(email, http.mailbox(email)["code"].get<std::string>());
    EXPECT_TRUE(session) << (session ? "" : session.error().description);
    drain(client);
    return session ? session->userId : "";
  }

  void drain(BackendClient& client) {
    while (client.nextAuthChange(NO_WAIT)) {
    }
  }

  std::string friendCodeOf(BackendClient& client, const std::string& uid) {
    auto profile = fetchOwnProfile(client, uid);
    EXPECT_TRUE(profile);
    return profile ? profile->friendCode : "";
  }

  CloudPet pet(const std::string& owner, const std::string& localId, const std::string& name) {
    CloudPet p;
    p.id = cloudPetId(localId, owner);
    p.ownerId = owner;
    p.name = name;
    p.design.id = localId;
    p.design.name = name;
    return p;
  }

  // The first column of a query as sorted upper-case ids.
  std::vector<std::string> ids(const std::string& query, const std::vector<std::string>& params = {}) {
    auto result = db.exec(query, params);
    EXPECT_TRUE(result.ok) << result.message;
    auto column = result.column();
    for (auto& v : column) v = upperUuid(v);
    std::sort(column.begin(), column.end());
    return column;
  }

  Http http;
  Db db;
};

}  // namespace pawlane::clienttest
