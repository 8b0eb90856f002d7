#pragma once
// A signed-in session as the auth service hands it out, and its stored form.
#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>

namespace pawlane {

struct Session {
    std::string accessToken;
    std::string tokenType = "bearer";
    std::string refreshToken;
    double expiresIn = 0;     // seconds, as issued
    double expiresAt = 0;     // Unix seconds
    std::string userId;       // upper-case UUID text
    std::string userJson;     // the service's user object, kept whole

    // True when fewer than `margin` seconds remain at Unix time `now`.
    bool expiresWithin(double margin, double now) const { return expiresAt - now < margin; }
};

// Nothing unless the object has both tokens and a user with a UUID id. A missing
// "expires_at" is derived from "expires_in" and `nowUnix`.
std::optional<Session> sessionFromJson(const nlohmann::json& j, double nowUnix);
nlohmann::json toJson(const Session& s);

// What the auth service announces about the session.
enum class AuthEvent {
    initialSession,  // once, right after start: the restored session (refreshed if it had expired) or none
    signedIn,
    signedOut,
    tokenRefreshed,
    userUpdated,
    userDeleted,
};

struct AuthChange {
    AuthEvent event;
    std::optional<Session> session;
};

}  // namespace pawlane
