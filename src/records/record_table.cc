// The table of open record files: lookup, statistics and the final release.
#include "records/record_table.h"

#include <algorithm>

#include "platform/program_state.h"
#include "records/stat_buffer.h"

namespace records {

RecordFilesState& RecordFiles() {
  static RecordFilesState state;
  return state;
}

namespace {

// The files go back to the record manager first, while its table still
// holds them; the table empties even when it refuses.
void ReleaseFilesAndEmptyTable() {
  std::int16_t status = 0;
  ResetRecordFiles(status);
  RecordFiles() = RecordFilesState{};
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kRecords, "records::RecordFiles", ReleaseFilesAndEmptyTable);

}  // namespace

SlotSearch FindSlot(std::int16_t fileId) {
  // Files take the highest free slot, so the search runs downward.
  SlotSearch result{0, kTableFull};
  const RecordFilesState& state = RecordFiles();
  for (int slot = kSlotCount; slot >= 1; --slot) {
    const std::int16_t id = state.slots[slot].fileId;
    if (fileId != 0 && id == fileId) return {slot, 0};
    if (id == 0 && result.slot == 0) result = {slot, kNotOpen};
  }
  return result;
}

int NextLockWait(int wanted, int waited) {
  const int limit = RecordFiles().lockWaitLimit;
  if (limit < 0) return wanted;
  return waited >= limit ? -1 : std::min(wanted, limit - waited);
}

std::string OpenFileName(std::int16_t fileId) {
  const SlotSearch found = FindSlot(fileId);
  return found.status == 0 ? RecordFiles().slots[found.slot].name : std::string();
}

void ResetRecordFiles(std::int16_t& status) {
  RecordFilesState& state = RecordFiles();
  std::uint32_t length = 0;
  status = BTRCALL(btrieve::kBtrReset, state.slots[0].positionBlock.data(), nullptr, &length,
                   nullptr, 0, 0);
  if (status != 0) return;
  for (RecordSlot& slot : state.slots) slot = RecordSlot{};
}

namespace {

// The total length of a key's segments in a Stat buffer, 0 when the buffer
// does not describe it.  A key longer than the key buffer cannot be read
// through it, so the length is cut to it.
int KeyLengthIn(const std::string& buffer, int keyNumber) {
  int first = 0;
  int count = 0;
  if (!KeySegments(buffer, keyNumber, first, count)) return 0;
  int total = 0;
  for (int i = first; i < first + count; ++i) {
    StatSegment segment;
    StatSegmentAt(buffer, i, segment);
    total += segment.length;
  }
  return std::min<int>(total, kMaxKeyLength);
}

}  // namespace

void ReadFileStats(std::int16_t fileId, int keyNumber, int& keyLength, int& recordLength) {
  keyLength = 0;
  recordLength = 0;
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) return;
  RecordSlot& slot = RecordFiles().slots[found.slot];
  std::string buffer;
  if (!IssueStat(slot, buffer)) return;
  // Reads copy the record through the 1536-byte data buffer, so a longer
  // logical length is cut to it.
  recordLength = std::min<int>(StatWord(buffer, 0), kDataBufferSize);
  if (keyNumber < 0 || keyNumber >= StatWord(buffer, 4)) return;
  if (!IssueStat(slot, buffer)) return;
  keyLength = KeyLengthIn(buffer, keyNumber);
}

std::vector<int> ReadKeyLengths(std::int16_t fileId) {
  const SlotSearch found = FindSlot(fileId);
  std::string buffer;
  if (found.status != 0 || !IssueStat(RecordFiles().slots[found.slot], buffer)) return {};
  std::vector<int> lengths;
  for (int key = 0; key < StatWord(buffer, 4); ++key) lengths.push_back(KeyLengthIn(buffer, key));
  return lengths;
}

}  // namespace records
