#pragma once
// The client of the backend project: its auth service (sessions, e-mail codes
// and links, PKCE, refresh, sign-out) and its database through PostgREST.
// Every call blocks and belongs on a background thread; the object is safe to
// use from several threads at once. Tokens, codes and verifiers are never logged.
#include <nlohmann/json_fwd.hpp>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "social/auth_storage.h"
#include "social/http_transport.h"
#include "social/rest_query.h"
#include "social/result.h"
#include "social/session.h"
#include "social/social_config.h"

namespace pawlane {

using Json = nlohmann::json;

class BackendClient {
public:
    struct Options {
        double refreshMargin = 90;  // renew the access token when fewer seconds remain
        bool autoRefresh = true;    // a background thread renews it even when idle
        std::chrono::milliseconds autoRefreshPeriod{30'000};
    };

    BackendClient(SocialConfig config, std::shared_ptr<AuthStorage> storage,
                  std::shared_ptr<HttpTransport> transport, const Clock& clock, Options options);
    BackendClient(SocialConfig config, std::shared_ptr<AuthStorage> storage,
                  std::shared_ptr<HttpTransport> transport);
    ~BackendClient();
    BackendClient(const BackendClient&) = delete;
    BackendClient& operator=(const BackendClient&) = delete;

    const SocialConfig& config() const { return config_; }
    // "sb-<first label of the host>-auth-token"; the PKCE verifier lives under it + "-code-verifier".
    const std::string& storageKey() const { return storageKey_; }
    std::string verifierKey() const { return storageKey_ + "-code-verifier"; }

    // The endless stream of auth changes, one at a time. The first change is always
    // the initial session: the stored one (refreshed first if it had expired) or none.
    AuthChange nextAuthChange();
    std::optional<AuthChange> nextAuthChange(std::chrono::milliseconds timeout);
    std::optional<Session> session();

    // Mails a sign-in link (and a code) to `email`; the link comes back through
    // sessionFromUrl. Creates the account if the address has none.
    Status sendEmailCode(const std::string& email, const std::string& redirectTo);
    Result<Session> verifyEmailCode(const std::string& email, const std::string& code);
    // The provider's sign-in page for the browser; the redirect comes back through sessionFromUrl.
    Result<std::string> oauthUrl(const std::string& provider, const std::string& redirectTo);
    // Opens oauthUrl with `openUrl` and waits until a callback establishes a session,
    // reports an error, or `timeout` passes.
    Result<Session> signInWithOAuth(const std::string& provider, const std::string& redirectTo,
                                    const std::function<bool(const std::string& url)>& openUrl,
                                    std::chrono::milliseconds timeout);
    // Completes a PKCE sign-in from a callback URL carrying ?code=… and the stored verifier.
    Result<Session> sessionFromUrl(const std::string& url);
    // Ends the session on the server for every device, then clears it here.
    Status signOut();
    // Renews the access token when it is about to expire; a no-op otherwise.
    Status refreshIfNeeded();

    // PostgREST. Results are the decoded JSON answer (null for an empty body).
    Result<Json> select(const std::string& table, const RestQuery& query);
    Result<Json> upsert(const std::string& table, const Json& objectOrArray);
    Result<Json> remove(const std::string& table, const RestQuery& filters);
    Result<Json> rpc(const std::string& function, const Json& params);

private:
    double nowUnix() const { return clock_.now() + kUnixTimeOf2001; }
    void ensureRestored();
    void restore();
    void emit(AuthEvent event, std::optional<Session> session);
    // With `replacing`, only while that session is still the current one.
    bool adopt(const Session& s, AuthEvent event, const Session* replacing = nullptr);
    void drop(const Session* replacing = nullptr);
    Result<Session> refreshWith(const Session& current);
    Result<std::string> bearer();
    HttpRequest authRequest(const std::string& method, const std::string& pathAndQuery, const Json* body,
                            const std::string& token) const;
    HttpRequest restRequest(const std::string& method, const std::string& pathAndQuery) const;
    Result<Json> restCall(HttpRequest request);
    // Renews the session when it is about to expire, or when `rejectedToken` is still current.
    Status refresh(const std::string* rejectedToken);
    Result<Json> exchange(const HttpRequest& request);
    Result<Session> sessionExchange(const HttpRequest& request);
    Result<std::string> newVerifierAndChallenge();
    void callbackOutcome(std::optional<SocialError> error);
    void runAutoRefresh();

    const SocialConfig config_;
    const std::string base_;
    const std::string storageKey_;
    std::shared_ptr<AuthStorage> storage_;
    std::shared_ptr<HttpTransport> transport_;
    const Clock& clock_;
    const Options options_;

    std::once_flag restoreOnce_;
    std::mutex refreshMutex_;  // one refresh at a time: refresh tokens work once
    std::mutex persistMutex_;  // the session in memory and in storage change together
    std::mutex mutex_;         // guards everything below
    std::optional<Session> session_;
    bool unannounced_ = false;  // kept at start without being announced (server unreachable)
    std::deque<AuthChange> events_;
    std::condition_variable eventsChanged_;
    unsigned callbackCount_ = 0;  // callbacks handled, for signInWithOAuth to wait on
    std::optional<SocialError> lastCallbackError_;
    std::condition_variable callbackChanged_;
    bool stopping_ = false;
    std::condition_variable stopChanged_;
    std::thread ticker_;
};

// A readable error from an error answer of the auth service or PostgREST.
SocialError errorFromResponse(const HttpResponse& response);

}  // namespace pawlane
