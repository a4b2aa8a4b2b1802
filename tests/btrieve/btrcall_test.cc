// BTRCALL operations, statuses and currencies on one small file:
// key 0 = bytes 1-4 unsigned, unique; key 1 = bytes 5-12 string,
// duplicates, modifiable; key 2 = bytes 13-14 signed, duplicates, null 0.
#include "btrieve/btrcall.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>

#include "../support/btr_backends.h"
#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/record_manager.h"
#include "storage/record_backend.h"

namespace {

using namespace btrieve;
using namespace storage;
using btr_test::File;
using btr_test::Segment;

std::string Rec(uint32_t id, std::string name, int16_t n = 1) {
  name.resize(8, ' ');
  return btr_test::Le32(id) + name + btr_test::Le16(static_cast<uint16_t>(n)) + "xy";
}

uint32_t IdOf(const std::string& record) {
  uint32_t id = 0;
  std::memcpy(&id, record.data(), 4);
  return id;
}

class BtrcallTest : public ::testing::TestWithParam<btr_test::Backend> {
 protected:
  void SetUp() override {
    ResetRecordManager();
    ASSERT_NO_FATAL_FAILURE(btr_test::UseBackend(GetParam()));
    path = dir.Sub("people.dat");
    ASSERT_EQ(btr_test::Create(path, Spec()), 0);
    ASSERT_EQ(file.Open(path), 0);
  }
  void TearDown() override {
    ResetRecordManager();
    SetRecordDatabase({});
  }

  static std::string Spec() {
    return btr_test::CreateBuffer(
        16, {{{1, 4, kKeyBinary}},
             {{5, 8, kKeyDuplicates | kKeyModifiable}},
             {{13, 2, kKeyDuplicates | kKeyModifiable | kKeyExtendedType | kKeyNullAll,
               kTypeInteger, 0}}});
  }

  void Fill() {
    ASSERT_EQ(file.Insert(Rec(3, "carme", -5)), 0);
    ASSERT_EQ(file.Insert(Rec(1, "anna", 7)), 0);
    ASSERT_EQ(file.Insert(Rec(2, "carme", 0)), 0);  // null on key 2
    ASSERT_EQ(file.Insert(Rec(4, "bel", 7)), 0);
  }

  // Ids met reading op then next until end of file.
  std::vector<uint32_t> Walk(uint16_t first, uint16_t next, int8_t key) {
    std::vector<uint32_t> ids;
    for (auto r = file.Get(first, key); r.status == 0; r = file.Get(next, key)) {
      ids.push_back(IdOf(r.data));
    }
    return ids;
  }

  testing_support::TempDir dir;
  std::string path;
  File file;
};

TEST_P(BtrcallTest, KeysOrderRecordsAndDuplicatesKeepInsertionOrder) {
  Fill();
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0), (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(Walk(kBtrGetLast, kBtrGetPrevious, 0), (std::vector<uint32_t>{4, 3, 2, 1}));
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 1), (std::vector<uint32_t>{1, 4, 3, 2}));
  // The record with the null value 0 stays out of key 2.
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 2), (std::vector<uint32_t>{3, 1, 4}));
  // Changing a duplicate key value moves the record behind the others.
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(3)).status, 0);
  ASSERT_EQ(file.Update(Rec(3, "anna", -5)), 0);
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(1)).status, 0);
  ASSERT_EQ(file.Update(Rec(1, "bel", 7)), 0);
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 1), (std::vector<uint32_t>{3, 4, 1, 2}));
}

