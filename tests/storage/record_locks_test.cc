// Two processes contending for a record and for a file.  The other process
// is a fork that opens its own handles and answers over pipes, so each step
// happens in a known order without any sleeping.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "../support/btr_backends.h"
#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "storage/record_backend.h"

namespace {

using namespace btrieve;
using namespace storage;
using btr_test::File;

class Child {
 public:
  explicit Child(const std::function<void(Child&)>& body) {
    if (::pipe(toChild_) != 0 || ::pipe(toParent_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      inChild_ = true;
      body(*this);
      ::_exit(0);  // no destructors: the parent's state is not ours to close
    }
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : {toChild_[0], toChild_[1], toParent_[0], toParent_[1]}) ::close(fd);
  }
  void Send(char c) {
    if (::write(inChild_ ? toParent_[1] : toChild_[1], &c, 1) != 1) ::_exit(3);
  }
  char Receive() {
    char c = 0;
    return ::read(inChild_ ? toChild_[0] : toParent_[0], &c, 1) == 1 ? c : '\0';
  }
  // The child's statuses travel as one byte.
  void SendStatus(int16_t status) { Send(static_cast<char>(status)); }
  void Kill() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  int toChild_[2] = {-1, -1};
  int toParent_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool inChild_ = false;
};

class LockTest : public ::testing::TestWithParam<btr_test::Backend> {
 protected:
  void SetUp() override {
    ResetRecordManager();
    ASSERT_NO_FATAL_FAILURE(btr_test::UseBackend(GetParam()));
    path = dir.Sub("locks.dat");
    ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
    File f;
    ASSERT_EQ(f.Open(path), 0);
    for (uint32_t id : {1, 2, 3}) ASSERT_EQ(f.Insert(btr_test::Le32(id) + "data"), 0);
    ResetRecordManager();  // the fork starts with no open files
  }
  void TearDown() override {
    ResetRecordManager();
    SetRecordDatabase({});
  }

  testing_support::TempDir dir;
  std::string path;
};

TEST_P(LockTest, RecordHeldByAnotherProcessGives84OrWaits) {
  Child child([&](Child& c) {
    File f;
    c.SendStatus(f.Open(path));
    c.SendStatus(f.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(1)).status);
    c.Receive();  // release
    c.SendStatus(f.Unlock());
    c.Receive();
  });
  ASSERT_EQ(child.Receive(), 0);
  ASSERT_EQ(child.Receive(), 0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  // Plain reads ignore the lock; locking reads and writes meet it.
  EXPECT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(1)).status, 0);
  EXPECT_EQ(f.Update(btr_test::Le32(1) + "new!"), kStatusRecordLocked);
  EXPECT_EQ(f.Delete(), kStatusRecordLocked);
  EXPECT_EQ(f.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(1)).status,
            kStatusRecordLocked);
  EXPECT_EQ(f.Get(kBtrGetFirst + kBtrMultipleNoWait, 0).status, kStatusRecordLocked);
  EXPECT_EQ(f.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(2)).status, 0);
  // The waiting form returns once the other process lets go.
  child.Send('r');
  EXPECT_EQ(f.Get(kBtrGetEqual + kBtrSingleWait, 0, btr_test::Le32(1)).status, 0);
  EXPECT_EQ(child.Receive(), 0);
  EXPECT_EQ(f.Update(btr_test::Le32(1) + "new!"), 0);
}

TEST_P(LockTest, LocksOfAKilledProcessAreReleased) {
  Child child([&](Child& c) {
    File f;
    f.Open(path);
    c.SendStatus(f.Get(kBtrGetFirst + kBtrMultipleNoWait, 0).status);
    c.SendStatus(f.Get(kBtrGetNext + kBtrMultipleNoWait, 0).status);
    c.Receive();
  });
  ASSERT_EQ(child.Receive(), 0);
  ASSERT_EQ(child.Receive(), 0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(1)).status,
            kStatusRecordLocked);
  EXPECT_EQ(f.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(2)).status,
            kStatusRecordLocked);
  child.Kill();
  // The system drops a dead process's file locks at once; a database server
  // finds its client gone a moment later, so there the waiting form tells.
  const uint16_t lock =
      GetParam() == btr_test::Backend::kSqlite ? kBtrSingleNoWait : kBtrSingleWait;
  EXPECT_EQ(f.Get(kBtrGetEqual + lock, 0, btr_test::Le32(1)).status, 0);
  EXPECT_EQ(f.Get(kBtrGetEqual + lock, 0, btr_test::Le32(2)).status, 0);
}

TEST_P(LockTest, ExclusiveOpenKeepsOtherProcessesOutWith85) {
  Child child([&](Child& c) {
    File f;
    c.SendStatus(f.Open(path, kOpenExclusive));
    c.Receive();
    c.SendStatus(f.Close());
    c.Receive();
    File g;
    c.SendStatus(g.Open(path, kOpenExclusive));  // while the parent has it open
  });
  ASSERT_EQ(child.Receive(), 0);
  File f;
  EXPECT_EQ(f.Open(path), kStatusFileLocked);
  EXPECT_EQ(f.Open(path, kOpenExclusive), kStatusFileLocked);
  child.Send('c');
  ASSERT_EQ(child.Receive(), 0);
  EXPECT_EQ(f.Open(path), 0);
  child.Send('x');
  EXPECT_EQ(child.Receive(), kStatusFileLocked);
}

