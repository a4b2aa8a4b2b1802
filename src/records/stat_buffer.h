// The statistics buffer of a record file as the record file layer reads it:
// record length, number of keys, the 16-byte key segment specifications in
// key order and the alternate collating sequence after the last one.
// Internal to src/records.
#pragma once

#include <cstdint>
#include <string>

#include "records/record_table.h"

namespace records {

inline constexpr std::uint16_t kSegmentBinary = 0x0004;
inline constexpr std::uint16_t kSegmentChained = 0x0010;
inline constexpr std::uint16_t kSegmentAlternate = 0x0020;

struct StatSegment {
  int length = 0;
  std::uint16_t flags = 0;
};

// Issues Stat for the slot into a fresh 1536-byte buffer filled with
// spaces.  False when the record manager gave no statistics (any status but
// kStatusOk and kStatusDataBufferTooShort, a buffer cut short, which leaves
// what fitted).
bool IssueStat(RecordSlot& slot, std::string& buffer);

// 16-bit little-endian value at offset.
int StatWord(const std::string& buffer, std::size_t offset);

// Segment specification number index (0-based over all keys); false when
// it does not lie wholly inside the buffer.
bool StatSegmentAt(const std::string& buffer, int index, StatSegment& segment);

// The first segment index of key and the number of its segments, walking
// the chains of keys 0 .. key.  False when a chain runs off the buffer.
bool KeySegments(const std::string& buffer, int key, int& first, int& count);

}  // namespace records
