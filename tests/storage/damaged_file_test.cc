// Record files damaged outside the record manager: records cut short or
// grown, index entries without their records or leading to other records,
// index entries lost.  Every read that meets the damage answers
// kStatusDamaged, and no walk serves a record twice, leaves one out
// unsaid or loops.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"

namespace {

using namespace btrieve;
using namespace storage;
using btr_test::File;

constexpr uint32_t kRecords = 40;

class DamagedFileTest : public ::testing::Test {
 protected:
  // 16-byte records: key 0 bytes 1-4 unsigned, key 1 bytes 5-12 string
  // with duplicates.  Ids from 1000 on, so a record cut to its first byte
  // has a key value other than its own.
  void SetUp() override {
    ResetRecordManager();
    path = dir.Sub("units.dat");
    ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(
                                         16, {{{1, 4, kKeyBinary}}, {{5, 8, kKeyDuplicates}}})),
              0);
    ASSERT_EQ(file.Open(path), 0);
    for (uint32_t i = 0; i < kRecords; ++i) ASSERT_EQ(file.Insert(Rec(1000 + i)), 0);
  }
  void TearDown() override { ResetRecordManager(); }

  static std::string Rec(uint32_t id) {
    return btr_test::Le32(id) + "unit    " + btr_test::Le32(id);
  }
  // Changes the file behind the record manager's back, with it closed.
  void Damage(const std::string& sql) {
    ResetRecordManager();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(file.Open(path), 0);
  }
  // The last 4 bytes of each record met reading first then next, and the
  // status that ended the walk; never more than twice the records.
  std::vector<uint32_t> Walk(uint16_t first, uint16_t next, int8_t key, int16_t* end) {
    std::vector<uint32_t> ids;
    auto r = file.Get(first, key);
    for (; r.status == 0 && ids.size() < 2 * kRecords; r = file.Get(next, key)) {
      uint32_t id = 0;
      if (r.data.size() >= 16) std::memcpy(&id, r.data.data() + 12, 4);
      ids.push_back(id);
    }
    *end = r.status;
    return ids;
  }
  static std::vector<uint32_t> Ids(uint32_t from, uint32_t to) {
    std::vector<uint32_t> ids;
    for (uint32_t id = from; id <= to; ++id) ids.push_back(id);
    return ids;
  }

  testing_support::TempDir dir;
  std::string path;
  File file;
};

TEST_F(DamagedFileTest, RecordsCutShortAreDamageOnEveryRead) {
  Damage("UPDATE records SET data = substr(data, 1, 1)");
  int16_t end = 0;
  EXPECT_TRUE(Walk(kBtrGetFirst, kBtrGetNext, 0, &end).empty());
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_TRUE(Walk(kBtrGetLast, kBtrGetPrevious, 1, &end).empty());
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_TRUE(Walk(kBtrStepFirst, kBtrStepNext, 0, &end).empty());
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(1005)).status, kStatusDamaged);
  EXPECT_EQ(file.Direct(6, 0).status, kStatusDamaged);
}

TEST_F(DamagedFileTest, AWalkStopsAtTheDamagedRecordAndStaysThere) {
  // Position 12 is the twelfth record: after the first batch read ahead.
  Damage(
      "UPDATE records SET data = substr(data, 1, 1) WHERE pos = 12;"
      "UPDATE records SET data = data || 'zz' WHERE pos = 30");
  int16_t end = 0;
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0, &end), Ids(1000, 1010));
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_EQ(file.Get(kBtrGetNext, 0).status, kStatusDamaged);
  std::vector<uint32_t> down = Ids(1030, 1039);
  std::reverse(down.begin(), down.end());
  EXPECT_EQ(Walk(kBtrGetLast, kBtrGetPrevious, 0, &end), down);
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_EQ(Walk(kBtrStepFirst, kBtrStepNext, 0, &end), Ids(1000, 1010));
  EXPECT_EQ(end, kStatusDamaged);
}

TEST_F(DamagedFileTest, AnIndexEntryWithoutItsRecordIsDamageNotSkipped) {
  Damage("DELETE FROM records WHERE pos = 5");
  int16_t end = 0;
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0, &end), Ids(1000, 1003));
  EXPECT_EQ(end, kStatusDamaged);
  EXPECT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(1004)).status, kStatusDamaged);
}

// A record whose bytes hold another key value than its index entry (the
// entry leads to the wrong record, or the record was changed beside the
// record manager) is damage along that key; the keys whose entries still
// fit serve it.
TEST_F(DamagedFileTest, RecordBytesThatDisagreeWithTheirEntryAreDamageAlongThatKey) {
  for (uint32_t pos : {9, 10, 17, 25, 40}) {
    // Each record's last 4 bytes hold its id: the first 4 are made whole
    // again.  (|| gives text, whose substr would count characters.)
    Damage(
        "UPDATE records SET data = CAST(substr(data, 13, 4) || substr(data, 5, 12) AS BLOB);"
        "UPDATE records SET data = CAST((SELECT substr(data, 1, 4) FROM records WHERE pos = 2)"
        " || substr(data, 5, 12) AS BLOB) WHERE pos = " +
        std::to_string(pos));
    const uint32_t id = 1000 + pos - 1;
    int16_t end = 0;
    EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0, &end), Ids(1000, id - 1)) << pos;
    EXPECT_EQ(end, kStatusDamaged);
    EXPECT_EQ(file.Get(kBtrGetNext, 0).status, kStatusDamaged);
    std::vector<uint32_t> down = Ids(id + 1, 1000 + kRecords - 1);
    std::reverse(down.begin(), down.end());
    EXPECT_EQ(Walk(kBtrGetLast, kBtrGetPrevious + kBtrSingleNoWait, 0, &end), down) << pos;
    EXPECT_EQ(end, kStatusDamaged);
    EXPECT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(id)).status, kStatusDamaged);
    EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 1, &end).size(), kRecords) << pos;
    EXPECT_EQ(end, kStatusEndOfFile);
  }
}

// An index that lost an entry leaves its record out of every read along
// that key: the first read along the key in an open, and a walk that
// reaches an end of the index after a write, find fewer entries than the
// file has records and answer 2 rather than go on without the record.
TEST_F(DamagedFileTest, AnIndexThatLostAnEntryIsDamageAlongThatKey) {
  // Lost while the file is open and its first read counted the index.
  ASSERT_EQ(file.Get(kBtrGetFirst, 0).status, 0);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DELETE FROM key0 WHERE pos = 14", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(file.Insert(Rec(2000)), 0);
  ASSERT_EQ(file.Get(kBtrGetGreaterOrEqual, 0, btr_test::Le32(1030)).status, 0);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(file.Get(kBtrGetNext + kBtrSingleNoWait, 0).status, 0);
  EXPECT_EQ(file.Get(kBtrGetNext + kBtrSingleNoWait, 0).status, kStatusDamaged);
  std::vector<uint32_t> up = Ids(1000, 1000 + kRecords - 1);
  up.erase(up.begin() + 13);
  up.push_back(2000);
  int16_t end = 0;
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0, &end), up);
  EXPECT_EQ(end, kStatusDamaged);
  // Opened again, the first read along the key sees it; the other key is whole.
  ResetRecordManager();
  ASSERT_EQ(file.Open(path), 0);
  EXPECT_EQ(file.Get(kBtrGetLast, 0).status, kStatusDamaged);
  EXPECT_EQ(file.Get(kBtrGetEqual, 0, btr_test::Le32(1020)).status, kStatusDamaged);
  EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 1, &end).size(), kRecords + 1);
  EXPECT_EQ(end, kStatusEndOfFile);
}

}  // namespace