// Runs of Get Next longer than one batch read ahead, starting batches
// inside a value's duplicates; a locked read, a Delete and a turn back
// mid-run go on from the record last served.
TEST_P(BtrcallTest, LongRunsAlongDuplicatesKeepTheirPlace) {
  std::vector<uint32_t> byName;  // ids in key 1 order: by name, then insertion
  for (const char* name : {"b", "a", "c"}) {
    for (uint32_t i = 0; i < 12; ++i) {
      const uint32_t id = static_cast<uint32_t>(byName.size()) + 1;
      ASSERT_EQ(file.Insert(Rec(id, name)), 0);
      byName.push_back(id);
    }
  }
  std::rotate(byName.begin(), byName.begin() + 12, byName.begin() + 24);  // a before b
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 1), byName);
  std::vector<uint32_t> back(byName.rbegin(), byName.rend());
  EXPECT_EQ(Walk(kBtrGetLast, kBtrGetPrevious, 1), back);
  ASSERT_EQ(file.Get(kBtrGetFirst, 1).status, 0);
  for (int i = 1; i < 10; ++i) ASSERT_EQ(IdOf(file.Get(kBtrGetNext, 1).data), byName[i]);
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext + kBtrSingleNoWait, 1).data), byName[10]);
  ASSERT_EQ(file.Unlock(), 0);
  for (int i = 11; i < 14; ++i) ASSERT_EQ(IdOf(file.Get(kBtrGetNext, 1).data), byName[i]);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(IdOf(file.Get(kBtrGetPrevious, 1).data), byName[12]);
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 1).data), byName[14]);
}

TEST_P(BtrcallTest, KeyComparisonsFindTheNearestRecord) {
  Fill();
  auto id = [&](uint16_t op, uint32_t v) {
    auto r = file.Get(op, 0, btr_test::Le32(v));
    return r.status == 0 ? static_cast<int>(IdOf(r.data)) : -r.status;
  };
  EXPECT_EQ(id(kBtrGetEqual, 2), 2);
  EXPECT_EQ(id(kBtrGetEqual, 9), -kStatusKeyNotFound);
  EXPECT_EQ(id(kBtrGetGreater, 2), 3);
  EXPECT_EQ(id(kBtrGetGreaterOrEqual, 2), 2);
  EXPECT_EQ(id(kBtrGetGreater, 4), -kStatusEndOfFile);
  EXPECT_EQ(id(kBtrGetLess, 2), 1);
  EXPECT_EQ(id(kBtrGetLessOrEqual, 2), 2);
  EXPECT_EQ(id(kBtrGetLess, 1), -kStatusEndOfFile);
  // A key buffer shorter than the key.
  EXPECT_EQ(file.Get(kBtrGetEqual, 0, "\x01\x00", 1536).status, kStatusKeyBufferTooShort);
}

TEST_P(BtrcallTest, ReadsReturnTheKeyEvenWithKeyLengthZero) {
  Fill();
  std::string data(1536, ' ');
  std::string key(256, '*');
  uint32_t length = 1536;
  ASSERT_EQ(BTRCALL(kBtrGetFirst, file.block, data.data(), &length, key.data(), 0, 1), 0);
  EXPECT_EQ(length, 16u);
  EXPECT_EQ(key.substr(0, 9), "anna    *");
}

TEST_P(BtrcallTest, ShortDataBufferCutsTheRecordAndStillPositions) {
  Fill();
  auto r = file.Get(kBtrGetFirst, 0, "", 6);
  EXPECT_EQ(r.status, kStatusDataBufferTooShort);
  EXPECT_EQ(r.data, Rec(1, "anna", 7).substr(0, 6));
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 2u);
}

TEST_P(BtrcallTest, CurrencyFaultsHaveTheirStatuses) {
  Fill();
  File fresh;
  ASSERT_EQ(fresh.Open(path), 0);
  EXPECT_EQ(fresh.Get(kBtrGetNext, 0).status, kStatusInvalidPositioning);
  EXPECT_EQ(fresh.Get(kBtrStepNext, 0).status, kStatusInvalidPositioning);
  EXPECT_EQ(fresh.Delete(), kStatusInvalidPositioning);
  EXPECT_EQ(fresh.Position(), 0u);
  ASSERT_EQ(file.Get(kBtrGetFirst, 0).status, 0);
  EXPECT_EQ(file.Get(kBtrGetNext, 1).status, kStatusDifferentKeyNumber);
  EXPECT_EQ(file.Get(kBtrGetFirst, 3).status, kStatusInvalidKeyNumber);
  EXPECT_EQ(file.Get(kBtrGetFirst, -1).status, kStatusInvalidKeyNumber);
  EXPECT_EQ(file.Get(kBtrGetLast, 0).status, 0);
  EXPECT_EQ(file.Get(kBtrGetNext, 0).status, kStatusEndOfFile);
  EXPECT_EQ(file.Get(kBtrGetFirst + 500, 0).status, kStatusInvalidOperation);
  EXPECT_EQ(file.Insert(Rec(9, "x"), 7), kStatusInvalidKeyNumber);
}

