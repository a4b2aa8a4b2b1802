// The collating form of key values: the order in which the record manager
// compares the segments of a file's current key.
#include "records/record_reads.h"
#include "records/record_table.h"
#include "records/stat_buffer.h"

namespace records {
namespace {

constexpr std::size_t kAcsHeader = 9;  // signature byte and 8 name bytes
constexpr std::size_t kAcsTable = 256;

// Where the translation table of the alternate collating sequence starts,
// or npos when the buffer does not hold one whole.
std::size_t TranslationTable(const std::string& buffer) {
  const int keys = StatWord(buffer, 4);
  int first = 0;
  int count = 0;
  if (keys <= 0 || !KeySegments(buffer, keys - 1, first, count)) return std::string::npos;
  const std::size_t table = 16 + 16 * static_cast<std::size_t>(first + count) + kAcsHeader;
  return table + kAcsTable <= buffer.size() ? table : std::string::npos;
}

}  // namespace

std::string KeySortForm(const std::string& keyValue, std::int16_t fileId) {
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) return keyValue;
  RecordSlot& slot = RecordFiles().slots[found.slot];
  std::string buffer;
  if (!IssueStat(slot, buffer) || !IssueStat(slot, buffer)) return keyValue;
  int first = 0;
  int count = 0;
  if (!KeySegments(buffer, slot.keyNumber, first, count)) return keyValue;
  const std::size_t table = TranslationTable(buffer);
  std::string value = keyValue;
  std::size_t start = 0;  // 0-based position of the segment in the value
  for (int i = first; i < first + count; ++i) {
    StatSegment segment;
    StatSegmentAt(buffer, i, segment);
    const std::size_t length = static_cast<std::size_t>(segment.length);
    if (segment.flags & kSegmentBinary) {
      // A binary segment compares from its last byte, so it is turned round.
      if (start + length > kMaxKeyLength) break;
      if (value.size() < start + length) value.resize(start + length, '\0');
      for (std::size_t a = start, b = start + length; a + 1 < b; ++a, --b) {
        std::swap(value[a], value[b - 1]);
      }
    } else if ((segment.flags & kSegmentAlternate) && table != std::string::npos) {
      for (std::size_t p = start; p < start + length && p < value.size(); ++p) {
        value[p] = buffer[table + static_cast<unsigned char>(value[p])];
      }
    }
    start += length;
  }
  return value;
}

std::string CurrentKeySortForm(std::int16_t fileId) {
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) return {};
  return KeySortForm(RecordFiles().slots[found.slot].keyValue, fileId);
}

}  // namespace records
