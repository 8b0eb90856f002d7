// Signing in: e-mailed codes and links, their verification, and the test OAuth provider.
#include "gateway.h"

#include <algorithm>
#include <cctype>

namespace pawlane::gateway {
namespace {

const char* TEST_GOOGLE_EMAIL = "google.tester@example.com";
const char* TEST_GOOGLE_NAME = "Google Tester";

std::string lowerTrimmed(std::string s) {
  auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
  s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

bool plausibleEmail(const std::string& email) {
  size_t at = email.find('@');
  if (email.size() > 254 || at == std::string::npos || at == 0 || email.find('@', at + 1) != std::string::npos)
    return false;
  std::string domain = email.substr(at + 1);
  if (domain.find('.') == std::string::npos || domain.front() == '.' || domain.back() == '.') return false;
  return std::none_of(email.begin(), email.end(), [](unsigned char c) { return std::isspace(c) || c < 32; });
}

// Inserts the query before any fragment, after any query the URL already has.
std::string withQuery(const std::string& url, const std::string& query) {
  std::string base = url.substr(0, url.find('#'));
  return base + (base.find('?') == std::string::npos ? "?" : "&") + query;
}

std::optional<std::string> ensureUser(Transaction& tx, const std::string& email,
                                      const Json& meta, const Json& appMeta, bool create) {
  auto found = tx.exec("select id from auth.users where email = $1", {email});
  if (!found.ok()) return std::nullopt;
  if (found.rows() == 1) return found.value(0, 0);
  if (!create) return std::string();
  auto made = tx.exec(
      "insert into auth.users (email, raw_user_meta_data, raw_app_meta_data)"
      " values ($1, $2::jsonb, $3::jsonb) returning id",
      {email, meta.dump(), appMeta.dump()});
  if (!made.ok() || made.rows() != 1) return std::nullopt;
  return made.value(0, 0);
}

bool validChallengeMethod(const std::string& method) { return method == "s256" || method == "plain"; }

void sendOtp(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  Json body = Json::parse(req.body, nullptr, false);
  if (!body.is_object())
    return sendAuthError(req, res, 400, "validation_failed", "Could not parse request body as JSON");
  std::string email = lowerTrimmed(jsonString(body, "email"));
  if (email.empty())
    return sendAuthError(req, res, 400, "validation_failed", "An email address is required");
  if (!plausibleEmail(email))
    return sendAuthError(req, res, 400, "validation_failed",
                         "Unable to validate email address: invalid format");
  std::string challenge = jsonString(body, "code_challenge");
  std::string method = lowerTrimmed(jsonString(body, "code_challenge_method"));
  if (!challenge.empty() && !validChallengeMethod(method))
    return sendAuthError(req, res, 400, "validation_failed", "Unsupported code challenge method");
  Json meta = body.contains("data") && body["data"].is_object() ? body["data"] : Json::object();
  std::string redirectTo = req.get_param_value("redirect_to");

  auto lease = gw.pool.acquire();
  Transaction tx(lease.get(), false);
  if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
  auto userId = ensureUser(tx, email, meta, {{"provider", "email"}, {"providers", {"email"}}},
                           body.value("create_user", Json(true)) != Json(false));
  if (!userId) return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
  if (userId->empty()) return sendAuthError(req, res, 422, "otp_disabled", "Signups not allowed for otp");

  std::optional<std::string> flowId;
  if (!challenge.empty()) {
    auto flow = tx.exec(
        "insert into auth.flow_state (code_challenge, code_challenge_method, user_id)"
        " values ($1, $2, $3::uuid) returning id",
        {challenge, method, *userId});
    if (!flow.ok()) return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
    flowId = flow.value(0, 0);
  }
  std::string code = randomDigits(6);
  std::string hash = randomToken(24);
  auto saved = tx.exec(
      "insert into auth.one_time_tokens (user_id, code, token_hash, flow_state_id, redirect_to)"
      " values ($1::uuid, $2, $3, $4::uuid, $5) on conflict (user_id) do update set"
      " code = excluded.code, token_hash = excluded.token_hash,"
      " flow_state_id = excluded.flow_state_id, redirect_to = excluded.redirect_to, created_at = now()",
      {*userId, code, hash, flowId, redirectTo});
  if (!saved.ok() || tx.commit())
    return sendAuthError(req, res, 500, "unexpected_failure", "Database error");

  std::string link = gw.baseUrl + "/auth/v1/verify?token=" + hash + "&type=magiclink";
  if (!redirectTo.empty()) link += "&redirect_to=" + percentEncode(redirectTo);
  {
    std::lock_guard lock(gw.mailMutex);
    gw.mailbox[email] = {code, link};
  }
  sendJson(res, 200, Json::object());
}

void verifyCode(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  Json body = Json::parse(req.body, nullptr, false);
  if (!body.is_object())
    return sendAuthError(req, res, 400, "validation_failed", "Could not parse request body as JSON");
  std::string type = jsonString(body, "type");
  if (type != "email" && type != "magiclink" && type != "signup")
    return sendAuthError(req, res, 400, "validation_failed", "Verify requires a verification type");
  std::string token = jsonString(body, "token");
  std::string hash = jsonString(body, "token_hash");
  std::string email = lowerTrimmed(jsonString(body, "email"));
  if (token.empty() && hash.empty())
    return sendAuthError(req, res, 400, "validation_failed",
                         "Verify requires either a token or a token hash");
  if (!token.empty() && email.empty())
    return sendAuthError(req, res, 400, "validation_failed", "Verify requires an email address");

  auto lease = gw.pool.acquire();
  Transaction tx(lease.get(), false);
  if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
  auto found = tx.exec(
      "select t.user_id from auth.one_time_tokens t join auth.users u on u.id = t.user_id"
      " where (($1 <> '' and u.email = $1 and t.code = $2) or ($3 <> '' and t.token_hash = $3))"
      " and t.created_at > now() - make_interval(secs => $4::int) for update of t",
      {email, token, hash, std::to_string(gw.settings.otpTtl.load())});
  if (!found.ok() || found.rows() != 1)
    return sendAuthError(req, res, 403, "otp_expired", "Token has expired or is invalid");
  std::string userId = found.value(0, 0);
  tx.exec("delete from auth.one_time_tokens where user_id = $1::uuid", {userId});
  auto session = issueSession(gw, tx, userId);
  if (!session || tx.commit())
    return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
  sendJson(res, 200, *session);
}

// The link in the e-mail, opened in a browser.
void verifyLink(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  std::string redirectTo = req.get_param_value("redirect_to");
  std::string type = req.get_param_value("type");
  auto fail = [&] {
    if (redirectTo.empty())
      return sendAuthError(req, res, 403, "otp_expired", "Email link is invalid or has expired");
    std::string error =
        "error=access_denied&error_code=otp_expired&error_description=Email+link+is+invalid+or+has+expired";
    res.set_redirect(withQuery(redirectTo, error) + "#" + error, 303);
  };
  if (type != "magiclink" && type != "signup" && type != "email") return fail();

  auto lease = gw.pool.acquire();
  Transaction tx(lease.get(), false);
  if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
  auto found = tx.exec(
      "select user_id, flow_state_id, coalesce(redirect_to, '') from auth.one_time_tokens"
      " where token_hash = $1 and created_at > now() - make_interval(secs => $2::int) for update",
      {req.get_param_value("token"), std::to_string(gw.settings.otpTtl.load())});
  if (!found.ok() || found.rows() != 1) return fail();
  std::string userId = found.value(0, 0);
  if (redirectTo.empty()) redirectTo = found.value(0, 2);
  if (redirectTo.empty()) redirectTo = gw.baseUrl;
  tx.exec("delete from auth.one_time_tokens where user_id = $1::uuid", {userId});

  if (!found.isNull(0, 1)) {
    auto code = tx.exec(
        "update auth.flow_state set auth_code = gen_random_uuid()::text, auth_code_issued_at = now()"
        " where id = $1::uuid returning auth_code",
        {found.value(0, 1)});
    if (!code.ok() || code.rows() != 1 || tx.commit()) return fail();
    return res.set_redirect(withQuery(redirectTo, "code=" + code.value(0, 0)), 303);
  }
  auto session = issueSession(gw, tx, userId);
  if (!session || tx.commit()) return fail();
  res.set_redirect(redirectTo.substr(0, redirectTo.find('#')) + "#" + sessionFragment(*session, "magiclink"), 303);
}

// The test provider: the fixed test user signs in without any page in between.
void authorize(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  if (req.get_param_value("provider") != "google")
    return sendAuthError(req, res, 400, "validation_failed",
                         "Unsupported provider: provider is not enabled");
  std::string redirectTo = req.get_param_value("redirect_to");
  if (redirectTo.empty()) redirectTo = gw.baseUrl;
  std::string challenge = req.get_param_value("code_challenge");
  std::string method = lowerTrimmed(req.get_param_value("code_challenge_method"));
  if (!challenge.empty() && !validChallengeMethod(method))
    return sendAuthError(req, res, 400, "validation_failed", "Unsupported code challenge method");

  auto lease = gw.pool.acquire();
  Transaction tx(lease.get(), false);
  if (!tx.begun()) return sendAuthError(req, res, 503, "unexpected_failure", "Database unavailable");
  Json meta = {{"full_name", TEST_GOOGLE_NAME}, {"name", TEST_GOOGLE_NAME},
               {"email", TEST_GOOGLE_EMAIL}, {"email_verified", true}};
  auto userId = ensureUser(tx, TEST_GOOGLE_EMAIL, meta,
                           {{"provider", "google"}, {"providers", {"google"}}}, true);
  if (!userId) return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
  if (!challenge.empty()) {
    auto code = tx.exec(
        "insert into auth.flow_state (code_challenge, code_challenge_method, user_id, auth_code,"
        " auth_code_issued_at) values ($1, $2, $3::uuid, gen_random_uuid()::text, now())"
        " returning auth_code",
        {challenge, method, *userId});
    if (!code.ok() || code.rows() != 1 || tx.commit())
      return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
    return res.set_redirect(withQuery(redirectTo, "code=" + code.value(0, 0)), 302);
  }
  auto session = issueSession(gw, tx, *userId);
  if (!session || tx.commit()) return sendAuthError(req, res, 500, "unexpected_failure", "Database error");
  res.set_redirect(redirectTo.substr(0, redirectTo.find('#')) + "#" + sessionFragment(*session, "signup"), 302);
}

}  // namespace

void addSignInRoutes(httplib::Server& server, Gateway& gw) {
  server.Post("/auth/v1/otp", [&gw](const auto& req, auto& res) { sendOtp(gw, req, res); });
  server.Post("/auth/v1/verify", [&gw](const auto& req, auto& res) { verifyCode(gw, req, res); });
  server.Get("/auth/v1/verify", [&gw](const auto& req, auto& res) { verifyLink(gw, req, res); });
  server.Get("/auth/v1/authorize", [&gw](const auto& req, auto& res) { authorize(gw, req, res); });
}

}  // namespace pawlane::gateway
