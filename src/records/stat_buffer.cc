// Reading the statistics buffer.  A damaged or foreign file may give any
// bytes here, so every offset is checked against the buffer before use.
#include "records/stat_buffer.h"

namespace records {

bool IssueStat(RecordSlot& slot, std::string& buffer) {
  buffer.assign(kDataBufferSize, ' ');
  std::string key(kKeyBufferSize, ' ');
  key.back() = '\0';
  std::uint32_t length = kDataBufferSize;
  const std::int16_t status =
      BTRCALL(btrieve::kBtrStat, slot.positionBlock.data(), buffer.data(), &length, key.data(),
              static_cast<std::uint8_t>(kMaxKeyLength), 0);
  return status == btrieve::kStatusOk || status == btrieve::kStatusDataBufferTooShort;
}

int StatWord(const std::string& buffer, std::size_t offset) {
  if (offset + 2 > buffer.size()) return 0;
  return static_cast<unsigned char>(buffer[offset]) |
         (static_cast<unsigned char>(buffer[offset + 1]) << 8);
}

bool StatSegmentAt(const std::string& buffer, int index, StatSegment& segment) {
  const std::size_t offset = 16 + 16 * static_cast<std::size_t>(index);
  if (index < 0 || offset + 16 > buffer.size()) return false;
  segment.length = StatWord(buffer, offset + 2);
  segment.flags = static_cast<std::uint16_t>(StatWord(buffer, offset + 4));
  return true;
}

bool KeySegments(const std::string& buffer, int key, int& first, int& count) {
  int index = 0;
  for (int k = 0; k <= key; ++k) {
    first = index;
    StatSegment segment;
    do {
      if (!StatSegmentAt(buffer, index, segment)) return false;
      ++index;
    } while (segment.flags & kSegmentChained);
    count = index - first;
  }
  return key >= 0;
}

}  // namespace records