TEST_P(BtrcallTest, WritesCheckKeysAndLengths) {
  Fill();
  EXPECT_EQ(file.Insert(Rec(2, "dup")), kStatusDuplicateKey);
  EXPECT_EQ(file.Insert(Rec(8, "short").substr(0, 10)), kStatusDataBufferTooShort);
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(2)).status, 0);
  EXPECT_EQ(file.Update(Rec(5, "carme", 0)), kStatusModifiableKey);  // key 0 is not modifiable
  EXPECT_EQ(file.Update(Rec(2, "carme", 3)), 0);
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(4)).status, 0);
  EXPECT_EQ(file.Update(Rec(4, "bel", 3)), 0);
  // Key 2 now holds -5, 3 (id 2), 3 (id 4), 7.
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 2), (std::vector<uint32_t>{3, 2, 4, 1}));
  auto stat = file.Stat();
  EXPECT_EQ(stat.data.substr(6, 4), btr_test::Le32(4));
}

TEST_P(BtrcallTest, DeleteLeavesBothCurrenciesInTheGap) {
  Fill();
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(2)).status, 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(file.Position(), 0u);
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 3u);
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(3)).status, 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(IdOf(file.Get(kBtrGetPrevious, 0).data), 1u);
  // Physical order is insertion order: 3 (gone), 1, 2 (gone), 4.
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(1)).status, 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(IdOf(file.Get(kBtrStepNext, 0).data), 4u);
}

TEST_P(BtrcallTest, GetNextSeesWritesMadeThroughAnotherOpenMidRun) {
  for (uint32_t id = 10; id < 40; id += 2) ASSERT_EQ(file.Insert(Rec(id, "n")), 0);
  File writer;
  ASSERT_EQ(writer.Open(path), 0);
  ASSERT_EQ(file.Get(kBtrGetFirst, 0).status, 0);
  ASSERT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 12u);  // records after 12 are read ahead now
  ASSERT_EQ(writer.Insert(Rec(13, "new")), 0);
  ASSERT_EQ(writer.Get(kBtrGetEqual, 0, btr_test::Le32(16)).status, 0);
  ASSERT_EQ(writer.Delete(), 0);
  ASSERT_EQ(writer.Get(kBtrGetEqual, 0, btr_test::Le32(18)).status, 0);
  ASSERT_EQ(writer.Update(Rec(18, "changed")), 0);
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 13u);
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 14u);
  auto r = file.Get(kBtrGetNext, 0);
  EXPECT_EQ(r.data, Rec(18, "changed"));
  // Going back along the run reads the index again.
  EXPECT_EQ(IdOf(file.Get(kBtrGetPrevious, 0).data), 14u);
}

