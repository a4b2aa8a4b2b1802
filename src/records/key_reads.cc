// Positioning reads: by key value, by stepping along the current key, and
// by the record manager's record position.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/timing.h"
#include "records/record_reads.h"
#include "records/record_table.h"

namespace records {
namespace {

std::int16_t CutRecordIsFine(std::int16_t status) {
  return status == btrieve::kStatusDataBufferTooShort ? 0 : status;
}

// The key a read wrote back into a scratch key buffer, as long as the
// slot's key value.  Key values may hold zero bytes (binary keys), so the
// length is the key's, not the text's up to its first zero.
void KeepReturnedKey(RecordSlot& slot, const std::string& keyBuffer) {
  slot.keyValue = keyBuffer.substr(0, std::min(slot.keyValue.size(), kMaxKeyLength));
}

void CopyToArea(RecordSlot& slot, const std::string& data, std::uint32_t returned) {
  const std::size_t bytes = std::min({static_cast<std::size_t>(returned),
                                      static_cast<std::size_t>(std::max(slot.recordLength, 0)),
                                      slot.area.size(), data.size()});
  if (bytes > 0) std::memcpy(slot.area.data(), data.data(), bytes);
}

// One step along the current key into scratch buffers; the record passed
// over does not reach the record area.
std::int16_t PlainStep(RecordSlot& slot, std::uint16_t code) {
  std::string data(kDataBufferSize, ' ');
  std::uint32_t length = kDataBufferSize;
  std::string key(kKeyBufferSize, '\0');
  std::int16_t status =
      CutRecordIsFine(BTRCALL(code, slot.positionBlock.data(), data.data(), &length, key.data(), 0,
                              static_cast<std::int8_t>(slot.keyNumber)));
  if (status == 0) KeepReturnedKey(slot, key);
  return status;
}

}  // namespace

void FindByKey(std::int16_t fileId, int keyNumber, const std::string& keyValue, int direction,
               std::int16_t& status) {
  const platform::TimedStepScope timed(platform::TimedStep::kRecordRead);
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) {
    status = kNotOpen;
    return;
  }
  RecordSlot& slot = RecordFiles().slots[found.slot];
  const int keyLength = keyNumber >= 0 && keyNumber < static_cast<int>(slot.keyLengths.size())
                            ? slot.keyLengths[static_cast<std::size_t>(keyNumber)]
                            : 0;
  if (keyLength == 0) {
    status = kKeyNotDefined;
    return;
  }
  slot.keyNumber = static_cast<std::int16_t>(keyNumber);
  slot.keyValue = keyValue.substr(0, static_cast<std::size_t>(keyLength));
  slot.keyValue.resize(static_cast<std::size_t>(keyLength), '\0');
  const std::uint16_t code = direction == 0  ? btrieve::kBtrGetEqual
                             : direction > 0 ? btrieve::kBtrGetGreaterOrEqual
                                             : btrieve::kBtrGetLessOrEqual;
  status = 0;
  ReadWithLockRetry(found.slot, code, status);
  status = CutRecordIsFine(status);
}

void SkipRecords(std::int16_t fileId, int count, std::int16_t& status) {
  const platform::TimedStepScope timed(platform::TimedStep::kRecordRead);
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) {
    status = kNotOpen;
    return;
  }
  RecordSlot& slot = RecordFiles().slots[found.slot];
  const std::uint16_t code = count >= 0 ? btrieve::kBtrGetNext : btrieve::kBtrGetPrevious;
  status = 0;
  long long remaining = std::llabs(static_cast<long long>(count));
  for (; remaining > 1 && status == 0; --remaining) status = PlainStep(slot, code);
  if (remaining == 1 && status == 0) {
    ReadWithLockRetry(found.slot, code, status);
    status = CutRecordIsFine(status);
  }
}

std::int32_t RecordPosition(std::int16_t fileId, std::int32_t position) {
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) return 0;
  RecordSlot& slot = RecordFiles().slots[found.slot];
  std::string data(kDataBufferSize, ' ');
  std::uint32_t length = kDataBufferSize;
  std::string key(kKeyBufferSize, '\0');
  if (position == 0) {
    std::memset(data.data(), 0, 4);
    const std::int16_t status = BTRCALL(btrieve::kBtrGetPosition, slot.positionBlock.data(),
                                        data.data(), &length, key.data(), 0, 0);
    if (status != 0 || length < 4) return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[i]);
    return static_cast<std::int32_t>(value);
  }
  const auto where = static_cast<std::uint32_t>(position);
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((where >> (8 * i)) & 0xFF);
  const std::int16_t status =
      CutRecordIsFine(BTRCALL(btrieve::kBtrGetDirect, slot.positionBlock.data(), data.data(),
                              &length, key.data(), 0, static_cast<std::int8_t>(slot.keyNumber)));
  if (status == 0) {
    KeepReturnedKey(slot, key);
    CopyToArea(slot, data, length);
  }
  return status;
}

}  // namespace records
