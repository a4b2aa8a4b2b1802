// recutil as a separate process: a load or a copy killed with SIGKILL
// half-way leaves its destination with its earlier content, the lock
// command holds a record or the whole file against this process until it
// dies, --db or KELDB puts the files in a database, and copy carries the
// register with them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../support/btr_helpers.h"
#include "../support/pg_cluster.h"
#include "../support/temp_dir.h"
#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "ledger/register.h"

extern char** environ;

namespace {

using namespace btrieve;
using namespace storage;

// A running recutil with one of its output streams on a pipe.
class Recutil {
 public:
  Recutil(const std::vector<std::string>& args, int watchedFd) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], watchedFd);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    // Never the test's terminal: a command that would ask on one must not wait.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> all = {RECUTIL_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, RECUTIL_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
  }
  ~Recutil() {
    Kill();
    if (out_ != nullptr) std::fclose(out_);
  }
  // The next line of the watched stream ("" at its end).
  std::string Line() {
    char buffer[256];
    return out_ != nullptr && std::fgets(buffer, sizeof buffer, out_) ? buffer : "";
  }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  std::FILE* out_ = nullptr;
};

int RunRecutil(const std::vector<std::string>& args) {
  return Recutil(args, 1).Wait();
}

std::string Sequential(uint32_t from, uint32_t count) {
  std::string s;
  for (uint32_t id = from; id < from + count; ++id) {
    std::string record = btr_test::Le32(id) + "record number " + std::to_string(id);
    record.resize(32, ' ');
    s += "32," + record + "\r\n";
  }
  return s;
}

class RecutilProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecordManager();
    dir.Write("people.keys", "record 32\nkey: 1+4 unsigned\nkey dup: 5+10 string\n");
    ASSERT_EQ(RunRecutil({"dictionary", dir.Sub("people.keys"), dir.Sub("ddf/people.xdf")}), 0);
    file = dir.Sub("people.dat");
    ASSERT_EQ(RunRecutil({"create", dir.Sub("ddf/people.xdf"), file}), 0);
  }
  void TearDown() override { ResetRecordManager(); }
  // Changes the file behind the record manager's back.
  void Damage(const std::string& sql) {
    ResetRecordManager();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  // What recutil check prints, with the folder left out; its exit code
  // must say the same.
  std::string Check() {
    Recutil check({"check", file}, 1);
    std::string said;
    for (std::string line = check.Line(); !line.empty(); line = check.Line()) said += line;
    const int code = check.Wait();
    EXPECT_EQ(code, said.ends_with(": sound\n") ? 0 : 1) << said;
    for (size_t at; (at = said.find(dir.path() + "/")) != std::string::npos;) {
      said.erase(at, dir.path().size() + 1);
    }
    return said;
  }

  testing_support::TempDir dir;
  std::string file;
};

TEST_F(RecutilProcessTest, LoadKilledHalfWayLeavesTheFirstContent) {
  dir.Write("first.seq", Sequential(1, 50));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  dir.Write("second.seq", Sequential(1000, 200000));
  {
    Recutil load({"load", file, dir.Sub("second.seq"), "--progress", "2000"}, 2);
    ASSERT_EQ(load.Line(), "loaded 2000\n");
    load.Kill();
  }
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("saved.seq")}), 0);
  EXPECT_EQ(dir.Read("saved.seq"), Sequential(1, 50));
  btr_test::File f;
  ASSERT_EQ(f.Open(file), 0);
  EXPECT_EQ(f.Stat().data.substr(6, 4), btr_test::Le32(50));
  // The file takes writes again at once.
  EXPECT_EQ(f.Insert(Sequential(60, 1).substr(3, 32)), 0);
}

TEST_F(RecutilProcessTest, FailedLoadChangesNothingAndNamesTheRecord) {
  dir.Write("first.seq", Sequential(1, 5));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  dir.Write("clash.seq", Sequential(10, 3) + Sequential(3, 1));
  EXPECT_EQ(RunRecutil({"load", file, dir.Sub("clash.seq")}), 1);
  dir.Write("broken.seq", Sequential(20, 2) + "32,short\r\n");
  EXPECT_EQ(RunRecutil({"load", file, dir.Sub("broken.seq")}), 1);
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("saved.seq")}), 0);
  EXPECT_EQ(dir.Read("saved.seq"), Sequential(1, 5));
  dir.Write("new.seq", Sequential(7, 2));
  ASSERT_EQ(RunRecutil({"load", "--replace", file, dir.Sub("new.seq")}), 0);
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("saved.seq")}), 0);
  EXPECT_EQ(dir.Read("saved.seq"), Sequential(7, 2));
}

