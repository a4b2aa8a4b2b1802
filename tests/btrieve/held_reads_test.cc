// Reads of one open share a read transaction between writes.  What must
// hold: a write anywhere reaches the next read, the open's own writes are
// not blocked by it, and waiting for the operator ends it, so another
// program's writes can be folded back into the file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/record_manager.h"
#include "storage/sqlite_statement.h"
#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"

namespace {

using namespace btrieve;
using namespace storage;
using namespace terminal;
using btr_test::File;

class HeldReads : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecordManager();
    path = dir.Sub("held.dat");
    ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
    ASSERT_EQ(reader.Open(path), 0);
    ASSERT_EQ(writer.Open(path), 0);
  }
  void TearDown() override { ResetRecordManager(); }

  static std::string Rec(uint32_t id, const char* tail = "abcd") {
    return btr_test::Le32(id) + tail;
  }

  // A checkpoint that must fold the whole log into the file and empty it,
  // from a connection of its own that does not wait: whether a reader's
  // snapshot was in its way.
  bool CheckpointBlocked() const {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    bool busy = false;
    {
      storage::SqliteStatement st;
      st.Prepare(db, "PRAGMA wal_checkpoint(TRUNCATE)");
      EXPECT_EQ(sqlite3_step(st.get()), SQLITE_ROW);
      busy = sqlite3_column_int(st.get(), 0) != 0;
    }  // finalised before the connection closes
    sqlite3_close(db);
    return busy;
  }

  testing_support::TempDir dir;
  std::string path;
  File reader, writer;
};

TEST_F(HeldReads, OwnWritesAndOthersWritesGoOnBetweenReads) {
  ASSERT_EQ(writer.Insert(Rec(1)), 0);
  ASSERT_EQ(reader.Get(kBtrGetFirst, 0).status, 0);
  ASSERT_EQ(reader.Insert(Rec(2)), 0);  // a write from the reading open itself
  ASSERT_EQ(writer.Get(kBtrGetEqual, 0, btr_test::Le32(1)).status, 0);
  ASSERT_EQ(writer.Update(Rec(1, "wxyz")), 0);
  EXPECT_EQ(reader.Get(kBtrStepFirst, 0).data, Rec(1, "wxyz"));
  EXPECT_EQ(reader.Get(kBtrGetLast, 0).data, Rec(2));
}

TEST_F(HeldReads, WaitingForTheOperatorLetsACheckpointEmptyTheLog) {
  for (uint32_t id = 1; id <= 50; ++id) ASSERT_EQ(writer.Insert(Rec(id)), 0);
  ASSERT_EQ(reader.Get(kBtrGetEqual, 0, btr_test::Le32(25)).status, 0);
  ASSERT_EQ(writer.Insert(Rec(51)), 0);  // the log now goes past the reader's snapshot
  EXPECT_TRUE(CheckpointBlocked());

  SetInputWaitHook(ReleaseHeldReads);
  UseHeadlessConsole().PushText("x");
  NextConsoleEvent();
  EXPECT_FALSE(CheckpointBlocked());
  SetInputWaitHook(nullptr);
  ResetConsole();
  EXPECT_EQ(reader.Get(kBtrGetEqual, 0, btr_test::Le32(51)).status, 0);
}

}  // namespace