// Get Equal results are kept between reads; every write through another
// open must reach the next Get Equal (another process: recutil_process_test).
TEST_P(BtrcallTest, GetEqualSeesWritesMadeThroughAnotherOpen) {
  Fill();
  File writer;
  ASSERT_EQ(writer.Open(path), 0);
  auto name = [&](int8_t key, const std::string& value) {
    auto r = file.Get(kBtrGetEqual, key, value);
    return r.status == 0 ? r.data.substr(4, 8) : std::to_string(r.status);
  };
  ASSERT_EQ(name(0, btr_test::Le32(7)), "4");
  ASSERT_EQ(name(0, btr_test::Le32(2)), "carme   ");
  ASSERT_EQ(name(1, "carme   "), "carme   ");
  ASSERT_EQ(writer.Get(kBtrGetEqual, 0, btr_test::Le32(2)).status, 0);
  ASSERT_EQ(writer.Update(Rec(2, "dolors")), 0);
  ASSERT_EQ(writer.Insert(Rec(7, "eva")), 0);
  ASSERT_EQ(writer.Get(kBtrGetEqual, 0, btr_test::Le32(3)).status, 0);
  ASSERT_EQ(writer.Delete(), 0);
  EXPECT_EQ(name(0, btr_test::Le32(7)), "eva     ");
  EXPECT_EQ(name(1, "carme   "), "4");
  EXPECT_EQ(name(0, btr_test::Le32(2)), "dolors  ");
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 0).data), 4u);  // currency as the read left it
  EXPECT_EQ(name(0, btr_test::Le32(2)), "dolors  ");   // kept this time
  EXPECT_EQ(IdOf(file.Get(kBtrGetPrevious, 0).data), 1u);
}

TEST_P(BtrcallTest, StepOperationsFollowPhysicalOrderAndDropLogicalCurrency) {
  Fill();
  EXPECT_EQ(Walk(kBtrStepFirst, kBtrStepNext, 0), (std::vector<uint32_t>{3, 1, 2, 4}));
  EXPECT_EQ(Walk(kBtrStepLast, kBtrStepPrevious, 0), (std::vector<uint32_t>{4, 2, 1, 3}));
  ASSERT_EQ(file.Get(kBtrStepFirst, 0).status, 0);
  EXPECT_EQ(file.Get(kBtrGetNext, 0).status, kStatusInvalidPositioning);
}

TEST_P(BtrcallTest, PositionAndDirectRoundTripAndSetLogicalCurrency) {
  Fill();
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(4)).status, 0);
  uint32_t position = file.Position();
  ASSERT_NE(position, 0u);
  ASSERT_EQ(file.Get(kBtrGetFirst, 0).status, 0);
  auto r = file.Direct(position, 1);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(IdOf(r.data), 4u);
  EXPECT_EQ(r.key.substr(0, 8), "bel     ");
  EXPECT_EQ(IdOf(file.Get(kBtrGetNext, 1).data), 3u);
  EXPECT_EQ(file.Direct(999, 0).status, kStatusInvalidRecordAddress);
  EXPECT_EQ(file.Direct(0, 0).status, kStatusInvalidRecordAddress);
  EXPECT_EQ(file.Direct(position, 9).status, kStatusInvalidKeyNumber);
}

TEST_P(BtrcallTest, StatAnswersInTheCreateLayout) {
  Fill();
  auto r = file.Stat();
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.data.size(), 16u + 3 * 16);
  EXPECT_EQ(r.data.substr(0, 2), btr_test::Le16(16));
  EXPECT_EQ(r.data.substr(2, 2), btr_test::Le16(1024));
  EXPECT_EQ(r.data.substr(4, 2), btr_test::Le16(3));  // 16-bit key count: byte 5 stays 0
  EXPECT_EQ(r.data.substr(16 + 16 + 2, 4), btr_test::Le16(8) + btr_test::Le16(0x0003));
  EXPECT_EQ(r.data.substr(16 + 16 + 6, 4), btr_test::Le32(3));  // distinct names
  EXPECT_EQ(r.data.substr(16 + 32 + 6, 4), btr_test::Le32(2));  // -5, 7
  std::string small(10, ' ');
  uint32_t length = 10;
  char key[256] = {};
  EXPECT_EQ(BTRCALL(kBtrStat, file.block, small.data(), &length, key, 255, 0),
            kStatusDataBufferTooShort);
}

