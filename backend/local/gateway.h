// Dev gateway: the auth and REST endpoints of a hosted project, served from a local
// PostgreSQL so the app's social layer can be developed and tested offline.
#pragma once

#include <httplib.h>
#include <libpq-fe.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pawlane::gateway {

using Json = nlohmann::json;
using SqlParams = std::vector<std::optional<std::string>>;

// --- tokens (tokens.cpp) ---------------------------------------------------------------
long unixNow();
std::string base64Url(std::string_view bytes);
std::optional<std::string> base64UrlDecode(std::string_view text);
std::string sha256Base64Url(std::string_view text);
std::string randomToken(size_t bytes);
std::string randomDigits(int count);
std::string signJwt(const Json& claims, const std::string& secret);
enum class JwtStatus { Valid, Invalid, Expired };
JwtStatus verifyJwt(std::string_view token, const std::string& secret, Json& claims);

// --- database (db.cpp) -----------------------------------------------------------------
struct SqlError {
  std::string code, message, detail, hint;
};

class QueryResult {
public:
  QueryResult(PGresult* res, std::optional<SqlError> error);
  bool ok() const { return !error_; }
  const SqlError& error() const { return *error_; }
  int rows() const;
  bool isNull(int row, int col) const;
  std::string value(int row, int col) const;

private:
  std::unique_ptr<PGresult, void (*)(PGresult*)> res_;
  std::optional<SqlError> error_;
};

QueryResult execSql(PGconn* conn, const std::string& sql, const SqlParams& params = {});

class Pool {
public:
  explicit Pool(std::string conninfo) : conninfo_(std::move(conninfo)) {}
  ~Pool();
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;

  // A connection for one request; goes back to the pool when the lease ends.
  class Lease {
  public:
    Lease(Pool& pool, PGconn* conn) : pool_(pool), conn_(conn) {}
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease() { pool_.release(conn_); }
    PGconn* get() const { return conn_; }

  private:
    Pool& pool_;
    PGconn* conn_;
  };

  Lease acquire();  // get() is null when the database cannot be reached

private:
  void release(PGconn* conn);
  std::string conninfo_;
  std::mutex mutex_;
  std::vector<PGconn*> idle_;
};

// Rolls back unless commit() succeeded.
class Transaction {
public:
  Transaction(PGconn* conn, bool readOnly);
  ~Transaction();
  bool begun() const { return begun_; }
  QueryResult exec(const std::string& sql, const SqlParams& params = {});
  std::optional<SqlError> commit();

private:
  PGconn* conn_;
  bool begun_ = false;
  bool done_ = false;
};

// --- shared state ----------------------------------------------------------------------
struct Mail {
  std::string code, link;
};

struct Settings {
  std::atomic<int> accessTokenTtl{3600};
  std::atomic<int> stallSeconds{0};
  std::atomic<int> flowStateTtl{300};
  std::atomic<int> otpTtl{3600};
  std::atomic<int> refreshReuseInterval{10};
};

struct Gateway {
  Gateway(std::string conninfo, std::string jwtSecret)
      : pool(std::move(conninfo)), secret(std::move(jwtSecret)) {}
  Pool pool;
  std::string secret;
  std::string anonKey;
  std::string baseUrl;
  Settings settings;
  std::mutex mailMutex;
  std::map<std::string, Mail> mailbox;  // by lower-case address
};

void sendJson(httplib::Response& res, int status, const Json& body);
// The text under key, or "" when it is missing or no text.
std::string jsonString(const Json& object, const char* key);
std::string percentEncode(std::string_view text);

// --- auth (auth_session.cpp, auth_signin.cpp) ------------------------------------------
// Auth errors come in the shape the client asked for with X-Supabase-Api-Version.
void sendAuthError(const httplib::Request& req, httplib::Response& res, int status,
                   const std::string& code, const std::string& message);
// Starts a session for the user inside tx; nothing when the database failed.
std::optional<Json> issueSession(Gateway& gw, Transaction& tx, const std::string& userId);
// The fragment an implicit-flow redirect carries.
std::string sessionFragment(const Json& session, const std::string& type);
void addSessionRoutes(httplib::Server& server, Gateway& gw);
void addSignInRoutes(httplib::Server& server, Gateway& gw);

// --- REST (rest_routes.cpp, rest_query.cpp) -----------------------------------------------
// Each builder turns one part of a PostgREST query string into SQL, binding values as
// parameters; on malformed input it returns false with a message in error.
std::optional<std::string> quoteIdent(std::string_view name);
bool buildSelect(const std::string& select, std::string& sql, std::string& error);
bool buildWhere(const httplib::Params& query, SqlParams& params, std::string& sql, std::string& error);
bool buildOrder(const std::string& order, std::string& sql, std::string& error);
void addRestRoutes(httplib::Server& server, Gateway& gw);

}  // namespace pawlane::gateway
