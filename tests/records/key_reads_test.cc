// Reads on an open file: by key value, by stepping, by position; the lock
// modes and their stack; the collating form of key values.
#include <gtest/gtest.h>

#include <array>

#include "../support/btr_helpers.h"
#include "../support/records_fixture.h"
#include "btrieve/record_manager.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"

namespace records_test {
namespace {

using records::FindByKey;
using records::SkipRecords;

class KeyReadsTest : public RecordsTest {
 protected:
  void SetUp() override {
    RecordsTest::SetUp();
    MakeTypesFile("TYPES", {TypeRecord(1, "ONE"), TypeRecord(2, "TWO"), TypeRecord(3, "THREE"),
                            TypeRecord(4, "FOUR"), TypeRecord(5, "FIVE")});
    std::int16_t status = -1;
    records::OpenRecordFile(kId, Root("TYPES"), records::RecordArea(area.data(), kRecordLength),
                            status);
    ASSERT_EQ(status, 0);
  }
  // The code byte of the record in the area.
  int Code() const { return area[0]; }
  const records::RecordSlot& Slot() const {
    return records::RecordFiles().slots[records::FindSlot(kId).slot];
  }

  static constexpr std::int16_t kId = 503;
  // The record area with guard bytes after it that no read may touch.
  std::array<unsigned char, kRecordLength + 8> area{};
  std::int16_t status = -1;
};

TEST_F(KeyReadsTest, FindByKeyReadsByDirectionAndFitsTheKeyValueToTheKey) {
  FindByKey(kId, 0, "\x03", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 3);
  FindByKey(kId, 0, "\x09", 0, status);
  EXPECT_EQ(status, btrieve::kStatusKeyNotFound);
  FindByKey(kId, 0, "", 1, status);  // padded with a zero byte: the first record
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 1);
  EXPECT_EQ(Slot().keyValue, std::string(1, '\x01'));
  FindByKey(kId, 0, "\x04zzzz", -1, status);  // cut to one byte
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 4);
  EXPECT_EQ(Slot().keyValue, "\x04");
  EXPECT_EQ(std::string(area.begin() + 1, area.begin() + 5), "FOUR");
  EXPECT_EQ(area[kRecordLength], 0);  // guard untouched
}

// "Greater or equal" on a key value that exists exactly reads that record,
// on a one-byte key and on a whole key of two segments.  The program's own
// walks pad partial keys with zero bytes, so they never land on one.
TEST_F(KeyReadsTest, FindByKeyGreaterOrEqualOnAnExactKeyReadsThatRecord) {
  FindByKey(kId, 0, "\x03", 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 3);
  FindByKey(kId, 2, std::string("\0\0ab", 4), 1, status);  // every record holds 0, "ab"
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 1);
}

TEST_F(KeyReadsTest, UnknownIdentifierGives3AndUndefinedKeyGives1004) {
  FindByKey(999, 0, "\x01", 0, status);
  EXPECT_EQ(status, records::kNotOpen);
  SkipRecords(999, 1, status);
  EXPECT_EQ(status, records::kNotOpen);
  FindByKey(kId, 3, "\x01", 0, status);  // the file has keys 0 to 2
  EXPECT_EQ(status, records::kKeyNotDefined);
  FindByKey(kId, -1, "\x01", 0, status);
  EXPECT_EQ(status, records::kKeyNotDefined);
  EXPECT_EQ(records::RecordPosition(999, 0), 0);
  EXPECT_EQ(records::CurrentKeySortForm(999), "");
}

