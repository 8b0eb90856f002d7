// Sessions: issuing them, refreshing and PKCE exchange, sign-out and the current user.
#include "gateway.h"

namespace pawlane::gateway {
namespace {

const char* USER_JSON_SQL = R"(
select json_build_object(
  'id', u.id, 'aud', 'authenticated', 'role', 'authenticated', 'email', u.email,
  'email_confirmed_at', u.email_confirmed_at, 'phone', '', 'confirmed_at', u.email_confirmed_at,
  'last_sign_in_at', u.last_sign_in_at, 'app_metadata', u.raw_app_meta_data,
  'user_metadata', u.raw_user_meta_data, 'identities', '[]'::json,
  'created_at', u.created_at, 'updated_at', u.updated_at, 'is_anonymous', false)::text
from auth.users u where u.id = $1::uuid)";

Json makeSession(Gateway& gw, const Json& user, const std::string& sessionId,
                 const std::string& refreshToken) {
  long now = unixNow();
  long ttl = gw.settings.accessTokenTtl.load();
  Json claims = {{"aud", "authenticated"},
                 {"exp", now + ttl},
                 {"iat", now},
                 {"iss", gw.baseUrl + "/auth/v1"},
                 {"sub", user["id"]},
                 {"email", user["email"]},
                 {"phone", ""},
                 {"app_metadata", user["app_metadata"]},
                 {"user_metadata", user["user_metadata"]},
                 {"role", "authenticated"},
                 {"aal", "aal1"},
                 {"amr", Json::array({{{"method", "otp"}, {"timestamp", now}}})},
                 {"session_id", sessionId},
                 {"is_anonymous", false}};
  return {{"access_token", signJwt(claims, gw.secret)},
          {"token_type", "bearer"},
          {"expires_in", ttl},
          {"expires_at", now + ttl},
          {"refresh_token", refreshToken},
          {"user", user}};
}

std::optional<Json> userJson(Transaction& tx, const std::string& userId) {
  auto r = tx.exec(USER_JSON_SQL, {userId});
  if (!r.ok() || r.rows() != 1) return std::nullopt;
  return Json::parse(r.value(0, 0), nullptr, false);
}

std::optional<std::string> newRefreshToken(Transaction& tx, const std::string& sessionId) {
  std::string token = randomToken(24);
  auto r = tx.exec("insert into auth.refresh_tokens (token, session_id) values ($1, $2::uuid)",
                   {token, sessionId});
  if (!r.ok()) return std::nullopt;
  return token;
}

void sendSession(httplib::Response& res, Transaction& tx, const std::optional<Json>& session) {
  if (!session || tx.commit()) {
    sendJson(res, 500, {{"code", "unexpected_failure"}, {"message", "Database error"}});
    return;
  }
  sendJson(res, 200, *session);
}

void exchangePkce(Gateway& gw, const Json& body, const httplib::Request& req,
                  httplib::Response& res, Transaction& tx) {
  std::string code = jsonString(body, "auth_code");
  std::string verifier = jsonString(body, "code_verifier");
  if (code.empty() || verifier.empty())
    return sendAuthError(req, res, 400, "validation_failed",
                         "invalid request: both auth code and code verifier should be non-empty");
  auto flow = tx.exec(
      "select id, code_challenge, code_challenge_method, user_id,"
      " coalesce(extract(epoch from now() - auth_code_issued_at), 0)::float8"
      " from auth.flow_state where auth_code = $1 and user_id is not null for update",
      {code});
  if (!flow.ok() || flow.rows() != 1)
    return sendAuthError(req, res, 404, "flow_state_not_found",
                         "invalid flow state, no valid flow state found");
  if (std::stod(flow.value(0, 4)) > gw.settings.flowStateTtl.load()) {
    tx.exec("delete from auth.flow_state where id = $1::uuid", {flow.value(0, 0)});
    tx.commit();
    return sendAuthError(req, res, 422, "flow_state_expired",
                         "invalid flow state, flow state has expired");
  }
  std::string expected = flow.value(0, 2) == "plain" ? verifier : sha256Base64Url(verifier);
  if (expected != flow.value(0, 1))
    return sendAuthError(req, res, 400, "bad_code_verifier",
                         "code challenge does not match previously saved code verifier");
  // A code works once.
  tx.exec("delete from auth.flow_state where id = $1::uuid", {flow.value(0, 0)});
  sendSession(res, tx, issueSession(gw, tx, flow.value(0, 3)));
}

void refresh(Gateway& gw, const Json& body, const httplib::Request& req, httplib::Response& res,
             Transaction& tx) {
  std::string token = jsonString(body, "refresh_token");
  if (token.empty())
    return sendAuthError(req, res, 400, "validation_failed", "refresh_token required");
  auto r = tx.exec(
      "select r.session_id, r.revoked, coalesce(extract(epoch from now() - r.revoked_at), 0)::float8,"
      " s.user_id from auth.refresh_tokens r join auth.sessions s on s.id = r.session_id"
      " where r.token = $1 for update of r",
      {token});
  if (!r.ok() || r.rows() != 1)
    return sendAuthError(req, res, 400, "refresh_token_not_found",
                         "Invalid Refresh Token: Refresh Token Not Found");
  std::string sessionId = r.value(0, 0), userId = r.value(0, 3);
  if (r.value(0, 1) == "t") {
    // Two tabs refreshing at once is normal; an old token replayed later means theft.
    if (std::stod(r.value(0, 2)) < gw.settings.refreshReuseInterval.load()) {
      auto active = tx.exec(
          "select token from auth.refresh_tokens where session_id = $1::uuid and not revoked"
          " order by created_at desc limit 1",
          {sessionId});
      auto user = userJson(tx, userId);
      if (active.ok() && active.rows() == 1 && user)
        return sendSession(res, tx, makeSession(gw, *user, sessionId, active.value(0, 0)));
    }
    tx.exec("delete from auth.sessions where id = $1::uuid", {sessionId});
    tx.commit();
    return sendAuthError(req, res, 400, "refresh_token_already_used",
                         "Invalid Refresh Token: Already Used");
  }
  tx.exec("update auth.refresh_tokens set revoked = true, revoked_at = now() where token = $1",
          {token});
  auto next = newRefreshToken(tx, sessionId);
  auto user = userJson(tx, userId);
  std::optional<Json> session;
  if (next && user) session = makeSession(gw, *user, sessionId, *next);
  sendSession(res, tx, session);
}

struct Caller {
  std::string userId, sessionId;
};

// The signed-in caller of /user and /logout, or an error already sent.
std::optional<Caller> requireUser(Gateway& gw, const httplib::Request& req,
                                  httplib::Response& res, Transaction& tx) {
  std::string header = req.get_header_value("Authorization");
  if (header.rfind("Bearer ", 0) != 0 || header.size() <= 7) {
    sendAuthError(req, res, 401, "no_authorization", "This endpoint requires a valid Bearer token");
    return std::nullopt;
  }
  Json claims;
  switch (verifyJwt(std::string_view(header).substr(7), gw.secret, claims)) {
    case JwtStatus::Expired:
      sendAuthError(req, res, 403, "bad_jwt",
                    "invalid JWT: unable to parse or verify signature, token has invalid claims: "
                    "token is expired");
      return std::nullopt;
    case JwtStatus::Invalid:
      sendAuthError(req, res, 403, "bad_jwt",
                    "invalid JWT: unable to parse or verify signature, signature is invalid");
      return std::nullopt;
    case JwtStatus::Valid:
      break;
  }
  Caller caller{jsonString(claims, "sub"), jsonString(claims, "session_id")};
  if (caller.userId.empty()) {
    sendAuthError(req, res, 403, "bad_jwt", "invalid claim: missing sub claim");
    return std::nullopt;
  }
  auto user = tx.exec("select 1 from auth.users where id::text = lower($1)", {caller.userId});
  if (!user.ok() || user.rows() != 1) {
    sendAuthError(req, res, 403, "user_not_found", "User from sub claim in JWT does not exist");
    return std::nullopt;
  }
  auto session = tx.exec("select 1 from auth.sessions where id::text = lower($1)", {caller.sessionId});
  if (!session.ok() || session.rows() != 1) {
    sendAuthError(req, res, 403, "session_not_found",
                  "Session from session_id claim in JWT does not exist");
    return std::nullopt;
  }
  return caller;
}

}  // namespace

