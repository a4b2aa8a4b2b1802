// Key ordering of every key type against a plain reference comparison of
// the decoded values: random values go in, Get First / Get Next must give
// them back in the reference order (duplicates in insertion order).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>

#include "../support/btr_helpers.h"
#include "../support/temp_dir.h"
#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"

namespace {

using namespace btrieve;
using namespace storage;
using btr_test::File;

struct TypeCase {
  const char* name;
  std::vector<btr_test::Segment> segments;  // over bytes 5..12 of the record
  std::vector<std::string> acs;
  std::function<std::string(std::mt19937&)> make;                    // 8 value bytes
  std::function<bool(const std::string&, const std::string&)> less;  // reference order
};

template <typename T>
T Load(const std::string& s, size_t at = 0) {
  T v;
  std::memcpy(&v, s.data() + at, sizeof v);
  return v;
}

std::string Bytes(std::mt19937& rng, size_t n, int lo = 0, int hi = 255) {
  std::uniform_int_distribution<int> d(lo, hi);
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(d(rng));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A collating table that sorts vowels before everything else.
std::string VowelsFirstTable() {
  std::string t(256, '\0');
  const std::string vowels = "aeiou";
  for (int i = 0; i < 256; ++i) {
    size_t v = vowels.find(static_cast<char>(i));
    t[i] = static_cast<char>(v != std::string::npos ? v : std::min(255, i + 5));
  }
  return t;
}

std::vector<TypeCase> Cases() {
  const uint16_t ext = kKeyExtendedType | kKeyDuplicates;
  static const std::string table = VowelsFirstTable();
  auto uns = [](const std::string& a, const std::string& b) {
    return Load<uint32_t>(a) < Load<uint32_t>(b);
  };
  auto text = [](int lo, int hi) {
    return [lo, hi](std::mt19937& r) { return Bytes(r, 3, lo, hi) + Bytes(r, 5, lo, hi); };
  };
  return {
      {"int16",
       {{5, 2, ext, kTypeInteger}},
       {},
       [](std::mt19937& r) { return Bytes(r, 2) + "      "; },
       [](auto& a, auto& b) { return Load<int16_t>(a) < Load<int16_t>(b); }},
      {"int64",
       {{5, 8, ext, kTypeInteger}},
       {},
       [](std::mt19937& r) { return Bytes(r, 8); },
       [](auto& a, auto& b) { return Load<int64_t>(a) < Load<int64_t>(b); }},
      {"binary flag",
       {{5, 4, kKeyBinary | kKeyDuplicates}},
       {},
       [](std::mt19937& r) { return Bytes(r, 4) + "    "; },
       uns},
      {"unsigned type",
       {{5, 4, ext, kTypeUnsigned}},
       {},
       [](std::mt19937& r) { return Bytes(r, 4) + "    "; },
       uns},
      {"float",
       {{5, 8, ext, kTypeFloat}},
       {},
       [](std::mt19937& r) {
         double d = std::uniform_real_distribution<double>(-1e6, 1e6)(r);
         std::string s(8, '\0');
         std::memcpy(s.data(), &d, 8);
         return s;
       },
       [](auto& a, auto& b) { return Load<double>(a) < Load<double>(b); }},
      {"string",
       {{5, 8, kKeyDuplicates}},
       {},
       text(0, 255),
       [](auto& a, auto& b) { return a < b; }},
      {"string nocase",
       {{5, 8, kKeyDuplicates | kKeyNoCase}},
       {},
       text('A', 'z'),
       [](auto& a, auto& b) { return Upper(a) < Upper(b); }},
      {"string descending",
       {{5, 8, kKeyDuplicates | kKeyDescending}},
       {},
       text('a', 'e'),
       [](auto& a, auto& b) { return b < a; }},
      {"alternate collating",
       {{5, 8, kKeyDuplicates | kKeyAlternate}},
       {btr_test::Acs("VOWELS", table)},
       text('a', 'h'),
       [](const std::string& a, const std::string& b) {
         std::string x = a, y = b;
         for (char& c : x) c = table[static_cast<uint8_t>(c)];
         for (char& c : y) c = table[static_cast<uint8_t>(c)];
         return x < y;
       }},
      {"zstring",
       {{5, 8, ext, kTypeZString}},
       {},
       [](std::mt19937& r) {
         std::string s = Bytes(r, 8, 'a', 'c');
         s[std::uniform_int_distribution<int>(0, 7)(r)] = '\0';
         return s;
       },
       [](auto& a, auto& b) { return std::strncmp(a.data(), b.data(), 8) < 0; }},
      {"lstring",
       {{5, 8, ext, kTypeLString}},
       {},
       [](std::mt19937& r) {
         std::string s = Bytes(r, 8, 'a', 'c');
         s[0] = static_cast<char>(std::uniform_int_distribution<int>(0, 7)(r));
         return s;
       },
       [](auto& a, auto& b) {
         return a.substr(1, static_cast<uint8_t>(a[0])) < b.substr(1, static_cast<uint8_t>(b[0]));
       }},
      {"segments: int16 descending, then string",
       {{5, 2, ext | kKeyDescending, kTypeInteger}, {7, 6, kKeyDuplicates}},
       {},
       [](std::mt19937& r) { return Bytes(r, 2, 0, 3) + Bytes(r, 6, 'a', 'c'); },
       [](auto& a, auto& b) {
         int16_t x = Load<int16_t>(a), y = Load<int16_t>(b);
         return x != y ? x > y : a.substr(2) < b.substr(2);
       }},
  };
}

TEST(KeyOrder, EveryKeyTypeOrdersLikeItsDecodedValues) {
  ResetRecordManager();
  testing_support::TempDir dir;
  std::mt19937 rng(4);
  int n = 0;
  for (const TypeCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Sub("k" + std::to_string(n++) + ".dat");
    ASSERT_EQ(btr_test::Create(
                  path, btr_test::CreateBuffer(12, {{{1, 4, kKeyBinary}}, c.segments}, c.acs)),
              0);
    File file;
    ASSERT_EQ(file.Open(path), 0);
    std::vector<std::string> values;
    for (uint32_t id = 0; id < 300; ++id) {
      // Every third value repeats an earlier one, to exercise duplicates.
      values.push_back(id % 3 == 2 ? values[id / 2] : c.make(rng));
      ASSERT_EQ(file.Insert(btr_test::Le32(id) + values.back()), 0);
    }
    std::vector<uint32_t> expected(values.size());
    for (uint32_t i = 0; i < expected.size(); ++i) expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(),
                     [&](uint32_t a, uint32_t b) { return c.less(values[a], values[b]); });
    std::vector<uint32_t> got;
    for (auto r = file.Get(kBtrGetFirst, 1); r.status == 0; r = file.Get(kBtrGetNext, 1)) {
      got.push_back(Load<uint32_t>(r.data));
    }
    EXPECT_EQ(got, expected);
    // Get Equal finds the first of a run of duplicates.
    auto r = file.Get(kBtrGetEqual, 1, values[expected[150]]);
    ASSERT_EQ(r.status, 0);
    uint32_t first = expected[150];
    for (uint32_t id : expected) {
      if (!c.less(values[id], values[first]) && !c.less(values[first], values[id])) {
        first = id;
        break;
      }
    }
    EXPECT_EQ(Load<uint32_t>(r.data), first);
    file.Close();
  }
  ResetRecordManager();
}

}  // namespace