TEST_F(KeyReadsTest, SkipRecordsCountsZeroOneThreeAndBackward) {
  FindByKey(kId, 0, "\x01", 0, status);
  area[10] = '#';  // marks the area: a count of 0 must leave it as it is
  SkipRecords(kId, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(area[10], '#');
  EXPECT_EQ(Slot().keyValue, "\x01");

  SkipRecords(kId, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 2);
  SkipRecords(kId, 3, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 5);
  EXPECT_EQ(Slot().keyValue, "\x05");
  SkipRecords(kId, -2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 3);
}

TEST_F(KeyReadsTest, SkipRecordsStopsAtEndOfFileOnAnIntermediateStep) {
  FindByKey(kId, 0, "\x04", 0, status);
  SkipRecords(kId, 3, status);  // 5, then the end: the third step is not taken
  EXPECT_EQ(status, btrieve::kStatusEndOfFile);
  EXPECT_EQ(Code(), 4);  // records passed over never reach the area
  EXPECT_EQ(Slot().keyValue, "\x05");
  SkipRecords(kId, -1, status);  // the file is still positioned on 5
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Code(), 4);
}

TEST_F(KeyReadsTest, RecordPositionComesBackToARecordAndItsKey) {
  FindByKey(kId, 0, "\x02", 0, status);
  const std::int32_t position = records::RecordPosition(kId, 0);
  ASSERT_NE(position, 0);
  FindByKey(kId, 0, "\x05", 0, status);
  EXPECT_EQ(records::RecordPosition(kId, position), 0);
  EXPECT_EQ(Code(), 2);
  EXPECT_EQ(Slot().keyValue, "\x02");
  SkipRecords(kId, 1, status);
  EXPECT_EQ(Code(), 3);
  EXPECT_NE(records::RecordPosition(kId, 987654), 0);  // no such record
}

TEST_F(KeyReadsTest, AreaShorterThanTheRecordIsNeverOverrun) {
  std::int16_t id = 600;
  std::array<unsigned char, 16> small{};
  small.fill('.');
  records::OpenRecordFile(id, Root("TYPES"), records::RecordArea(small.data(), 6), status);
  ASSERT_EQ(status, 0);
  FindByKey(id, 0, "\x03", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(small.begin(), small.end()),
            "\x03"
            "THREE..........");
  FindByKey(kId, 0, "\x05", 0, status);
  EXPECT_EQ(records::RecordPosition(id, records::RecordPosition(kId, 0)), 0);
  EXPECT_EQ(std::string(small.begin(), small.end()),
            "\x05"
            "FIVE ..........");
}

TEST_F(KeyReadsTest, LockModeLettersAndTheirStack) {
  auto mode = [&] { return Slot().lockMode; };
  status = 77;
  records::SetLockMode(kId, "a", status);
  EXPECT_EQ(mode(), 1);
  EXPECT_EQ(status, 77);  // left as the caller set it
  records::SetLockMode(kId, "+d", status);
  EXPECT_EQ(mode(), 0);
  records::SetLockMode(kId, "-", status);
  EXPECT_EQ(mode(), 1);
  records::SetLockMode(kId, "-", status);  // nothing saved for this file any more
  EXPECT_EQ(mode(), 1);
  records::SetLockMode(kId, "xB?", status);
  EXPECT_EQ(mode(), 2);

  // The newest entry of this file is restored, not another file's.
  std::array<unsigned char, kRecordLength> other{};
  records::OpenRecordFile(700, Root("TYPES"), other, status);
  records::SetLockMode(kId, "D+A+", status);  // saved 0, then 1
  records::SetLockMode(700, "B+", status);
  records::SetLockMode(kId, "D-", status);
  EXPECT_EQ(mode(), 1);
  records::SetLockMode(kId, "-", status);
  EXPECT_EQ(mode(), 0);
  EXPECT_EQ(records::RecordFiles().lockModeStack.size(), 2u);  // file 700's entry

  records::SetLockMode(999, "A", status);
  EXPECT_EQ(status, records::kNotOpen);
}