TEST_F(RecutilProcessTest, GetEqualSeesALoadByAnotherProcess) {
  dir.Write("first.seq", Sequential(1, 5));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  btr_test::File f;
  ASSERT_EQ(f.Open(file), 0);
  ASSERT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(3)).status, 0);
  ASSERT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(8)).status, kStatusKeyNotFound);
  dir.Write("second.seq", Sequential(6, 5));
  ASSERT_EQ(RunRecutil({"load", "--replace", file, dir.Sub("second.seq")}), 0);
  EXPECT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(3)).status, kStatusKeyNotFound);
  EXPECT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(8)).data, Sequential(8, 1).substr(3, 32));
}

// Records cut to one byte, the way a damaged copy leaves them: save ends
// with the record-file status instead of writing one record for ever.
TEST_F(RecutilProcessTest, SaveOfRecordsShorterThanTheirKeysEnds) {
  dir.Write("first.seq", Sequential(1000, 20));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  Damage("UPDATE records SET data = substr(data, 1, 1)");
  Recutil save({"save", file, "-"}, 1);
  std::string written;
  for (std::string line = save.Line(); !line.empty() && written.size() < 4096; line = save.Line()) {
    written += line;
  }
  if (written.size() >= 4096) {
    save.Kill();
    FAIL() << "save goes on writing: " << written.substr(0, 80);
  }
  EXPECT_EQ(written, "");
  EXPECT_EQ(save.Wait(), 1);
}

TEST_F(RecutilProcessTest, CheckSaysWhatIsWrong) {
  dir.Write("first.seq", Sequential(1000, 20));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  EXPECT_EQ(Check(), "people.dat: sound\n");
  Damage(
      "UPDATE records SET data = substr(data, 1, 5) WHERE pos = 3;"
      "DELETE FROM records WHERE pos = 7;"
      "UPDATE records SET data = X'FFFFFFFF' || substr(data, 5) WHERE pos = 9");
  EXPECT_EQ(Check(),
            "record at position 3: 5 bytes, the record length is 32\n"
            "key 0: the entry for position 7 has no record\n"
            "key 1: the entry for position 7 has no record\n"
            "key 0: the record at position 9 is not indexed under its key value\n"
            "key 0: 20 entries for 17 records with a key value\n"
            "key 1: 20 entries for 18 records with a key value\n"
            "people.dat: damaged\n");
  // Pages the engine cannot read.
  ResetRecordManager();
  std::string bytes = dir.Read("people.dat");
  for (size_t i = 1024; i < bytes.size(); i += 3) bytes[i] = '\x5A';
  dir.Write("people.dat", bytes);
  const std::string said = Check();
  EXPECT_TRUE(said.starts_with("engine: ")) << said;
  EXPECT_TRUE(said.ends_with("\npeople.dat: damaged\n")) << said;
}

TEST_F(RecutilProcessTest, LockCommandHoldsARecordOrTheFileUntilItDies) {
  dir.Write("first.seq", Sequential(1, 3));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  btr_test::File f;
  ASSERT_EQ(f.Open(file), 0);
  {
    Recutil holder({"lock", file, "--seconds", "600"}, 1);
    ASSERT_EQ(holder.Line(), "locked\n");
    EXPECT_EQ(f.Get(kBtrGetFirst + kBtrSingleNoWait, 0).status, kStatusRecordLocked);
    EXPECT_EQ(f.Get(kBtrGetLast + kBtrSingleNoWait, 0).status, 0);
  }
  EXPECT_EQ(f.Get(kBtrGetFirst + kBtrSingleNoWait, 0).status, 0);
  ASSERT_EQ(f.Close(), 0);
  {
    Recutil holder({"lock", file, "--exclusive", "--seconds", "600"}, 1);
    ASSERT_EQ(holder.Line(), "locked\n");
    EXPECT_EQ(f.Open(file), kStatusFileLocked);
  }
  EXPECT_EQ(f.Open(file), 0);
}

