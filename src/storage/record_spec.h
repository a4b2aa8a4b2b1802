// File and key specifications of a record file: parsing the classic Create
// buffer and writing the Stat buffer in the same layout.
//
// Create buffer: a 16-byte file specification (record length, page size,
// number of keys at offset 4, file flags at offset 10), then one 16-byte
// specification per key segment (position from 1, length, flags, extended
// type at +10, null value at +11, ACS number at +15), the segments of one key
// chained by the flag 0x0010, then the 265-byte alternate collating
// sequences (signature 0xAC, 8 name bytes, 256-byte table) that the segments
// with flag 0x0020 name by number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// Key segment flags.
constexpr uint16_t kKeyDuplicates = 0x0001;
constexpr uint16_t kKeyModifiable = 0x0002;
constexpr uint16_t kKeyBinary = 0x0004;
constexpr uint16_t kKeyNullAll = 0x0008;
constexpr uint16_t kKeySegmented = 0x0010;
constexpr uint16_t kKeyAlternate = 0x0020;
constexpr uint16_t kKeyDescending = 0x0040;
constexpr uint16_t kKeyExtendedType = 0x0100;
constexpr uint16_t kKeyNullAny = 0x0200;
constexpr uint16_t kKeyNoCase = 0x0400;

// Extended key types the record manager orders.
enum KeyType : uint8_t {
  kTypeString = 0,
  kTypeInteger = 1,
  kTypeFloat = 2,
  kTypeDate = 3,
  kTypeTime = 4,
  kTypeLogical = 7,
  kTypeLString = 10,
  kTypeZString = 11,
  kTypeUnsigned = 14,
};

constexpr size_t kFileSpecSize = 16;
constexpr size_t kSegmentSpecSize = 16;
constexpr size_t kAcsSize = 265;
constexpr uint8_t kAcsSignature = 0xAC;
constexpr int kMaxKeys = 119;
constexpr int kMaxKeyLength = 255;
constexpr int kMaxRecordLength = 16384;

struct KeySegment {
  uint16_t position = 1;  // counted from 1
  uint16_t length = 0;
  uint16_t flags = 0;
  uint8_t type = kTypeString;  // effective type, binary flag folded in
  uint8_t nullValue = 0;
  uint8_t acs = 0;
  uint8_t rawType = 0;    // the extended type byte as given
  uint8_t manualKey = 0;  // the manual key number byte as given
};

struct KeySpec {
  std::vector<KeySegment> segments;
  int length = 0;  // all segments
  bool duplicates = false;
  bool modifiable = false;
  bool nullAll = false;  // left out of the index when every segment is null
  bool nullAny = false;  // left out when any segment is null
};

struct FileSpec {
  uint16_t recordLength = 0;
  uint16_t pageSize = 0;
  uint16_t fileFlags = 0;
  std::vector<KeySpec> keys;
  std::vector<std::string> acs;  // 265 bytes each
};

// Parses a Create buffer of `size` bytes by its own counts; trailing bytes
// are ignored.  Returns kStatusOk or the status naming what is wrong
// (kStatusDataBufferTooShort: truncated; kStatusPageSize, kStatusNumberOfKeys,
// kStatusKeyPosition, kStatusRecordLength, kStatusKeyLength: key length or
// type; kStatusInvalidAcs: collating sequence).  `out` is filled only on
// kStatusOk.
int16_t ParseFileSpec(const uint8_t* data, size_t size, FileSpec* out);

// The Create layout of a parsed specification (the inverse of ParseFileSpec).
std::string EncodeFileSpec(const FileSpec& spec);

// The Stat layout: the Create layout with the number of records at offset 6
// and, in each segment, the number of distinct values at +6.
std::string EncodeStat(const FileSpec& spec, uint32_t records,
                       const std::vector<uint32_t>& distinctPerKey);

}  // namespace storage
