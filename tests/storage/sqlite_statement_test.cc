// The statement owner: each prepared statement finalised exactly once, so
// the connection closes with none left behind.
#include "storage/sqlite_statement.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using storage::SqliteStatement;

// The statements prepared on db and not yet finalised.
int LiveStatements(sqlite3* db) {
  int count = 0;
  for (sqlite3_stmt* st = sqlite3_next_stmt(db, nullptr); st != nullptr;
       st = sqlite3_next_stmt(db, st)) {
    ++count;
  }
  return count;
}

TEST(SqliteStatement, MovesAndPreparesFinaliseWhatWasHeldAndTheConnectionCloses) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  {
    SqliteStatement first;
    ASSERT_EQ(first.Prepare(db, "SELECT 1"), SQLITE_OK);
    SqliteStatement moved = std::move(first);
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(sqlite3_step(moved.get()), SQLITE_ROW);

    SqliteStatement other;
    ASSERT_EQ(other.Prepare(db, "SELECT 2"), SQLITE_OK);
    other = std::move(moved);  // SELECT 2 goes
    EXPECT_EQ(LiveStatements(db), 1);
    EXPECT_EQ(sqlite3_column_int(other.get(), 0), 1);

    EXPECT_EQ(other.Prepare(db, "SELECT FROM nowhere"), SQLITE_ERROR);
    EXPECT_EQ(other.get(), nullptr);
    EXPECT_EQ(LiveStatements(db), 0);
    ASSERT_EQ(other.Prepare(db, "SELECT 3"), SQLITE_OK);
  }
  EXPECT_EQ(sqlite3_close(db), SQLITE_OK);  // busy while a statement is left
}

}  // namespace