// --db (default KELDB) names the database that holds the files; an empty
// one means SQLite files.
TEST_F(RecutilProcessTest, DbOptionAndKeldbPutTheFilesInTheDatabase) {
  const std::string db = testing_support::PgConninfo();
  ASSERT_FALSE(db.empty());
  dir.Write("first.seq", Sequential(1, 5));
  ASSERT_EQ(RunRecutil({"--db", db, "create", dir.Sub("ddf/people.xdf"), file}), 0);
  ASSERT_EQ(RunRecutil({"--db", db, "load", file, dir.Sub("first.seq")}), 0);
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("files.seq")}), 0);
  EXPECT_EQ(dir.Read("files.seq"), "");  // the SQLite file of that name stays empty
  ::setenv("KELDB", db.c_str(), 1);
  const int saved = RunRecutil({"save", file, dir.Sub("saved.seq")});
  const int onFiles = RunRecutil({"--db", "", "save", file, dir.Sub("files.seq")});
  ::unsetenv("KELDB");
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(dir.Read("saved.seq"), Sequential(1, 5));
  EXPECT_EQ(onFiles, 0);
  EXPECT_EQ(dir.Read("files.seq"), "");
}

// copy moves the files to the database and back with the same records;
// equal values of a key with duplicates that an Update reordered at the
// source cannot keep that order, and the copy says so.
TEST_F(RecutilProcessTest, CopyToTheDatabaseAndBackTellsOfReorderedDuplicates) {
  const std::string db = testing_support::PgConninfo();
  ASSERT_FALSE(db.empty());
  dir.Write("moved.keys", "record 32\nkey: 1+4 unsigned\nkey dup mod: 5+10 string\n");
  ASSERT_EQ(RunRecutil({"dictionary", dir.Sub("moved.keys"), dir.Sub("ddf/moved.xdf")}), 0);
  file = dir.Sub("moved.dat");
  ASSERT_EQ(RunRecutil({"create", dir.Sub("ddf/moved.xdf"), file}), 0);
  dir.Write("first.seq", Sequential(1, 3));  // key 1 ("record num") equal for all three
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("first.seq")}), 0);
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("before.seq")}), 0);
  {
    Recutil copy({"--db", db, "copy", dir.path()}, 2);
    EXPECT_EQ(copy.Line(), "");  // nothing to tell
    EXPECT_EQ(copy.Wait(), 0);
  }
  btr_test::File f;
  ASSERT_EQ(f.Open(file), 0);
  ASSERT_EQ(f.Get(kBtrGetEqual, 0, btr_test::Le32(1)).status, 0);
  std::string moved = Sequential(1, 1).substr(3, 32);
  ASSERT_EQ(f.Update(moved.replace(4, 1, "R")), 0);
  ASSERT_EQ(f.Update(Sequential(1, 1).substr(3, 32)), 0);  // back, behind records 2 and 3
  ASSERT_EQ(f.Close(), 0);
  {
    Recutil copy({"--db", db, "copy", dir.path()}, 2);
    EXPECT_NE(copy.Line().find("moved.dat: records with equal values of key 1"), std::string::npos);
    EXPECT_EQ(copy.Wait(), 0);
  }
  ASSERT_EQ(RunRecutil({"--db", db, "copy", "--back", dir.path()}), 0);
  ASSERT_EQ(RunRecutil({"save", file, dir.Sub("after.seq")}), 0);
  EXPECT_EQ(dir.Read("after.seq"), dir.Read("before.seq"));
}

// A mistyped root is said, with exit code 1, whichever way the copy goes:
// neither a missing folder nor one without record files passes for a copy
// of nothing.
TEST_F(RecutilProcessTest, CopyOfAMistypedRootSaysSoAndFails) {
  const std::string db = "host=/nonexistent dbname=office";  // never reached
  for (const char* back : {"", "--back"}) {
    std::vector<std::string> args = {"--db", db, "copy", dir.Sub("mistyped/root")};
    if (*back != '\0') args.push_back(back);
    Recutil copy(args, 2);
    EXPECT_EQ(copy.Line(), "recutil: copy: no folder " + dir.Sub("mistyped/root") + "\n") << back;
    EXPECT_EQ(copy.Wait(), 1) << back;
  }
  Recutil copy({"--db", db, "copy", dir.Sub("ddf")}, 2);
  EXPECT_EQ(copy.Line(), "recutil: copy: no record files (*.dat) under " + dir.Sub("ddf") + "\n");
  EXPECT_EQ(copy.Wait(), 1);
}

