#include "social/session.h"

#include <nlohmann/json.hpp>

#include "custom/uuid.h"
#include "social/uuid_text.h"

namespace pawlane {

namespace {

std::string text(const nlohmann::json& j, const char* key) {
    auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : std::string{};
}

double number(const nlohmann::json& j, const char* key, double fallback) {
    auto it = j.find(key);
    return it != j.end() && it->is_number() ? it->get<double>() : fallback;
}

}  // namespace

std::optional<Session> sessionFromJson(const nlohmann::json& j, double nowUnix) {
    if (!j.is_object()) return std::nullopt;
    Session s;
    s.accessToken = text(j, "access_token");
    s.refreshToken = text(j, "refresh_token");
    if (s.accessToken.empty() || s.refreshToken.empty()) return std::nullopt;
    if (auto type = text(j, "token_type"); !type.empty()) s.tokenType = type;
    s.expiresIn = number(j, "expires_in", 3600);
    s.expiresAt = number(j, "expires_at", nowUnix + s.expiresIn);
    auto user = j.find("user");
    if (user == j.end() || !user->is_object()) return std::nullopt;
    const auto id = text(*user, "id");
    if (!isUuidText(id)) return std::nullopt;
    s.userId = upperUuid(id);
    s.userJson = user->dump();
    return s;
}

nlohmann::json toJson(const Session& s) {
    auto user = nlohmann::json::parse(s.userJson, nullptr, false);
    if (!user.is_object()) user = nlohmann::json{{"id", s.userId}};
    return nlohmann::json{{"access_token", s.accessToken}, {"token_type", s.tokenType},
                          {"expires_in", s.expiresIn},     {"expires_at", s.expiresAt},
                          {"refresh_token", s.refreshToken}, {"user", user}};
}

}  // namespace pawlane
