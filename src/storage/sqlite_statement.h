// A prepared SQLite statement with one owner, finalised when the owner goes,
// as PgResult holds a PostgreSQL result.  A connection closes only once
// every statement prepared on it is finalised, so the owners must go before
// the connection closes.
#pragma once

#include <sqlite3.h>

namespace storage {

class SqliteStatement {
 public:
  SqliteStatement() = default;
  ~SqliteStatement() { sqlite3_finalize(statement_); }
  SqliteStatement(SqliteStatement&& other) noexcept : statement_(other.statement_) {
    other.statement_ = nullptr;
  }
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Prepares sql on db (flags as sqlite3_prepare_v3 takes them), finalising
  // the statement held before.  Returns the SQLite result code; on failure
  // no statement is held.
  int Prepare(sqlite3* db, const char* sql, unsigned int flags = 0);
  // The statement, or nullptr when none is held.
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace storage