// What a record file holds, to tell its old content from its new one: the
// number of records and a checksum of them in key order, or the status
// that stopped the walk.
std::string Content(const std::string& file, const RecordDatabase& where) {
  ResetRecordManager();
  SetRecordDatabase(where);
  btr_test::File f;
  int16_t status = f.Open(file);
  uint64_t sum = 14695981039346656037ull;  // FNV-1a
  int records = 0;
  for (uint16_t op = kBtrGetFirst; status == 0; op = kBtrGetNext) {
    const btr_test::Result r = f.Get(op, 0);
    status = r.status;
    if (status != 0) break;
    ++records;
    for (unsigned char c : r.data) sum = (sum ^ c) * 1099511628211ull;
  }
  ResetRecordManager();
  SetRecordDatabase({});
  if (status != kStatusEndOfFile) return "status " + std::to_string(status);
  return std::to_string(records) + " records, checksum " + std::to_string(sum);
}

// Runs the copy to the end; how long it took.
std::chrono::steady_clock::duration TimedCopy(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunRecutil(args), 0);
  return std::chrono::steady_clock::now() - start;
}

// A copy killed at any moment leaves the destination with its old content or
// its new one, never emptied: a few kills at random moments of each kill's
// share of a whole copy's time, into the database and back.
TEST_F(RecutilProcessTest, CopyKilledAtAnyMomentLeavesTheDestinationOldOrNew) {
  const std::string db = testing_support::PgConninfo();
  ASSERT_FALSE(db.empty());
  const RecordDatabase files, server{db, dir.path()};
  dir.Write("old.seq", Sequential(1, 600));
  dir.Write("new.seq", Sequential(5000, 500));
  ASSERT_EQ(RunRecutil({"load", file, dir.Sub("old.seq")}), 0);
  const std::string oldContent = Content(file, files);
  ASSERT_EQ(oldContent.find("600 records"), 0u) << oldContent;
  const std::vector<std::string> into = {"--db", db, "copy", dir.path()};
  const std::vector<std::string> back = {"--db", db, "copy", "--back", dir.path()};
  std::mt19937 random(std::random_device{}());
  constexpr int kKills = 3;
  auto killAtRandom = [&](const std::vector<std::string>& args, std::chrono::nanoseconds whole,
                          const RecordDatabase& destination, const std::string& newContent) {
    for (int k = 0; k < kKills; ++k) {
      const auto at = whole * (k + std::uniform_real_distribution<>(0, 1)(random)) / kKills;
      {
        Recutil copy(args, 1);
        std::this_thread::sleep_for(at);
        copy.Kill();
      }
      testing_support::PgDropConnections();  // the killed copy's session, at once
      const std::string content = Content(file, destination);
      EXPECT_TRUE(content == oldContent || content == newContent)
          << "killed after " << std::chrono::duration<double>(at).count() << " s of "
          << std::chrono::duration<double>(whole).count() << " s: " << content;
    }
  };
  // Into the database, which holds the old records; the file the new ones.
  const auto intoTime = TimedCopy(into);
  ASSERT_EQ(Content(file, server), oldContent);
  ASSERT_EQ(RunRecutil({"load", "--replace", file, dir.Sub("new.seq")}), 0);
  const std::string newContent = Content(file, files);
  killAtRandom(into, intoTime, server, newContent);
  TimedCopy(into);
  ASSERT_EQ(Content(file, server), newContent);
  // Back into the file, which holds the old records again.
  const auto backTime = TimedCopy(back);
  ASSERT_EQ(RunRecutil({"load", "--replace", file, dir.Sub("old.seq")}), 0);
  killAtRandom(back, backTime, files, newContent);
  TimedCopy(back);
  EXPECT_EQ(Content(file, files), newContent);
}

