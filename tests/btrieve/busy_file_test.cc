// A record file that another connection keeps busy past SQLite's wait
// answers 85 (file locked), the status the program's lock retry waits on,
// not an I/O error.  SQLite waits through its VFS's sleep; the test puts a
// VFS in front whose sleep returns at once, so the long wait passes in a
// moment without sleeping.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/record_manager.h"

namespace {

using namespace btrieve;
using namespace storage;

// The default VFS with a sleep that does not sleep, the default while it
// lives.
class SleeplessVfs {
 public:
  SleeplessVfs() : real_(sqlite3_vfs_find(nullptr)), vfs_(*real_) {
    vfs_.zName = "sleepless";
    vfs_.pNext = nullptr;
    vfs_.xSleep = [](sqlite3_vfs*, int microseconds) { return microseconds; };
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~SleeplessVfs() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
  }
  SleeplessVfs(const SleeplessVfs&) = delete;
  SleeplessVfs& operator=(const SleeplessVfs&) = delete;

 private:
  sqlite3_vfs* real_;
  sqlite3_vfs vfs_;
};

TEST(BusyFile, WriteLockHeldByAnotherConnectionPastTheWaitGives85) {
  ResetRecordManager();
  SleeplessVfs sleepless;
  testing_support::TempDir dir;
  const std::string path = dir.Sub("busy.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
  btr_test::File file;
  ASSERT_EQ(file.Open(path), 0);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(file.Insert(btr_test::Le32(1) + "abcd"), kStatusFileLocked);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(file.Insert(btr_test::Le32(1) + "abcd"), 0);
  ResetRecordManager();
}

}  // namespace
