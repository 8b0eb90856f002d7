// Plain HTTP and SQL access to the local backend for the server-side tests: they check
// what the schema and the gateway promise, independently of the app's own client.
#pragma once

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace pawlane::servertest {

using Json = nlohmann::json;

// The KEY=value lines the starter wrote; empty when there is no backend.
inline std::map<std::string, std::string> backendEnv() {
  std::map<std::string, std::string> env;
  const char* path = std::getenv("PAWLANE_BACKEND_ENV");
  std::ifstream in(path ? path : "");
  for (std::string line; std::getline(in, line);) {
    auto eq = line.find('=');
    if (eq != std::string::npos) env[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return env;
}

// Addresses unique to this run, so the tests can run again against the same backend.
inline std::string uniqueEmail(const std::string& name) {
  static const std::string run = std::to_string(std::random_device{}());
  static int counter = 0;
  return name + "." + run + "." + std::to_string(++counter) + "@example.com";
}

struct HttpResponse {
  long status = 0;
  std::string body;
  std::map<std::string, std::string> headers;  // names in lower case
  Json json() const { return Json::parse(body, nullptr, false); }
  std::string header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
  }
};

class Http {
public:
  Http() {
    auto env = backendEnv();
    base_ = env["PAWLANE_SUPABASE_URL"];
    key_ = env["PAWLANE_SUPABASE_KEY"];
  }
  const std::string& base() const { return base_; }
  const std::string& key() const { return key_; }

  // A request to path (relative to the project URL) with the project key, as a client
  // sends it; bearer is the access token or empty for none.
  HttpResponse send(const std::string& method, const std::string& path, const std::string& body = "",
                    const std::string& bearer = "", std::vector<std::string> headers = {},
                    bool withKey = true) const {
    CURL* h = curl_easy_init();
    HttpResponse out;
    std::string url = path.rfind("http", 0) == 0 ? path : base_ + path;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, method.c_str());
    if (method != "GET" && method != "DELETE") {
      curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.c_str());
      curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    }
    if (withKey) headers.push_back("apikey: " + key_);
    if (!bearer.empty()) headers.push_back("Authorization: Bearer " + bearer);
    headers.push_back("Content-Type: application/json");
    curl_slist* list = nullptr;
    for (const auto& line : headers) list = curl_slist_append(list, line.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, +[](char* p, size_t s, size_t n, void* u) {
      static_cast<std::string*>(u)->append(p, s * n);
      return s * n;
    });
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &out.body);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, +[](char* p, size_t s, size_t n, void* u) {
      std::string line(p, s * n);
      auto colon = line.find(':');
      if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n") + 1);
        (*static_cast<std::map<std::string, std::string>*>(u))[name] = value;
      }
      return s * n;
    });
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &out.headers);
    if (curl_easy_perform(h) == CURLE_OK) curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &out.status);
    curl_slist_free_all(list);
    curl_easy_cleanup(h);
    return out;
  }

  HttpResponse config(const Json& settings) const { return send("POST", "/_test/config", settings.dump()); }

  // The last code and link e-mailed to the address.
  Json mailbox(const std::string& email) const {
    char* escaped = curl_easy_escape(nullptr, email.c_str(), 0);
    auto r = send("GET", std::string("/_test/mailbox?email=") + escaped);
    curl_free(escaped);
    return r.json();
  }

  // Signs in by e-mail code and returns the session.
  Json signIn(const std::string& email) const {
    send("POST", "/auth/v1/otp", Json{{"email", email}, {"create_user", true}}.dump());
    return send("POST", "/auth/v1/verify",
                Json{{"type", "email"}, {"email", email}, {"token", mailbox(email)["code"]}}.dump())
        .json();
  }

private:
  std::string base_, key_;
};

struct SqlResult {
  bool ok = false;
  std::string sqlstate, message;
  std::vector<std::vector<std::optional<std::string>>> rows;
  // The first column of every row.
  std::vector<std::string> column() const {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.at(0).value_or(""));
    return out;
  }
};

// A superuser connection; asUser and asAnon run statements the way the API roles do.
class Db {
public:
  Db() : conn_(PQconnectdb(backendEnv()["PAWLANE_DATABASE_URL"].c_str())) {}
  ~Db() { PQfinish(conn_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;
  bool connected() const { return PQstatus(conn_) == CONNECTION_OK; }

  SqlResult exec(const std::string& sql, const std::vector<std::string>& params = {}) {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p.c_str());
    PGresult* res = params.empty() ? PQexec(conn_, sql.c_str())
                                   : PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()),
                                                  nullptr, values.data(), nullptr, nullptr, 0);
    SqlResult out;
    auto status = PQresultStatus(res);
    out.ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!out.ok) {
      const char* state = PQresultErrorField(res, PG_DIAG_SQLSTATE);
      const char* message = PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY);
      out.sqlstate = state ? state : "";
      out.message = message ? message : PQerrorMessage(conn_);
    }
    for (int r = 0; out.ok && r < PQntuples(res); ++r) {
      out.rows.emplace_back();
      for (int c = 0; c < PQnfields(res); ++c)
        out.rows.back().push_back(PQgetisnull(res, r, c) ? std::nullopt
                                                          : std::optional<std::string>(PQgetvalue(res, r, c)));
    }
    PQclear(res);
    return out;
  }

  SqlResult asUser(const std::string& userId, const std::string& sql,
                   const std::vector<std::string>& params = {}) {
    return asRole("authenticated", Json{{"sub", userId}, {"role", "authenticated"}}.dump(), sql, params);
  }

  SqlResult asAnon(const std::string& sql, const std::vector<std::string>& params = {}) {
    return asRole("anon", R"({"role":"anon"})", sql, params);
  }

  // A new account (its profile comes from the trigger); returns its id.
  std::string createUser(const std::string& email, const Json& meta = Json::object()) {
    return exec("insert into auth.users (email, raw_user_meta_data) values ($1, $2::jsonb) returning id",
                {email, meta.dump()})
        .rows.at(0)
        .at(0)
        .value();
  }

private:
  SqlResult asRole(const std::string& role, const std::string& claims, const std::string& sql,
                   const std::vector<std::string>& params) {
    exec("begin");
    exec("select set_config('role', $1, true), set_config('request.jwt.claims', $2, true)", {role, claims});
    SqlResult out = exec(sql, params);
    exec(out.ok ? "commit" : "rollback");
    return out;
  }

  PGconn* conn_;
};

}  // namespace pawlane::servertest