// A database of its own on the test cluster, so that no other test's
// register tables are seen.
std::string FreshDatabase(const std::string& name) {
  const std::string cluster = testing_support::PgConninfo();
  PGconn* c = PQconnectdb(cluster.c_str());
  PGresult* made = PQexec(c, ("CREATE DATABASE " + name).c_str());
  const bool ok = PQresultStatus(made) == PGRES_COMMAND_OK;
  PQclear(made);
  PQfinish(c);
  EXPECT_TRUE(ok) << name;
  std::string conninfo = cluster;
  return conninfo.replace(conninfo.find("dbname=postgres"), 15, "dbname=" + name);
}

// A register's content, table by table.
std::vector<std::pair<std::string, std::vector<std::vector<std::string>>>> Dumped(
    const ledger::RegisterPlace& place) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = ledger::Register::Open(place, &error);
  std::vector<ledger::Register::Table> tables;
  EXPECT_TRUE(reg != nullptr && reg->Dump(&tables)) << error;
  std::vector<std::pair<std::string, std::vector<std::vector<std::string>>>> out;
  for (const auto& t : tables) out.emplace_back(t.name, t.rows);
  return out;
}

// A cycle of one receipt per owner number given.
void Issue(const ledger::RegisterPlace& place, const std::vector<std::string>& owners) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = ledger::Register::Open(place, &error);
  ASSERT_NE(reg, nullptr) << error;
  ledger::CycleEntry cycle{0, "2026-12-01 09:00:00", "PC1", "anna", ""};
  ASSERT_EQ(reg->BeginCycle(&cycle), ledger::WriteStart::kStarted);
  for (const std::string& owner : owners) {
    int64_t highest = 0;
    ASSERT_TRUE(reg->HighestNumber(owner, &highest));
    ledger::IssuedReceipt r;
    r.ownerKey = owner;
    r.number = highest + 1;
    r.unitKey = owner + "0001";
    r.issueDate = "2026-12-01";
    r.lines = {{1, "LLOGUER", 50000, 0}};
    r.baseCents = r.totalCents = 50000;
    ASSERT_TRUE(reg->Add(&r)) << reg->error();
  }
  ASSERT_TRUE(reg->Commit()) << reg->error();
}

// Everything recutil writes on standard output until it ends, and its exit code.
std::pair<std::string, int> Output(const std::vector<std::string>& args) {
  Recutil run(args, 1);
  std::string said;
  for (std::string line = run.Line(); !line.empty(); line = run.Line()) said += line;
  return {said, run.Wait()};
}

// copy takes the register with the files to a database and back, its
// cancellations too; a register at the destination holding entries the
// source lacks is not replaced, and nothing is copied then.
TEST_F(RecutilProcessTest, CopyCarriesTheRegisterToTheDatabaseAndBack) {
  const std::string db = FreshDatabase("register_copy");
  const ledger::RegisterPlace files{"", dir.path() + "/"}, server{db, ""};
  Issue(files, {"0001", "0002"});
  EXPECT_EQ(
      Output({"--db", db, "copy", dir.path()}),
      std::make_pair(std::string("copied people.dat\ncopied the register (2 receipts)\n"), 0));
  EXPECT_EQ(Dumped(server), Dumped(files));

  EXPECT_EQ(Output({"--db", db, "register", "cancel", dir.path(), "1", "1"}).second, 2);
  EXPECT_EQ(Output({"--db", db, "register", "cancel", dir.path(), "1", "1", "--yes"}).second, 0);
  EXPECT_NE(Dumped(server), Dumped(files));
  EXPECT_EQ(Output({"--db", db, "copy", "--back", dir.path()}).second, 0);
  EXPECT_EQ(Dumped(files), Dumped(server));

  Issue(server, {"0001"});
  Recutil refused({"--db", db, "copy", dir.path()}, 2);
  EXPECT_EQ(refused.Line(),
            "recutil: copy: the register in the database holds entries the one in " + dir.path() +
                "/REGISTRE.DB has not (issued since the last copy, or another installation's); it "
                "is not replaced\n");
  EXPECT_EQ(refused.Wait(), 1);
  EXPECT_EQ(Dumped(server).at(2).second.size(), 3u);
}

}  // namespace
