// The register in the PostgreSQL database of the record files.  One writer
// at a time holds a transaction-scoped advisory lock, taken without
// waiting so that the caller decides how long to wait and what to show.
#include <libpq-fe.h>

#include <map>

#include "ledger/sql_database.h"
#include "storage/hidden_passwords.h"

namespace ledger {
namespace {

// The advisory lock key of the register's writer ("QREG").
constexpr const char* kWriterLock = "SELECT pg_try_advisory_xact_lock(1364346183)";

// "?" placeholders become "$1", "$2", ... (the register's SQL has no "?"
// inside literals).
std::string Numbered(const std::string& sql) {
  std::string out;
  int n = 0;
  for (char c : sql) {
    if (c == '?') {
      out += '$';
      out += std::to_string(++n);
    } else {
      out += c;
    }
  }
  return out;
}

std::string OneLine(const char* text) {
  std::string line = text == nullptr ? "" : text;
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  for (char& c : line) {
    if (c == '\n') c = ' ';
  }
  return line;
}

void IgnoreNotice(void*, const char*) {}

class PgDatabase : public SqlDatabase {
 public:
  ~PgDatabase() override { PQfinish(conn_); }

  bool Open(const std::string& conninfo, std::string* error) {
    conn_ = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn_) != CONNECTION_OK) {
      if (error != nullptr) *error = storage::HidePasswords(OneLine(PQerrorMessage(conn_)), conninfo);
      return false;
    }
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
    return true;
  }

  SqlResult Run(const std::string& sql, const std::vector<SqlValue>& params) override {
    std::vector<std::string> texts;
    texts.reserve(params.size());
    for (const SqlValue& p : params) texts.push_back(p.isNumber ? std::to_string(p.number) : p.text);
    std::vector<const char*> values;
    for (const std::string& t : texts) values.push_back(t.c_str());
    const std::string* name = Prepared(sql);
    if (name == nullptr) return SqlResult{false, OneLine(PQerrorMessage(conn_)), {}};
    PGresult* r = PQexecPrepared(conn_, name->c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0);
    SqlResult result = Rows(r);
    PQclear(r);
    return result;
  }

  WriteStart BeginWrite(std::string* error) override {
    if (!Exec("BEGIN", error)) return WriteStart::kFailed;
    SqlResult locked = Run(kWriterLock, {});
    if (locked.ok && !locked.rows.empty() && locked.At(0, 0) == "t") return WriteStart::kStarted;
    Rollback();
    if (!locked.ok) {
      if (error != nullptr) *error = locked.error;
      return WriteStart::kFailed;
    }
    return WriteStart::kBusy;
  }

  bool BeginRead(std::string* error) override {
    return Exec("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY", error);
  }

  bool Commit(std::string* error) override {
    if (Exec("COMMIT", error)) return true;
    Rollback();
    return false;
  }

  void Rollback() override {
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE) PQclear(PQexec(conn_, "ROLLBACK"));
  }

 private:
  SqlResult Rows(PGresult* r) {
    const ExecStatusType status = PQresultStatus(r);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
      return SqlResult{false, OneLine(PQerrorMessage(conn_)), {}};
    }
    SqlResult result;
    for (int row = 0; row < PQntuples(r); ++row) {
      std::vector<std::string>& out = result.rows.emplace_back();
      for (int c = 0; c < PQnfields(r); ++c) {
        out.emplace_back(PQgetvalue(r, row, c), static_cast<size_t>(PQgetlength(r, row, c)));
      }
    }
    return result;
  }

  bool Exec(const char* sql, std::string* error) {
    PGresult* r = PQexec(conn_, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok && error != nullptr) *error = OneLine(PQerrorMessage(conn_));
    return ok;
  }

  // The name of the statement prepared for sql, or nullptr when it cannot
  // be prepared (it is tried again at its next use).
  const std::string* Prepared(const std::string& sql) {
    auto found = names_.find(sql);
    if (found != names_.end()) return &found->second;
    const std::string name = "reg" + std::to_string(names_.size());
    PGresult* r = PQprepare(conn_, name.c_str(), Numbered(sql).c_str(), 0, nullptr);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok) return nullptr;
    return &names_.emplace(sql, name).first->second;
  }

  PGconn* conn_ = nullptr;
  std::map<std::string, std::string> names_;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenPgDatabase(const std::string& conninfo, std::string* error) {
  auto db = std::make_unique<PgDatabase>();
  if (!db->Open(conninfo, error)) return nullptr;
  return db;
}

}  // namespace ledger
