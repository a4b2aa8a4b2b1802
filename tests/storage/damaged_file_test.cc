// Record files damaged outside the record manager: records cut short or
// grown, index entries without their records, record bytes that disagree
// with their index entries.  Every read that meets the damage answers
// kStatusDamaged, and no walk serves a record twice or loops.
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

// The next read goes on from the index entry, not from the key the
// record's bytes hold, so a record whose bytes say another key is served
// once, in its entry's place.
TEST_F(DamagedFileTest, RecordBytesThatDisagreeWithTheirEntryAreServedOnceInItsPlace) {
  for (uint32_t pos : {9, 10, 17, 25, 40}) {
    Damage(
        "UPDATE records SET data = (SELECT substr(data, 1, 12) FROM records WHERE pos = 2) ||"
        " substr(data, 13, 4) WHERE pos = " +
        std::to_string(pos));
    int16_t end = 0;
    EXPECT_EQ(Walk(kBtrGetFirst, kBtrGetNext, 0, &end), Ids(1000, 1000 + kRecords - 1)) << pos;
    EXPECT_EQ(end, kStatusEndOfFile);
    std::vector<uint32_t> down = Walk(kBtrGetLast, kBtrGetPrevious, 0, &end);
    EXPECT_EQ(down.size(), kRecords) << pos;
    EXPECT_EQ(end, kStatusEndOfFile);
  }
}

}  // namespace