void sendAuthError(const httplib::Request& req, httplib::Response& res, int status,
                   const std::string& code, const std::string& message) {
  if (req.has_header("X-Supabase-Api-Version"))
    sendJson(res, status, {{"code", code}, {"message", message}});
  else
    sendJson(res, status, {{"code", status}, {"error_code", code}, {"msg", message}});
}

std::optional<Json> issueSession(Gateway& gw, Transaction& tx, const std::string& userId) {
  auto s = tx.exec("insert into auth.sessions (user_id) values ($1::uuid) returning id", {userId});
  if (!s.ok() || s.rows() != 1) return std::nullopt;
  std::string sessionId = s.value(0, 0);
  auto token = newRefreshToken(tx, sessionId);
  auto touched = tx.exec(
      "update auth.users set last_sign_in_at = now(), updated_at = now(),"
      " email_confirmed_at = coalesce(email_confirmed_at, now()) where id = $1::uuid",
      {userId});
  auto user = userJson(tx, userId);
  if (!token || !touched.ok() || !user) return std::nullopt;
  return makeSession(gw, *user, sessionId, *token);
}

std::string sessionFragment(const Json& s, const std::string& type) {
  return "access_token=" + s["access_token"].get<std::string>() +
         "&expires_at=" + std::to_string(s["expires_at"].get<long>()) +
         "&expires_in=" + std::to_string(s["expires_in"].get<long>()) +
         "&refresh_token=" + s["refresh_token"].get<std::string>() +
         "&token_type=bearer&type=" + type;
}