// Stat is asked for often (each key's sort form); what it answers follows
// every write, through any open.
TEST_P(BtrcallTest, StatFollowsWritesThroughAnyOpen) {
  Fill();
  File other;
  ASSERT_EQ(other.Open(path), 0);
  ASSERT_EQ(file.Stat().data.substr(6, 4), btr_test::Le32(4));
  ASSERT_EQ(other.Insert(Rec(5, "dolors")), 0);
  EXPECT_EQ(file.Stat().data.substr(6, 4), btr_test::Le32(5));
  EXPECT_EQ(file.Stat().data.substr(16 + 16 + 6, 4), btr_test::Le32(4));  // distinct names
  ASSERT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(5)).status, 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(other.Stat().data.substr(6, 4), btr_test::Le32(4));
}

TEST_P(BtrcallTest, ClosedOrUnknownPositionBlocksAreNotOpen) {
  File other;
  EXPECT_EQ(other.Get(kBtrGetFirst, 0).status, kStatusFileNotOpen);
  std::memset(other.block, 0x5A, sizeof other.block);
  EXPECT_EQ(other.Get(kBtrGetFirst, 0).status, kStatusFileNotOpen);
  uint8_t copy[kPositionBlockSize];
  std::memcpy(copy, file.block, sizeof copy);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Get(kBtrGetFirst, 0).status, kStatusFileNotOpen);
  std::memcpy(file.block, copy, sizeof copy);  // a stale copy of a closed file's block
  EXPECT_EQ(file.Get(kBtrGetFirst, 0).status, kStatusFileNotOpen);
  ASSERT_EQ(file.Open(path), 0);
  uint32_t length = 0;
  EXPECT_EQ(BTRCALL(kBtrReset, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(file.Get(kBtrGetFirst, 0).status, kStatusFileNotOpen);
}

TEST_P(BtrcallTest, ReadOnlyOpenRefusesWrites) {
  File reader;
  ASSERT_EQ(reader.Open(path, kOpenReadOnly), 0);
  EXPECT_EQ(reader.Insert(Rec(5, "eva")), kStatusAccessDenied);
  EXPECT_EQ(reader.Open(path, 5), kStatusInvalidOperation);
}

TEST_P(BtrcallTest, TransactionsCommitOrDropTheirWrites) {
  uint32_t length = 0;
  ASSERT_EQ(BTRCALL(kBtrBeginTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(BTRCALL(kBtrBeginTransaction, nullptr, nullptr, &length, nullptr, 0, 0),
            kStatusTransactionActive);
  ASSERT_EQ(file.Insert(Rec(1, "anna")), 0);
  EXPECT_EQ(file.Insert(Rec(1, "twice")), kStatusDuplicateKey);  // undoes only itself
  ASSERT_EQ(file.Insert(Rec(2, "bel")), 0);
  EXPECT_EQ(file.Stat().data.substr(6, 4), btr_test::Le32(2));
  ASSERT_EQ(BTRCALL(kBtrAbortTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(file.Get(kBtrGetFirst, 0).status, kStatusEndOfFile);
  EXPECT_EQ(file.Stat().data.substr(6, 4), btr_test::Le32(0));
  ASSERT_EQ(BTRCALL(kBtrBeginTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  ASSERT_EQ(file.Insert(Rec(1, "anna")), 0);
  EXPECT_EQ(file.Insert(Rec(1, "twice")), kStatusDuplicateKey);
  ASSERT_EQ(BTRCALL(kBtrEndTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0), (std::vector<uint32_t>{1}));
  File other;  // a second open sees the committed counts
  ASSERT_EQ(other.Open(path), 0);
  auto stat = other.Stat().data;
  EXPECT_EQ(stat.substr(6, 4), btr_test::Le32(1));
  EXPECT_EQ(stat.substr(16 + 16 + 6, 4), btr_test::Le32(1));
  EXPECT_EQ(BTRCALL(kBtrEndTransaction, nullptr, nullptr, &length, nullptr, 0, 0),
            kStatusTransactionError);
}

TEST_P(BtrcallTest, CreateKeepsOrReplacesAnExistingFile) {
  Fill();
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(btr_test::Create(path, Spec(), -1), kStatusFileExists);
  ASSERT_EQ(file.Open(path), 0);
  EXPECT_EQ(IdOf(file.Get(kBtrGetFirst, 0).data), 1u);
  // Replacing a file that is open elsewhere is refused.
  EXPECT_EQ(btr_test::Create(path, Spec(), 0), kStatusFileLocked);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(btr_test::Create(path, Spec(), 0), 0);
  ASSERT_EQ(file.Open(path), 0);
  EXPECT_EQ(file.Get(kBtrGetFirst, 0).status, kStatusEndOfFile);
}

TEST_P(BtrcallTest, WindowsStyleNamesReachTheFile) {
  Fill();
  File other;
  ASSERT_EQ(other.Open("C:" + dir.path() + "\\PEOPLE.DAT"), 0);
  EXPECT_EQ(IdOf(other.Get(kBtrGetFirst, 0).data), 1u);
}

TEST(BtrcallFiles, MissingForeignAndBadNamesHaveTheirStatuses) {
  ResetRecordManager();
  testing_support::TempDir dir;
  File file;
  EXPECT_EQ(file.Open(dir.Sub("none.dat")), kStatusFileNotFound);
  EXPECT_FALSE(std::ifstream(dir.Sub("none.dat-lock")).good());
  const std::string garbage = "this is not a record file, only text\n";
  dir.Write("text.dat", garbage);
  EXPECT_EQ(file.Open(dir.Sub("text.dat")), kStatusNotARecordFile);
  EXPECT_EQ(dir.Read("text.dat"), garbage);
  EXPECT_EQ(file.Open(""), kStatusInvalidFileName);
  // Another application's database with a table of the same name.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(dir.Sub("other.dat").c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "CREATE TABLE file_spec (id INTEGER, create_buffer BLOB)", nullptr, nullptr,
               nullptr);
  sqlite3_close(db);
  EXPECT_EQ(file.Open(dir.Sub("other.dat")), kStatusNotARecordFile);
  dir.Write("empty.dat", "");
  EXPECT_EQ(file.Open(dir.Sub("empty.dat")), kStatusNotARecordFile);
  // One of ours that lost a table is damaged, not foreign: status 30 is kept
  // for files that must be converted.
  ASSERT_EQ(btr_test::Create(dir.Sub("ours.dat"), btr_test::CreateBuffer(8, {{{1, 4}}})), 0);
  ASSERT_EQ(sqlite3_open(dir.Sub("ours.dat").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DROP TABLE key0", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  EXPECT_EQ(file.Open(dir.Sub("ours.dat")), kStatusIoError);
  // Create in a directory that does not exist.
  std::string spec = btr_test::CreateBuffer(8, {{{1, 4}}});
  EXPECT_EQ(btr_test::Create(dir.Sub("no/such/dir/x.dat"), spec), kStatusCreateIoError);
  ResetRecordManager();
}

TEST(BtrcallFiles, BadCreateBuffersCreateNothing) {
  ResetRecordManager();
  testing_support::TempDir dir;
  const std::string path = dir.Sub("bad.dat");
  const std::string good = btr_test::CreateBuffer(20, {{{1, 4}, {5, 6, kKeyAlternate}}},
                                                  {btr_test::Acs("UPPER", std::string(256, 'A'))});
  struct Case {
    std::string buffer;
    int16_t status;
  };
  std::vector<Case> cases = {
      {good.substr(0, 10), kStatusDataBufferTooShort},
      {good.substr(0, 40), kStatusDataBufferTooShort},
      {good.substr(0, good.size() - 1), kStatusDataBufferTooShort},
      {btr_test::CreateBuffer(20, {{{18, 4}}}), kStatusKeyPosition},
      {btr_test::CreateBuffer(20, {{{0, 4}}}), kStatusKeyPosition},
      {btr_test::CreateBuffer(20, {{{1, 0}}}), kStatusKeyLength},
      {btr_test::CreateBuffer(20, {{{1, 3, kKeyExtendedType, kTypeInteger}}}), kStatusKeyLength},
      {btr_test::CreateBuffer(20, {{{1, 4, kKeyAlternate}}}, {std::string(265, 'x')}),
       kStatusInvalidAcs},
      {btr_test::CreateBuffer(20, {{{1, 4}}}, {}, 1000), kStatusPageSize},
      {btr_test::CreateBuffer(20, {}), kStatusNumberOfKeys},
      {btr_test::CreateBuffer(2, {{{1, 2}}}), kStatusRecordLength},
  };
  for (const Case& c : cases) {
    uint8_t block[kPositionBlockSize] = {};
    std::string data = c.buffer;
    uint32_t length = static_cast<uint32_t>(data.size());
    std::string key = path + '\0';
    EXPECT_EQ(BTRCALL(kBtrCreate, block, data.data(), &length, key.data(),
                      static_cast<uint8_t>(path.size()), 0),
              c.status);
    EXPECT_FALSE(std::ifstream(path).good());
  }
  // The same file described well, padded with spaces as callers send it;
  // Stat gives the collating sequence right after the last segment.
  ASSERT_EQ(btr_test::Create(path, good), 0);
  File file;
  ASSERT_EQ(file.Open(path), 0);
  auto stat = file.Stat();
  ASSERT_EQ(stat.data.size(), 16u + 2 * 16 + 265);
  EXPECT_EQ(stat.data.substr(16 + 2 * 16), btr_test::Acs("UPPER", std::string(256, 'A')));
  ResetRecordManager();
}

class BtrcallBackend : public ::testing::TestWithParam<btr_test::Backend> {
 protected:
  void SetUp() override {
    ResetRecordManager();
    ASSERT_NO_FATAL_FAILURE(btr_test::UseBackend(GetParam()));
  }
  void TearDown() override {
    ResetRecordManager();
    SetRecordDatabase({});
  }
};

TEST_P(BtrcallBackend, VariableLengthRecordsAndKeysNullInAnySegment) {
  testing_support::TempDir dir;
  const std::string path = dir.Sub("var.dat");
  // Variable-length records of at least 6 bytes; key 0 unique on bytes 1-2;
  // key 1 left out when either of its segments is all spaces.
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(
                                       6,
                                       {{{1, 2, kKeyBinary}},
                                        {{3, 2, kKeyNullAny, 0, ' '}, {5, 2, kKeyNullAny, 0, ' '}}},
                                       {}, 1024, 0x0001)),
            0);
  File file;
  ASSERT_EQ(file.Open(path), 0);
  ASSERT_EQ(file.Insert(std::string("\x01\x00"
                                    "ab"
                                    "cd"
                                    "and a long tail",
                                    21)),
            0);
  ASSERT_EQ(file.Insert(std::string("\x02\x00"
                                    "  "
                                    "cd",
                                    6)),
            0);
  ASSERT_EQ(file.Insert(std::string("\x03\x00"
                                    "aa"
                                    "zz",
                                    6)),
            0);
  EXPECT_EQ(file.Insert(std::string("\x04\x00"
                                    "aa",
                                    4)),
            kStatusDataBufferTooShort);
  auto r = file.Get(kBtrGetFirst, 0);
  EXPECT_EQ(r.data, std::string("\x01\x00"
                                "ab"
                                "cd"
                                "and a long tail",
                                21));
  std::vector<std::string> order;
  for (r = file.Get(kBtrGetFirst, 1); r.status == 0; r = file.Get(kBtrGetNext, 1)) {
    order.push_back(r.data.substr(2, 4));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"aazz", "abcd"}));
}

// A deleted record's position never names another record, not even after
// the last record of the file went.
TEST_P(BtrcallBackend, PositionsAreNeverReused) {
  testing_support::TempDir dir;
  const std::string path = dir.Sub("positions.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
  File file;
  ASSERT_EQ(file.Open(path), 0);
  ASSERT_EQ(file.Insert(btr_test::Le32(1) + "one."), 0);
  ASSERT_EQ(file.Insert(btr_test::Le32(2) + "two."), 0);
  const uint32_t last = file.Position();
  ASSERT_EQ(file.Delete(), 0);
  ASSERT_EQ(file.Insert(btr_test::Le32(3) + "three"), 0);
  EXPECT_GT(file.Position(), last);
  EXPECT_EQ(file.Direct(last, 0).status, kStatusInvalidRecordAddress);
}

BTR_ON_BOTH_BACKENDS(BtrcallTest);
BTR_ON_BOTH_BACKENDS(BtrcallBackend);

// In one transaction, a second open of a file whose first open writes could
// only get the file's write lock at End Transaction, which this same thread
// has to send: it is refused at once instead of waiting.
TEST(BtrcallFiles, SecondOpenWritingInOneTransactionIsRefusedNotWaitedFor) {
  ResetRecordManager();
  testing_support::TempDir dir;
  const std::string path = dir.Sub("two.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(8, {{{1, 4, kKeyBinary}}})), 0);
  File first, second;
  ASSERT_EQ(first.Open(path), 0);
  ASSERT_EQ(second.Open(path), 0);
  uint32_t length = 0;
  ASSERT_EQ(BTRCALL(kBtrBeginTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  ASSERT_EQ(first.Insert(btr_test::Le32(1) + "abcd"), 0);
  EXPECT_EQ(second.Insert(btr_test::Le32(2) + "abcd"), kStatusFileLocked);
  ASSERT_EQ(first.Insert(btr_test::Le32(3) + "abcd"), 0);
  ASSERT_EQ(BTRCALL(kBtrEndTransaction, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(second.Insert(btr_test::Le32(2) + "abcd"), 0);
  EXPECT_EQ(second.Stat().data.substr(6, 4), btr_test::Le32(3));
  ResetRecordManager();
}

TEST(BtrcallFiles, DamagedDatabaseGivesAStatusNotACrash) {
  ResetRecordManager();
  testing_support::TempDir dir;
  const std::string path = dir.Sub("cut.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(200, {{{1, 4, kKeyBinary}}})), 0);
  {
    File file;
    ASSERT_EQ(file.Open(path), 0);
    for (uint32_t id = 0; id < 500; ++id) {
      ASSERT_EQ(file.Insert(btr_test::Le32(id) + std::string(196, 'r')), 0);
    }
    ResetRecordManager();  // the last close folds the log into the database
  }
  std::string bytes = dir.Read("cut.dat");
  ASSERT_GT(bytes.size(), 20000u);
  // Scramble the middle of the file: index and record pages.
  for (size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; i += 7) bytes[i] = '\x5A';
  dir.Write("cut.dat", bytes);
  // SQLite does not checksum its pages: damage is found where its structure
  // breaks, else the records read as what the bytes now say.  Either way
  // every answer is a documented status and reading changes nothing.
  std::set<int16_t> statuses;
  File file;
  statuses.insert(file.Open(path));
  for (auto r = file.Get(kBtrGetFirst, 0); r.status == 0; r = file.Get(kBtrGetNext, 0)) {
    statuses.insert(r.status);
  }
  statuses.insert(file.Get(kBtrGetLast, 0).status);
  for (uint32_t id = 0; id < 500; id += 25) {
    statuses.insert(file.Get(kBtrGetEqual, 0, btr_test::Le32(id)).status);
  }
  for (int16_t status : statuses) {
    EXPECT_TRUE(status == 0 || status == kStatusIoError || status == kStatusKeyNotFound ||
                status == kStatusEndOfFile || status == kStatusNotARecordFile ||
                status == kStatusFileNotOpen)
        << status;
  }
  ResetRecordManager();
  EXPECT_EQ(dir.Read("cut.dat"), bytes);
  ResetRecordManager();
}

}  // namespace
