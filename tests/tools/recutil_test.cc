// recutil's readers: key descriptions to Create buffers, and the
// sequential record format.
#include <gtest/gtest.h>

#include <cstdio>

#include "key_description.h"
#include "sequential.h"
#include "storage/record_spec.h"

namespace {

using namespace storage;

FileSpec Parsed(const std::string& text) {
  std::string buffer, error;
  EXPECT_TRUE(recutil::ParseKeyDescription(text, &buffer, &error)) << error;
  FileSpec spec;
  EXPECT_EQ(ParseFileSpec(reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size(), &spec),
            0);
  return spec;
}

TEST(KeyDescription, SegmentsAttributesAndCollatingSequenceReachTheBuffer) {
  FileSpec spec = Parsed(
      "# units\n"
      "record 448   # bytes\n"
      "page 2048\n"
      "acs CAPS upper\n"
      "key: 1+4 binary\n"
      "key dup mod null=20: 5+30 string acs=0 desc, 35+2 integer\n"
      "key null-any=0: 40+8 zstring nocase\n");
  EXPECT_EQ(spec.recordLength, 448);
  EXPECT_EQ(spec.pageSize, 2048);
  ASSERT_EQ(spec.keys.size(), 3u);
  EXPECT_EQ(spec.keys[0].segments[0].flags, kKeyBinary);
  ASSERT_EQ(spec.keys[1].segments.size(), 2u);
  const KeySegment& name = spec.keys[1].segments[0];
  EXPECT_EQ(name.flags, kKeyDuplicates | kKeyModifiable | kKeyNullAll | kKeySegmented |
                            kKeyAlternate | kKeyDescending);
  EXPECT_EQ(name.nullValue, 0x20);
  EXPECT_EQ(spec.keys[1].segments[1].type, kTypeInteger);
  EXPECT_EQ(spec.keys[1].length, 32);
  EXPECT_TRUE(spec.keys[2].nullAny);
  EXPECT_EQ(spec.keys[2].segments[0].flags & kKeyNoCase, kKeyNoCase);
  ASSERT_EQ(spec.acs.size(), 1u);
  EXPECT_EQ(spec.acs[0].substr(0, 9),
            "\xAC"
            "CAPS    ");
  EXPECT_EQ(spec.acs[0][9 + 'q'], 'Q');
  EXPECT_EQ(spec.acs[0][9 + 0x87], '\x87');
}

TEST(KeyDescription, MistakesNameTheirLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"key: 1+4\n", "no \"record LENGTH\""},
      {"record 10\nkey: 1+4 bigint\n", "line 2: unknown segment word \"bigint\""},
      {"record 10\nkey: 8+4\n", "refuses"},
      {"record 10\nkey: 1+4 acs=0\n", "refuses"},  // no collating sequence given
      {"record 10\nkey sorted: 1+4\n", "line 2: unknown key attribute"},
      {"record 10\nkey:\n", "at least one segment"},
      {"record 10\nkey: 1-4\n", "POSITION+LENGTH"},
      {"record 10\nkeys 1+4\n", "line 2: cannot read"},
      {"record ten\n", "line 1"},
  };
  for (const Case& c : cases) {
    std::string buffer, error;
    EXPECT_FALSE(recutil::ParseKeyDescription(c.text, &buffer, &error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " gave " << error;
  }
}

TEST(KeyDescription, DictionaryFileStartsWithTheByteCount) {
  std::string buffer(300, 'x');
  std::string file = recutil::DictionaryFile(buffer);
  EXPECT_EQ(file.substr(0, 2), std::string("\x2C\x01", 2));
  EXPECT_EQ(file.substr(2), buffer);
}

int ReadAll(const std::string& bytes, std::vector<std::string>* records, std::string* error) {
  std::FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  recutil::SequentialReader reader(f);
  std::string record;
  int got;
  while ((got = reader.Next(&record)) == 1) records->push_back(record);
  *error = reader.error();
  std::fclose(f);
  return got;
}

TEST(Sequential, RecordsRoundTripWithAnyBytesInside) {
  std::vector<std::string> records = {std::string("a\r\n,\0\x1A", 6), "", std::string(300, '\xFF')};
  std::string bytes;
  for (const auto& r : records) bytes += recutil::SequentialRecord(r);
  std::vector<std::string> back;
  std::string error;
  EXPECT_EQ(ReadAll(bytes + "\x1A", &back, &error), 0);
  EXPECT_EQ(back, records);
  back.clear();
  EXPECT_EQ(ReadAll("3,abc\n2,de\r\n", &back, &error), 0);
  EXPECT_EQ(back, (std::vector<std::string>{"abc", "de"}));
}

// Lengths have up to five digits: records of 10,000 bytes and more, and
// lengths written with leading zeros; a sixth digit is refused even when
// the value is small.
TEST(Sequential, FiveDigitLengthsAreReadAndASixthDigitIsNot) {
  const std::string large(10000, 'r');
  std::vector<std::string> back;
  std::string error;
  EXPECT_EQ(ReadAll(recutil::SequentialRecord(large) + "00012,twelve bytes\r\n", &back, &error), 0)
      << error;
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].size(), large.size());
  EXPECT_EQ(back[1], "twelve bytes");
  back.clear();
  EXPECT_EQ(ReadAll("000012,twelve bytes\r\n", &back, &error), -1);
  EXPECT_NE(error.find("record 1: length too large"), std::string::npos) << error;
}

TEST(Sequential, DamagedInputNamesTheRecord) {
  const std::pair<const char*, const char*> cases[] = {
      {"3,abc\r\n5,ab", "record 2: the file ends inside"},
      {"3,abcd\r\n", "record 1: expected CR LF"},
      {"x,abc\r\n", "record 1: expected the length"},
      {"999999999,", "record 1: length too large"},
      {"3abc\r\n", "record 1: expected the length"},
  };
  for (const auto& [bytes, message] : cases) {
    std::vector<std::string> back;
    std::string error;
    EXPECT_EQ(ReadAll(bytes, &back, &error), -1) << bytes;
    EXPECT_NE(error.find(message), std::string::npos) << bytes << " gave " << error;
  }
}

}  // namespace