TEST_F(KeyReadsTest, KeySortFormReversesBinarySegmentsAndTranslatesCollatedOnes) {
  EXPECT_EQ(records::KeySortForm(std::string("\x01\x02"
                                             "ab",
                                             4),
                                 999),
            std::string("\x01\x02"
                        "ab",
                        4));         // not open: unchanged
  FindByKey(kId, 2, "", 1, status);  // key 2: binary, then plain
  EXPECT_EQ(records::KeySortForm(std::string("\x01\x02"
                                             "ab",
                                             4),
                                 kId),
            std::string("\x02\x01"
                        "ab",
                        4));
  EXPECT_EQ(records::KeySortForm("\x01", kId), std::string("\x00\x01", 2));  // padded, then turned
  FindByKey(kId, 1, "", 1, status);  // key 1: binary, then collated
  EXPECT_EQ(records::KeySortForm(std::string("\x01\x02"
                                             "ab",
                                             4),
                                 kId),
            std::string("\x02\x01"
                        "AB",
                        4));
  EXPECT_EQ(records::KeySortForm(std::string("\x01\x02"
                                             "a",
                                             3),
                                 kId),
            std::string("\x02\x01"
                        "A",
                        3));  // stops at the end of the value
  EXPECT_EQ(records::CurrentKeySortForm(kId), records::KeySortForm(Slot().keyValue, kId));
}

}  // namespace
}  // namespace records_test

namespace records_test {
namespace {

// Files whose statistics go beyond the reads' buffers: a record longer than
// the 1536-byte data buffer, and more key segments than the statistics
// buffer holds.
TEST_F(RecordsTest, RecordLongerThanTheDataBufferIsCutAndCountsAsRead) {
  using btr_test::Segment;
  const std::string path = session.dir().Sub("DADES/LONG.dat");
  ASSERT_EQ(btr_test::Create(path, btr_test::CreateBuffer(4000, {{{1, 2}}}, {}, 4096)), 0);
  {
    btr_test::File file;
    ASSERT_EQ(file.Open(path), 0);
    ASSERT_EQ(file.Insert("AB" + std::string(3998, 'x')), 0);
    btrieve::ResetRecordManager();
  }
  std::array<unsigned char, 40> area{};
  std::int16_t status = -1;
  records::OpenRecordFile(800, Root("LONG"), records::RecordArea(area.data(), 30), status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(records::RecordFiles().slots[records::FindSlot(800).slot].recordLength, 1536);
  records::FindByKey(800, 0, "AB", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(area.begin(), area.begin() + 30), "AB" + std::string(28, 'x'));
  EXPECT_EQ(std::string(area.begin() + 30, area.end()), std::string(10, '\0'));
}

TEST_F(RecordsTest, KeysBeyondTheStatisticsBufferAreNotDefined) {
  using btr_test::Segment;
  std::vector<std::vector<Segment>> keys;
  for (int k = 0; k < 100; ++k) keys.push_back({{static_cast<std::uint16_t>(k + 1), 1}});
  // A creation description longer than the program's 1536-byte buffer,
  // given straight to the record manager.
  std::string description = btr_test::CreateBuffer(100, keys, {}, 4096);
  std::string name = session.dir().Sub("DADES/WIDE.dat");
  std::uint8_t block[btrieve::kPositionBlockSize] = {};
  std::uint32_t length = static_cast<std::uint32_t>(description.size());
  ASSERT_EQ(BTRCALL(btrieve::kBtrCreate, block, description.data(), &length, name.data(),
                    static_cast<std::uint8_t>(name.size()), 0),
            0);
  std::array<unsigned char, 100> area{};
  std::int16_t status = -1;
  records::OpenRecordFile(801, Root("WIDE"), area, status);
  ASSERT_EQ(status, 0);
  int keyLength = -1;
  int recordLength = -1;
  records::ReadFileStats(801, 90, keyLength, recordLength);
  EXPECT_EQ(recordLength, 100);
  EXPECT_EQ(keyLength, 1);  // segment 91 still lies in the buffer
  records::ReadFileStats(801, 99, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);  // its specification was cut off
  records::FindByKey(801, 99, "x", 0, status);
  EXPECT_EQ(status, records::kKeyNotDefined);
  EXPECT_EQ(records::KeySortForm("x", 801), "x");
}

}  // namespace
}  // namespace records_test
