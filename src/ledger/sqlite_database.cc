// The register in an SQLite file.  Write-ahead logging lets listings read
// while a cycle writes; synchronous FULL makes a committed cycle survive a
// power cut, not only a killed process.  BEGIN IMMEDIATE takes the file's
// one write lock at once, so two workstations never number at the same time.
#include <sqlite3.h>

#include <map>

#include "ledger/sql_database.h"
#include "platform/new_file.h"
#include "platform/waits.h"
#include "storage/sqlite_statement.h"

namespace ledger {
namespace {

// How long a read waits for a writer's moment of checkpointing.
constexpr int kBusyTimeoutMs = 2000;

class SqliteDatabase : public SqlDatabase {
 public:
  ~SqliteDatabase() override {
    statements_.clear();
    sqlite3_close(db_);
  }

  bool Open(const std::string& path, std::string* error) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                                   nullptr);
    if (rc != SQLITE_OK) return Fail(error);
    // A new file holds the office's data: no access for others (its
    // journal files take the same mode).
    platform::KeepFromOthers(path);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Two programs opening a new register at once: turning it to
    // write-ahead logging may find it busy without waiting (SQLite does not
    // wait where waiting could deadlock), so the step is tried again.
    for (int attempt = 0;; ++attempt) {
      const int rc = sqlite3_exec(db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL",
                                  nullptr, nullptr, nullptr);
      if (rc == SQLITE_OK) return true;
      if (rc != SQLITE_BUSY || attempt == 100) return Fail(error);
      platform::SleepMilliseconds(50);
    }
  }

  SqlResult Run(const std::string& sql, const std::vector<SqlValue>& params) override {
    SqlResult result;
    sqlite3_stmt* s = Statement(sql, &result);
    if (s == nullptr) return result;
    for (size_t i = 0; i < params.size(); ++i) {
      const int at = static_cast<int>(i) + 1;
      if (params[i].isNumber) {
        sqlite3_bind_int64(s, at, params[i].number);
      } else {
        sqlite3_bind_text(s, at, params[i].text.data(), static_cast<int>(params[i].text.size()),
                          SQLITE_STATIC);
      }
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      std::vector<std::string>& row = result.rows.emplace_back();
      for (int c = 0; c < sqlite3_column_count(s); ++c) {
        const unsigned char* text = sqlite3_column_text(s, c);
        row.emplace_back(text == nullptr ? "" : reinterpret_cast<const char*>(text),
                         static_cast<size_t>(sqlite3_column_bytes(s, c)));
      }
    }
    if (rc != SQLITE_DONE) {
      result = SqlResult{false, sqlite3_errmsg(db_), {}};
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return result;
  }

  // Answers at once: how long to wait for another writer is the caller's
  // to decide (and to show).
  WriteStart BeginWrite(std::string* error) override {
    sqlite3_busy_timeout(db_, 0);
    const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (rc == SQLITE_OK) return WriteStart::kStarted;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return WriteStart::kBusy;
    Fail(error);
    return WriteStart::kFailed;
  }

  bool BeginRead(std::string* error) override { return Exec("BEGIN", error); }

  bool Commit(std::string* error) override {
    if (Exec("COMMIT", error)) return true;
    Rollback();
    return false;
  }

  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }

 private:
  bool Fail(std::string* error) {
    if (error != nullptr) *error = db_ == nullptr ? "out of memory" : sqlite3_errmsg(db_);
    return false;
  }

  bool Exec(const char* sql, std::string* error) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail(error);
  }

  sqlite3_stmt* Statement(const std::string& sql, SqlResult* result) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) return found->second.get();
    storage::SqliteStatement statement;
    if (statement.Prepare(db_, sql.c_str(), SQLITE_PREPARE_PERSISTENT) != SQLITE_OK) {
      *result = SqlResult{false, sqlite3_errmsg(db_), {}};
      return nullptr;
    }
    return statements_.emplace(sql, std::move(statement)).first->second.get();
  }

  sqlite3* db_ = nullptr;
  std::map<std::string, storage::SqliteStatement> statements_;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenSqliteDatabase(const std::string& nativePath,
                                                std::string* error) {
  auto db = std::make_unique<SqliteDatabase>();
  if (!db->Open(nativePath, error)) return nullptr;
  return db;
}

}  // namespace ledger
