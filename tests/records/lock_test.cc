// Two processes: a record or a file held by another process, and how the
// reads and the open wait for it.  The other process is a fork that opens
// its own handles and answers over pipes; the waits are stand-ins that
// release the other process's hold, so nothing sleeps.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <functional>

#include "../support/btr_helpers.h"
#include "../support/records_fixture.h"
#include "btrieve/record_manager.h"
#include "console/console_state.h"
#include "platform/waits.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "terminal/headless_backend.h"

namespace records_test {
namespace {

// The other process: runs body, talks over two pipes.
class OtherProcess {
 public:
  explicit OtherProcess(const std::function<void(OtherProcess&)>& body) {
    if (::pipe(toChild_) != 0 || ::pipe(toParent_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      inChild_ = true;
      body(*this);
      ::_exit(0);
    }
  }
  ~OtherProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : {toChild_[0], toChild_[1], toParent_[0], toParent_[1]}) ::close(fd);
  }
  void Send(char c) {
    if (::write(inChild_ ? toParent_[1] : toChild_[1], &c, 1) != 1 && inChild_) ::_exit(3);
  }
  char Receive() {
    char c = 0;
    return ::read(inChild_ ? toChild_[0] : toParent_[0], &c, 1) == 1 ? c : '\0';
  }

 private:
  int toChild_[2] = {-1, -1};
  int toParent_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool inChild_ = false;
};

class LockTest : public RecordsTest {
 protected:
  void SetUp() override {
    RecordsTest::SetUp();
    MakeTypesFile("TYPES", {TypeRecord(1, "ONE"), TypeRecord(2, "TWO"), TypeRecord(3, "THREE")});
    path = session.dir().Sub("DADES/TYPES.dat");
  }
  void Open() {
    std::int16_t status = -1;
    records::OpenRecordFile(kId, Root("TYPES"), area, status);
    ASSERT_EQ(status, 0);
  }
  bool LockMessageShown() const {
    return terminal::DumpScreen(false).find(records::LockMessage()) != std::string::npos;
  }
  // Another process that holds record 2 locked until told 'U'.
  std::unique_ptr<OtherProcess> HoldRecordTwo() {
    auto other = std::make_unique<OtherProcess>([this](OtherProcess& p) {
      btr_test::File f;
      if (f.Open(path) != 0) ::_exit(1);
      p.Send(static_cast<char>(f.Get(btrieve::kBtrGetEqual + 200, 0, "\x02").status));
      if (p.Receive() != 'U') ::_exit(2);
      f.Unlock();
      p.Send('u');
      p.Receive();
    });
    EXPECT_EQ(other->Receive(), 0);
    return other;
  }

  static constexpr std::int16_t kId = 503;
  std::array<unsigned char, kRecordLength> area{};
  std::string path;
};

TEST_F(LockTest, ModeOneShowsTheMessageBeforeTheSecondTryAndGoesOnWhenReleased) {
  config::Settings().SessionLanguage = "GLG";
  auto other = HoldRecordTwo();
  Open();
  std::vector<bool> messageAtWait;
  platform::SetSleepStandIn([&](int ms) {
    Waited(ms);
    messageAtWait.push_back(LockMessageShown());
    if (sleeps.size() == 2 || sleeps.size() > 5) {
      other->Send('U');
      other->Receive();
    }
  });
  std::int16_t status = -1;
  records::SetLockMode(kId, "A", status);
  records::FindByKey(kId, 0, "\x02", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(area[0], 2);
  EXPECT_EQ(sleeps, (std::vector<int>{5001, 5001}));  // round(0.5 * 10000 + 1)
  EXPECT_EQ(messageAtWait, (std::vector<bool>{false, true}));
  EXPECT_FALSE(LockMessageShown());
  EXPECT_EQ(console::Console().depth, 0);
  EXPECT_EQ(records::LockMessage(), "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.");
}

TEST_F(LockTest, ModeTwoGets84AtOnceAndModeZeroReadsWithoutLocking) {
  auto other = HoldRecordTwo();
  Open();
  std::int16_t status = -1;
  records::SetLockMode(kId, "B", status);
  records::FindByKey(kId, 0, "\x02", 0, status);
  EXPECT_EQ(status, btrieve::kStatusRecordLocked);
  EXPECT_TRUE(sleeps.empty());
  EXPECT_FALSE(LockMessageShown());
  records::SetLockMode(kId, "D", status);
  records::FindByKey(kId, 0, "\x02", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(area[0], 2);
}

TEST_F(LockTest, ExclusiveOpenByAnotherProcessIsWaitedFor) {
  OtherProcess other([this](OtherProcess& p) {
    btr_test::File f;
    p.Send(static_cast<char>(f.Open(path, btrieve::kOpenExclusive)));
    if (p.Receive() != 'U') ::_exit(2);
    f.Close();
    p.Send('u');
    p.Receive();
  });
  ASSERT_EQ(other.Receive(), 0);
  platform::SetSleepStandIn([&](int ms) {
    Waited(ms);
    if (sleeps.size() == 3) {
      other.Send('U');
      other.Receive();
    }
  });
  Open();
  EXPECT_EQ(sleeps, (std::vector<int>{3000, 3000, 3000}));
  EXPECT_TRUE(endings.empty());
}

// Another process that holds the file exclusively until it is killed.
std::unique_ptr<OtherProcess> HoldFileExclusively(const std::string& path) {
  auto other = std::make_unique<OtherProcess>([path](OtherProcess& p) {
    btr_test::File f;
    p.Send(static_cast<char>(f.Open(path, btrieve::kOpenExclusive)));
    p.Receive();
  });
  EXPECT_EQ(other->Receive(), 0);
  return other;
}

TEST_F(LockTest, BoundedWaitOnAHeldFileTellsOnceThenEndsTheProgram) {
  auto other = HoldFileExclusively(path);
  std::vector<std::string> told;
  console::Console().messageEcho = [&told](const std::string& text) { told.push_back(text); };
  records::RecordFiles().lockWaitLimit = 10000;
  std::int16_t status = -1;
  records::OpenRecordFile(kId, Root("TYPES"), area, status);
  console::Console().messageEcho = nullptr;
  EXPECT_EQ(status, btrieve::kStatusFileLocked);
  EXPECT_EQ(sleeps, (std::vector<int>{3000, 3000, 3000, 1000}));
  EXPECT_EQ(endings, std::vector<int>{1});
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[0], records::LockMessage());
  EXPECT_EQ(told[1], records::OpenFailureMessage(Root("TYPES"), btrieve::kStatusFileLocked));
}

TEST_F(LockTest, BoundedWaitOnAHeldRecordGivesTheLockStatusBack) {
  auto other = HoldRecordTwo();
  Open();
  records::RecordFiles().lockWaitLimit = 6000;
  std::int16_t status = -1;
  records::SetLockMode(kId, "A", status);
  records::FindByKey(kId, 0, "\x02", 0, status);
  EXPECT_EQ(status, btrieve::kStatusRecordLocked);
  EXPECT_EQ(sleeps, (std::vector<int>{5001, 999}));
  EXPECT_FALSE(LockMessageShown());
  EXPECT_EQ(console::Console().depth, 0);
}

}  // namespace
}  // namespace records_test
