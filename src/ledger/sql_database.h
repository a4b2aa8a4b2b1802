// The database the register lives in: an SQLite file under the installation
// root, or the PostgreSQL database of the record files (KELDB).  The
// register speaks one plain SQL to both: TEXT and BIGINT columns, "?" for
// each parameter, values as text or 64-bit integers, results as text.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace ledger {

// A statement parameter: a text or an integer.
struct SqlValue {
  SqlValue(std::string text) : text(std::move(text)) {}  // NOLINT: implicit on purpose
  SqlValue(const char* text) : text(text) {}              // NOLINT
  SqlValue(int64_t number) : isNumber(true), number(number) {}  // NOLINT
  SqlValue(int number) : isNumber(true), number(number) {}      // NOLINT
  bool isNumber = false;
  int64_t number = 0;
  std::string text;
};

// A statement's rows, each value as text (NULL as "").  ok false: the
// database's reason in error, and no rows.
struct SqlResult {
  bool ok = true;
  std::string error;
  std::vector<std::vector<std::string>> rows;
  const std::string& At(size_t row, size_t column) const { return rows.at(row).at(column); }
};

// An integer column's text as a number (0 for NULL's empty text).
inline int64_t SqlNumber(const std::string& text) {
  return std::strtoll(text.c_str(), nullptr, 10);
}

enum class WriteStart { kStarted, kBusy, kFailed };

class SqlDatabase {
 public:
  virtual ~SqlDatabase() = default;
  // Runs one statement.  Statements are prepared once per database and
  // kept: the same SQL text runs again without being parsed.
  virtual SqlResult Run(const std::string& sql, const std::vector<SqlValue>& params = {}) = 0;
  // Starts a write transaction holding the register's one writer lock, or
  // says at once that another process holds it (kBusy).
  virtual WriteStart BeginWrite(std::string* error) = 0;
  // A read transaction: what it reads is one state of the register.
  virtual bool BeginRead(std::string* error) = 0;
  // Ends the transaction: committed (synced) or rolled back.
  virtual bool Commit(std::string* error) = 0;
  virtual void Rollback() = 0;
};

// Opens (creating it when missing, as a private file) the SQLite register.
std::unique_ptr<SqlDatabase> OpenSqliteDatabase(const std::string& nativePath, std::string* error);
// Connects to the PostgreSQL database of conninfo.
std::unique_ptr<SqlDatabase> OpenPgDatabase(const std::string& conninfo, std::string* error);

}  // namespace ledger
