#include "gateway.h"

namespace pawlane::gateway {

QueryResult::QueryResult(PGresult* res, std::optional<SqlError> error)
    : res_(res, PQclear), error_(std::move(error)) {}

int QueryResult::rows() const { return res_ ? PQntuples(res_.get()) : 0; }

bool QueryResult::isNull(int row, int col) const {
  return !res_ || row >= rows() || PQgetisnull(res_.get(), row, col);
}

std::string QueryResult::value(int row, int col) const {
  if (isNull(row, col)) return {};
  return {PQgetvalue(res_.get(), row, col),
          static_cast<size_t>(PQgetlength(res_.get(), row, col))};
}

static std::string errorField(const PGresult* res, int field) {
  const char* v = res ? PQresultErrorField(res, field) : nullptr;
  return v ? v : "";
}

QueryResult execSql(PGconn* conn, const std::string& sql, const SqlParams& params) {
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
  PGresult* res = PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0);
  auto status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return {res, std::nullopt};
  SqlError err{errorField(res, PG_DIAG_SQLSTATE), errorField(res, PG_DIAG_MESSAGE_PRIMARY),
               errorField(res, PG_DIAG_MESSAGE_DETAIL), errorField(res, PG_DIAG_MESSAGE_HINT)};
  if (err.code.empty()) err.code = "08006";  // connection lost: no server-side state
  if (err.message.empty()) err.message = PQerrorMessage(conn);
  return {res, err};
}

Pool::~Pool() {
  for (PGconn* c : idle_) PQfinish(c);
}

Pool::Lease Pool::acquire() {
  {
    std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      PGconn* c = idle_.back();
      idle_.pop_back();
      return Lease(*this, c);
    }
  }
  PGconn* c = PQconnectdb(conninfo_.c_str());
  if (PQstatus(c) != CONNECTION_OK) {
    PQfinish(c);
    c = nullptr;
  }
  return Lease(*this, c);
}

void Pool::release(PGconn* conn) {
  if (!conn) return;
  if (PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE) {
    PQfinish(conn);
    return;
  }
  std::lock_guard lock(mutex_);
  idle_.push_back(conn);
}

Transaction::Transaction(PGconn* conn, bool readOnly) : conn_(conn) {
  begun_ = conn_ && execSql(conn_, readOnly ? "begin read only" : "begin").ok();
}

Transaction::~Transaction() {
  if (begun_ && !done_) execSql(conn_, "rollback");
}

QueryResult Transaction::exec(const std::string& sql, const SqlParams& params) {
  return execSql(conn_, sql, params);
}

std::optional<SqlError> Transaction::commit() {
  done_ = true;
  auto r = execSql(conn_, "commit");
  if (!r.ok()) return r.error();
  return std::nullopt;
}

}  // namespace pawlane::gateway
