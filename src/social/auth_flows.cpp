// The sign-in and sign-out calls of BackendClient.
#include <nlohmann/json.hpp>

#include "social/backend_client.h"
#include "social/pkce.h"
#include "social/url_text.h"

namespace pawlane {

namespace {

SocialError authError(std::string description) {
    return {SocialError::Kind::auth, std::move(description), 0, {}};
}

}  // namespace

Result<std::string> BackendClient::newVerifierAndChallenge() {
    auto verifier = newCodeVerifier();
    if (!verifier) return authError("Couldn't prepare a secure sign-in.");
    if (auto stored = storage_->store(verifierKey(), *verifier); !stored) return stored.error();
    return codeChallenge(*verifier);
}

Status BackendClient::sendEmailCode(const std::string& email, const std::string& redirectTo) {
    ensureRestored();
    auto challenge = newVerifierAndChallenge();
    if (!challenge) return challenge.error();
    const Json body{{"email", email},
                    {"data", Json::object()},
                    {"create_user", true},
                    {"gotrue_meta_security", Json::object({{"captcha_token", nullptr}})},
                    {"code_challenge", challenge.value()},
                    {"code_challenge_method", "s256"}};
    auto answer = exchange(authRequest("POST", "/otp?redirect_to=" + percentEncode(redirectTo), &body, config_.anonKey));
    if (!answer) return answer.error();
    return {};
}

Result<Session> BackendClient::verifyEmailCode(const std::string& email, const std::string& code) {
    ensureRestored();
    const Json body{{"type", "email"}, {"email", email}, {"token", code}};
    auto session = sessionExchange(authRequest("POST", "/verify", &body, config_.anonKey));
    if (!session) return session.error();
    adopt(session.value(), AuthEvent::signedIn);
    return session;
}

Result<std::string> BackendClient::oauthUrl(const std::string& provider, const std::string& redirectTo) {
    ensureRestored();
    auto challenge = newVerifierAndChallenge();
    if (!challenge) return challenge.error();
    return base_ + "/auth/v1/authorize?provider=" + percentEncode(provider) +
           "&redirect_to=" + percentEncode(redirectTo) + "&code_challenge=" + challenge.value() +
           "&code_challenge_method=s256";
}

Result<Session> BackendClient::signInWithOAuth(const std::string& provider, const std::string& redirectTo,
                                               const std::function<bool(const std::string&)>& openUrl,
                                               std::chrono::milliseconds timeout) {
    unsigned before = 0;
    {
        std::lock_guard lock(mutex_);
        before = callbackCount_;
    }
    auto url = oauthUrl(provider, redirectTo);
    if (!url) return url.error();
    if (!openUrl(url.value())) return authError("Couldn't open the web browser for signing in.");
    std::unique_lock lock(mutex_);
    if (!callbackChanged_.wait_for(lock, timeout, [&] { return callbackCount_ != before; }))
        return authError("Sign-in timed out. Please try again.");
    if (lastCallbackError_) return *lastCallbackError_;
    if (!session_) return authError("Sign-in didn't complete. Please try again.");
    return *session_;
}

void BackendClient::callbackOutcome(std::optional<SocialError> error) {
    {
        std::lock_guard lock(mutex_);
        ++callbackCount_;
        lastCallbackError_ = std::move(error);
    }
    callbackChanged_.notify_all();
}

Result<Session> BackendClient::sessionFromUrl(const std::string& url) {
    ensureRestored();
    auto fail = [this](SocialError e) -> Result<Session> {
        callbackOutcome(e);
        return e;
    };
    const auto parsed = parseUrl(url);
    if (!parsed) return fail(authError("That sign-in link isn't valid."));
    const auto& params = parsed->params;
    if (params.count("error") || params.count("error_description")) {
        auto it = params.find("error_description");
        auto e = authError(it != params.end() && !it->second.empty() ? it->second : params.at("error"));
        if (auto code = params.find("error_code"); code != params.end()) e.code = code->second;
        return fail(e);
    }
    const auto code = params.find("code");
    if (code == params.end() || code->second.empty()) return fail(authError("That sign-in link isn't valid."));
    const auto verifier = storage_->retrieve(verifierKey());
    if (!verifier || verifier->empty())
        return fail(authError("This sign-in link can't be used here. Please request a new one."));

    const Json body{{"auth_code", code->second}, {"code_verifier", *verifier}};
    auto session = sessionExchange(authRequest("POST", "/token?grant_type=pkce", &body, config_.anonKey));
    if (!session) return fail(session.error());
    storage_->remove(verifierKey());
    adopt(session.value(), AuthEvent::signedIn);
    callbackOutcome(std::nullopt);
    return session;
}

Status BackendClient::signOut() {
    ensureRestored();
    // No refresh may run meanwhile: its answer would bring the session back.
    std::lock_guard refreshing(refreshMutex_);
    std::optional<Session> current;
    {
        std::lock_guard lock(mutex_);
        current = session_;
    }
    if (current) {
        auto answer = transport_->perform(authRequest("POST", "/logout?scope=global", nullptr, current->accessToken));
        if (!answer) return answer.error();
        const int status = answer->status;
        // 401/403/404: the server no longer knows the session; it is gone either way.
        const bool gone = status == 401 || status == 403 || status == 404;
        if ((status < 200 || status >= 300) && !gone) return errorFromResponse(answer.value());
    }
    drop();
    return {};
}

}  // namespace pawlane
