// The PostgREST endpoints the app uses. Every request runs in its own transaction under
// the caller's role with the token's claims set, so the database's policies decide.
#include "gateway.h"

#include <algorithm>
#include <cctype>

namespace pawlane::gateway {
namespace {

const char* OBJECT_MEDIA_TYPE = "application/vnd.pgrst.object+json";

Json nullable(const std::string& s) { return s.empty() ? Json(nullptr) : Json(s); }

void sendRestError(httplib::Response& res, int status, const std::string& code,
                   const std::string& message, const std::string& details = "") {
  sendJson(res, status, {{"code", code}, {"details", nullable(details)}, {"hint", nullptr}, {"message", message}});
}

// PostgREST's mapping of SQLSTATE classes to HTTP statuses.
int statusFor(const std::string& code, bool authenticated) {
  if (code == "42501") return authenticated ? 403 : 401;
  if (code == "23503" || code == "23505") return 409;
  if (code == "42883" || code == "42P01") return 404;
  if (code == "25006") return 405;
  if (code == "P0001") return 400;
  static const std::pair<const char*, int> CLASSES[] = {
      {"08", 503}, {"09", 500}, {"0L", 403}, {"0P", 403}, {"25", 500}, {"28", 403}, {"2D", 500},
      {"38", 500}, {"39", 500}, {"3B", 500}, {"40", 500}, {"53", 503}, {"54", 500}, {"55", 500},
      {"57", 500}, {"58", 500}, {"F0", 500}, {"HV", 500}, {"P0", 500}, {"XX", 500}};
  for (const auto& [prefix, status] : CLASSES)
    if (code.rfind(prefix, 0) == 0) return status;
  return 400;
}

struct Caller {
  std::string role;
  Json claims;
};

std::optional<Caller> restCaller(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  std::string header = req.get_header_value("Authorization");
  if (header.empty()) return Caller{"anon", {{"role", "anon"}}};
  if (header.rfind("Bearer ", 0) != 0) {
    sendRestError(res, 401, "PGRST301", "Expected a Bearer token");
    return std::nullopt;
  }
  Json claims;
  switch (verifyJwt(std::string_view(header).substr(7), gw.secret, claims)) {
    case JwtStatus::Expired:
      sendRestError(res, 401, "PGRST303", "JWT expired");
      return std::nullopt;
    case JwtStatus::Invalid:
      sendRestError(res, 401, "PGRST301", "JWSError JWSInvalidSignature");
      return std::nullopt;
    case JwtStatus::Valid:
      break;
  }
  std::string role = jsonString(claims, "role");
  if (role.empty()) role = "anon";
  if (role != "anon" && role != "authenticated") {
    sendRestError(res, 401, "PGRST301", "JWT role \"" + role + "\" is not allowed");
    return std::nullopt;
  }
  return Caller{role, claims};
}

// Runs sql (after the caller's settings) in one transaction; sends the error itself and
// returns nothing when anything failed.
std::optional<QueryResult> runAsCaller(Gateway& gw, const httplib::Request& req,
                                       httplib::Response& res, const Caller& caller,
                                       const std::string& sql, const SqlParams& params) {
  auto lease = gw.pool.acquire();
  Transaction tx(lease.get(), req.method == "GET");
  if (!tx.begun()) {
    sendRestError(res, 503, "PGRST000", "Database client error. Retrying the connection.");
    return std::nullopt;
  }
  auto setup = tx.exec(
      "select set_config('role', $1, true), set_config('request.jwt.claims', $2, true),"
      " set_config('request.method', $3, true), set_config('request.path', $4, true)",
      {caller.role, caller.claims.dump(), req.method, req.path});
  std::optional<SqlError> error;
  if (!setup.ok()) error = setup.error();
  std::optional<QueryResult> result;
  if (!error) {
    result.emplace(tx.exec(sql, params));
    if (!result->ok()) error = result->error();
  }
  if (!error) error = tx.commit();
  if (error) {
    Json details = nullable(error->detail);
    sendJson(res, statusFor(error->code, caller.role == "authenticated"),
             {{"code", error->code}, {"details", details}, {"hint", nullable(error->hint)},
              {"message", error->message}});
    return std::nullopt;
  }
  return result;
}

// Catalogue lookups, outside the caller's transaction.
QueryResult queryOnce(Gateway& gw, const std::string& sql, const SqlParams& params) {
  auto lease = gw.pool.acquire();
  if (!lease.get()) return {nullptr, SqlError{"08006", "Database unavailable", "", ""}};
  return execSql(lease.get(), sql, params);
}

bool wantsRepresentation(const httplib::Request& req) {
  return req.get_header_value("Prefer").find("return=representation") != std::string::npos;
}

bool digitsOnly(const std::string& s) {
  return !s.empty() && s.size() < 10 &&
         std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

void selectRows(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  auto caller = restCaller(gw, req, res);
  if (!caller) return;
  std::string table = *quoteIdent(req.matches[1].str());
  std::string columns, where, order, error;
  SqlParams params;
  if (!buildSelect(req.get_param_value("select"), columns, error) ||
      !buildWhere(req.params, params, where, error) ||
      !buildOrder(req.get_param_value("order"), order, error))
    return sendRestError(res, 400, "PGRST100", error);
  std::string paging;
  for (const char* key : {"limit", "offset"}) {
    if (!req.has_param(key)) continue;
    std::string value = req.get_param_value(key);
    if (!digitsOnly(value)) return sendRestError(res, 400, "PGRST100", std::string("invalid ") + key);
    paging += std::string(" ") + key + " " + value;
  }
  std::string sql = "select coalesce(json_agg(_t), '[]')::text, count(*) from (select " + columns +
                    " from public." + table + where + order + paging + ") _t";
  auto result = runAsCaller(gw, req, res, *caller, sql, params);
  if (!result) return;
  long count = std::stol(result->value(0, 1));
  res.set_header("Content-Range", count ? "0-" + std::to_string(count - 1) + "/*" : "*/*");
  if (req.get_header_value("Accept").find(OBJECT_MEDIA_TYPE) != std::string::npos) {
    if (count != 1)
      return sendRestError(res, 406, "PGRST116", "JSON object requested, multiple (or no) rows returned",
                           "The result contains " + std::to_string(count) + " rows");
    res.status = 200;
    res.set_content(Json::parse(result->value(0, 0))[0].dump(), std::string(OBJECT_MEDIA_TYPE) + "; charset=utf-8");
    return;
  }
  res.status = 200;
  res.set_content(result->value(0, 0), "application/json; charset=utf-8");
}

void insertRows(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  auto caller = restCaller(gw, req, res);
  if (!caller) return;
  std::string tableName = req.matches[1].str();
  std::string table = "public." + *quoteIdent(tableName);
  Json rows = Json::parse(req.body, nullptr, false);
  if (rows.is_object()) rows = Json::array({rows});
  if (!rows.is_array() || !std::all_of(rows.begin(), rows.end(), [](const Json& r) { return r.is_object(); }))
    return sendRestError(res, 400, "PGRST102", "Empty or invalid json");
  if (rows.empty()) {
    res.status = 201;
    if (wantsRepresentation(req)) res.set_content("[]", "application/json; charset=utf-8");
    return;
  }
  std::vector<std::string> columns;
  for (const auto& item : rows[0].items()) {
    auto quoted = quoteIdent(item.key());
    if (!quoted)
      return sendRestError(res, 400, "PGRST204", "Could not find the '" + item.key() + "' column of '" +
                                                     tableName + "' in the schema cache");
    columns.push_back(*quoted);
  }
  for (const auto& row : rows) {
    bool same = row.size() == rows[0].size();
    for (const auto& item : rows[0].items()) same = same && row.contains(item.key());
    if (!same) return sendRestError(res, 400, "PGRST102", "All object keys must match");
  }
  std::string prefer = req.get_header_value("Prefer");
  bool merge = prefer.find("resolution=merge-duplicates") != std::string::npos;
  bool ignore = prefer.find("resolution=ignore-duplicates") != std::string::npos;
  std::string columnList;
  for (const auto& c : columns) columnList += (columnList.empty() ? "" : ", ") + c;

  std::string conflict;
  if (merge || ignore) {
    // Without on_conflict the primary key decides, found inside the statement itself.
    std::vector<std::string> keys;
    std::string onConflict = req.get_param_value("on_conflict");
    for (size_t s = 0, comma; !onConflict.empty() && s <= onConflict.size(); s = comma + 1) {
      comma = onConflict.find(',', s);
      if (comma == std::string::npos) comma = onConflict.size();
      auto quoted = quoteIdent(onConflict.substr(s, comma - s));
      if (!quoted) return sendRestError(res, 400, "PGRST100", "failed to parse on_conflict");
      keys.push_back(*quoted);
    }
    if (keys.empty()) {
      auto pk = queryOnce(gw,
                          "select quote_ident(a.attname) from pg_index i join pg_attribute a"
                          " on a.attrelid = i.indrelid and a.attnum = any(i.indkey)"
                          " where i.indrelid = to_regclass($1) and i.indisprimary",
                          {table});
      for (int r = 0; pk.ok() && r < pk.rows(); ++r) keys.push_back(pk.value(r, 0));
    }
    std::string keyList, updates;
    for (const auto& k : keys) keyList += (keyList.empty() ? "" : ", ") + k;
    for (const auto& c : columns)
      if (std::find(keys.begin(), keys.end(), c) == keys.end())
        updates += (updates.empty() ? "" : ", ") + c + " = excluded." + c;
    if (!keyList.empty())
      conflict = " on conflict (" + keyList + ")" +
                 (merge && !updates.empty() ? " do update set " + updates : " do nothing");
  }
  std::string sql = "with _w as (insert into " + table + " (" + columnList + ") select " + columnList +
                    " from json_populate_recordset(null::" + table + ", $1::json)" + conflict +
                    " returning *, (xmax = 0) as pawlane_inserted_)"
                    " select coalesce(json_agg(to_jsonb(_w) - 'pawlane_inserted_'), '[]')::text,"
                    " count(*) filter (where pawlane_inserted_), count(*) from _w";
  auto result = runAsCaller(gw, req, res, *caller, sql, {rows.dump()});
  if (!result) return;
  bool allMerged = merge && result->value(0, 1) == "0" && result->value(0, 2) != "0";
  res.status = allMerged ? 200 : 201;
  if (wantsRepresentation(req)) res.set_content(result->value(0, 0), "application/json; charset=utf-8");
}

void deleteRows(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  auto caller = restCaller(gw, req, res);
  if (!caller) return;
  std::string table = "public." + *quoteIdent(req.matches[1].str());
  std::string where, error;
  SqlParams params;
  if (!buildWhere(req.params, params, where, error)) return sendRestError(res, 400, "PGRST100", error);
  std::string sql = "with _d as (delete from " + table + where +
                    " returning *) select coalesce(json_agg(_d), '[]')::text, count(*) from _d";
  auto result = runAsCaller(gw, req, res, *caller, sql, params);
  if (!result) return;
  if (!wantsRepresentation(req)) {
    res.status = 204;
    return;
  }
  res.status = 200;
  res.set_content(result->value(0, 0), "application/json; charset=utf-8");
}

void callFunction(Gateway& gw, const httplib::Request& req, httplib::Response& res) {
  auto caller = restCaller(gw, req, res);
  if (!caller) return;
  std::string name = req.matches[1].str();
  Json args = req.body.empty() ? Json::object() : Json::parse(req.body, nullptr, false);
  if (!args.is_object()) return sendRestError(res, 400, "PGRST102", "Empty or invalid json");

  std::string argList, argNames;
  SqlParams params;
  for (const auto& item : args.items()) {
    auto quoted = quoteIdent(item.key());
    if (!quoted) return sendRestError(res, 400, "PGRST100", "invalid argument name " + item.key());
    std::optional<std::string> value;
    if (item.value().is_string()) value = item.value().get<std::string>();
    else if (!item.value().is_null()) value = item.value().dump();
    params.push_back(value);
    argList += (argList.empty() ? "" : ", ") + *quoted + " => $" + std::to_string(params.size());
    argNames += (argNames.empty() ? "" : ", ") + item.key();
  }
  auto shape = queryOnce(gw,
                         "select p.prorettype = 'void'::regtype, p.proretset, t.typtype"
                         " from pg_proc p join pg_namespace n on n.oid = p.pronamespace"
                         " join pg_type t on t.oid = p.prorettype"
                         " where n.nspname = 'public' and p.proname = $1 limit 1",
                         {name});
  if (!shape.ok()) return sendRestError(res, 503, "PGRST000", "Database client error.");
  if (shape.rows() != 1)
    return sendRestError(res, 404, "PGRST202",
                         "Could not find the function public." + name + "(" + argNames + ") in the schema cache");
  std::string call = "public." + *quoteIdent(name) + "(" + argList + ")";
  std::string sql = shape.value(0, 0) == "t"   ? "select " + call
                    : shape.value(0, 1) == "t" ? "select coalesce(json_agg(_r), '[]')::text from " + call + " _r"
                    : shape.value(0, 2) == "c" ? "select to_json(_r)::text from " + call + " _r"
                                               : "select to_json(" + call + ")::text";
  auto result = runAsCaller(gw, req, res, *caller, sql, params);
  if (!result) return;
  if (shape.value(0, 0) == "t") {
    res.status = 204;
    return;
  }
  res.status = 200;
  res.set_content(result->isNull(0, 0) ? "null" : result->value(0, 0), "application/json; charset=utf-8");
}

}  // namespace

void addRestRoutes(httplib::Server& server, Gateway& gw) {
  const std::string table = R"(/rest/v1/([A-Za-z_][A-Za-z0-9_]{0,62}))";
  server.Post(R"(/rest/v1/rpc/([A-Za-z_][A-Za-z0-9_]{0,62}))",
              [&gw](const auto& req, auto& res) { callFunction(gw, req, res); });
  server.Get(table, [&gw](const auto& req, auto& res) { selectRows(gw, req, res); });
  server.Post(table, [&gw](const auto& req, auto& res) { insertRows(gw, req, res); });
  server.Delete(table, [&gw](const auto& req, auto& res) { deleteRows(gw, req, res); });
}

}  // namespace pawlane::gateway