void addSessionRoutes(httplib::Server& server, Gateway& gw) {
  server.Post("/auth/v1/token", [&gw](const httplib::Request& req, httplib::Response& res) {
    Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object())
      return sendAuthError(req, res, 400, "validation_failed", "Could not parse request body as JSON");
    std::string grant = req.get_param_value("grant_type");
    if (grant != "pkce" && grant != "refresh_token")
      return sendAuthError(req, res, 400, "validation_failed", "unsupported_grant_type");
    auto lease = gw.pool.acquire();
    Transaction tx(lease.get(), false);
    if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
    if (grant == "pkce") exchangePkce(gw, body, req, res, tx);
    else refresh(gw, body, req, res, tx);
  });

  server.Post("/auth/v1/logout", [&gw](const httplib::Request& req, httplib::Response& res) {
    std::string scope = req.has_param("scope") ? req.get_param_value("scope") : "global";
    if (scope != "global" && scope != "local" && scope != "others")
      return sendAuthError(req, res, 400, "validation_failed",
                           "Unsupported logout scope \"" + scope + "\"");
    auto lease = gw.pool.acquire();
    Transaction tx(lease.get(), false);
    if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
    auto caller = requireUser(gw, req, res, tx);
    if (!caller) return;
    auto done = scope == "global"
                    ? tx.exec("delete from auth.sessions where user_id = $1::uuid", {caller->userId})
                : scope == "local"
                    ? tx.exec("delete from auth.sessions where id = $1::uuid", {caller->sessionId})
                    : tx.exec("delete from auth.sessions where user_id = $1::uuid and id <> $2::uuid",
                              {caller->userId, caller->sessionId});
    if (!done.ok() || tx.commit())
      return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
    res.status = 204;
  });

  server.Get("/auth/v1/user", [&gw](const httplib::Request& req, httplib::Response& res) {
    auto lease = gw.pool.acquire();
    Transaction tx(lease.get(), true);
    if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
    auto caller = requireUser(gw, req, res, tx);
    if (!caller) return;
    auto user = userJson(tx, caller->userId);
    if (!user) return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
    sendJson(res, 200, *user);
  });
}

}  // namespace pawlane::gateway