TEST_P(LockTest, SingleLockMovesWithTheNextLockingReadAndUnlockReleasesIt) {
  File a, b;
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(b.Open(path), 0);  // two opens in one process exclude each other too
  ASSERT_EQ(a.Get(kBtrGetFirst + kBtrSingleNoWait, 0).status, 0);
  EXPECT_EQ(b.Get(kBtrGetFirst + kBtrSingleNoWait, 0).status, kStatusRecordLocked);
  ASSERT_EQ(a.Get(kBtrGetNext + kBtrSingleNoWait, 0).status, 0);
  EXPECT_EQ(b.Get(kBtrGetFirst + kBtrSingleNoWait, 0).status, 0);
  EXPECT_EQ(b.Get(kBtrGetNext + kBtrSingleNoWait, 0).status, kStatusRecordLocked);
  ASSERT_EQ(a.Unlock(), 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(2)).status, 0);
  // Multiple locks stay until they are released one by one or all together.
  ASSERT_EQ(a.Get(kBtrGetEqual + kBtrMultipleNoWait, 0, btr_test::Le32(1)).status, 0);
  uint32_t first = a.Position();
  ASSERT_EQ(a.Get(kBtrGetEqual + kBtrMultipleNoWait, 0, btr_test::Le32(3)).status, 0);
  EXPECT_EQ(b.Direct(first, 0, kBtrSingleNoWait).status, kStatusRecordLocked);
  ASSERT_EQ(a.Unlock(-1, first), 0);
  EXPECT_EQ(b.Direct(first, 0, kBtrSingleNoWait).status, 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(3)).status,
            kStatusRecordLocked);
  // A wait for a record this process holds itself could never end.
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleWait, 0, btr_test::Le32(3)).status, kStatusRecordLocked);
  // Updating the record of a single lock leaves the multiple locks held.
  ASSERT_EQ(a.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(2)).status, 0);
  ASSERT_EQ(a.Update(btr_test::Le32(2) + "upd!"), 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(2)).status, 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(3)).status,
            kStatusRecordLocked);
  ASSERT_EQ(a.Unlock(-2), 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(3)).status, 0);
  ASSERT_EQ(b.Close(), 0);
  EXPECT_EQ(a.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(3)).status, 0);
}

BTR_ON_BOTH_BACKENDS(LockTest);

// The side file of a SQLite record file (X.dat-lock) is written through
// its mapped write count: a link planted under its name is refused, and the
// file it leads to stays as it was.
TEST(SideFile, LinkPlantedAtTheLockSideFileIsRefusedNotWrittenThrough) {
  ResetRecordManager();
  SetRecordDatabase({});
  testing_support::TempDir dir;
  const std::string path = dir.Sub("units.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
  std::filesystem::remove(path + "-lock");
  dir.Write("target", "twelve bytes");
  std::filesystem::create_symlink(dir.Sub("target"), path + "-lock");
  File f;
  EXPECT_EQ(f.Open(path), kStatusAccessDenied);
  EXPECT_EQ(f.Open(path, kOpenReadOnly), kStatusAccessDenied);
  std::filesystem::remove(path + "-lock");
  std::filesystem::create_hard_link(dir.Sub("target"), path + "-lock");
  EXPECT_EQ(f.Open(path), kStatusAccessDenied);
  EXPECT_EQ(dir.Read("target"), "twelve bytes");
  std::filesystem::remove(path + "-lock");
  EXPECT_EQ(f.Open(path), 0);
}

// Two names of one file (a symbolic link to it) share its file lock, its
// record locks and its write count.
TEST(SideFile, TwoNamesOfOneFileShareItsLocksAndWriteCount) {
  ResetRecordManager();
  SetRecordDatabase({});
  testing_support::TempDir dir;
  const std::string path = dir.Sub("real/units.dat");
  const std::string other = dir.Sub("other/units.dat");
  std::filesystem::create_directories(dir.Sub("real"));
  std::filesystem::create_directories(dir.Sub("other"));
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
  std::filesystem::create_symlink(path, other);
  File a, b;
  ASSERT_EQ(a.Open(path, kOpenExclusive), 0);
  EXPECT_EQ(b.Open(other), kStatusFileLocked);
  ASSERT_EQ(a.Close(), 0);
  ASSERT_EQ(b.Open(other, kOpenExclusive), 0);
  EXPECT_EQ(a.Open(path), kStatusFileLocked);
  ASSERT_EQ(b.Close(), 0);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(b.Open(other), 0);
  for (uint32_t id : {1, 3, 5}) ASSERT_EQ(a.Insert(btr_test::Le32(id) + "data"), 0);
  ASSERT_EQ(a.Get(kBtrGetEqual + kBtrSingleNoWait, 0, btr_test::Le32(5)).status, 0);
  EXPECT_EQ(b.Get(kBtrGetEqual + kBtrSingleWait, 0, btr_test::Le32(5)).status, kStatusRecordLocked);
  // b reads ahead past 3; a write through the other name drops what it read.
  ASSERT_EQ(b.Get(kBtrGetFirst, 0).status, 0);
  ASSERT_EQ(b.Get(kBtrGetNext, 0).data, btr_test::Le32(3) + "data");
  ASSERT_EQ(a.Insert(btr_test::Le32(4) + "data"), 0);
  EXPECT_EQ(b.Get(kBtrGetNext, 0).data, btr_test::Le32(4) + "data");
}

}  // namespace
