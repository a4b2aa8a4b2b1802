// The statement owner's moves and preparing, which finalise what was held.
#include "storage/sqlite_statement.h"

namespace storage {

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = other.statement_;
    other.statement_ = nullptr;
  }
  return *this;
}

int SqliteStatement::Prepare(sqlite3* db, const char* sql, unsigned int flags) {
  sqlite3_finalize(statement_);
  statement_ = nullptr;
  return sqlite3_prepare_v3(db, sql, -1, flags, &statement_, nullptr);
}

}  // namespace storage
