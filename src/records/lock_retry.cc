// The read request with lock bias and retry, and the per-file lock modes.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "config/in_language.h"
#include "config/session_settings.h"
#include "console/window.h"
#include "format/text.h"
#include "platform/waits.h"
#include "records/record_reads.h"
#include "records/record_table.h"

namespace records {
namespace {

constexpr std::uint16_t kNoWaitLockBias = btrieve::kBtrSingleNoWait;
constexpr int kLockMessageRow = 24;

bool Lockable(std::uint16_t code) {
  return (code >= 5 && code <= 13) || code == 19 || (code >= 22 && code <= 24) ||
         (code >= 33 && code <= 35);
}

// What fills the key buffer after the key value, by the code sent: the
// lowest bytes for reads looking upward, the highest for reads looking
// downward, spaces otherwise.
char KeyFiller(std::uint16_t code) {
  switch (code) {
    case 8:
    case 9:
      return '\0';
    case 10:
    case 11:
      return '\xFF';
    default:
      return ' ';
  }
}

// Bytes that may travel between the record area and the data buffer.
std::size_t AreaBytes(const RecordSlot& slot) {
  return std::min({static_cast<std::size_t>(std::max(slot.recordLength, 0)), slot.area.size(),
                   kDataBufferSize});
}

std::int16_t IssueRead(RecordSlot& slot, std::uint16_t code) {
  std::string& data = RecordFiles().dataScratch;
  data.assign(kDataBufferSize, ' ');
  const std::size_t areaBytes = AreaBytes(slot);
  if (areaBytes > 0) std::memcpy(data.data(), slot.area.data(), areaBytes);
  std::uint32_t length = static_cast<std::uint32_t>(slot.recordLength);
  const std::size_t keyLength = std::min(slot.keyValue.size(), kMaxKeyLength);
  std::string& key = RecordFiles().keyScratch;
  key.assign(kKeyBufferSize, KeyFiller(code));
  std::memcpy(key.data(), slot.keyValue.data(), keyLength);
  const std::int16_t status =
      BTRCALL(code, slot.positionBlock.data(), data.data(), &length, key.data(),
              static_cast<std::uint8_t>(keyLength), static_cast<std::int8_t>(slot.keyNumber));
  const std::size_t returned = std::min<std::size_t>(length, areaBytes);
  if (returned > 0) std::memcpy(slot.area.data(), data.data(), returned);
  slot.keyValue.assign(key, 0, keyLength);
  return status;
}

}  // namespace

std::string LockMessage() {
  return config::InLanguage(
      "FITXER BLOQUEJAT. ESPEREU UN MOMENT.", "FICHERO BLOQUEADO. ESPERE UN MOMENTO.",
      "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.", "FICH\xC8R BLOQUEJAT. ESPERATZ UN MOMENT.");
}

void ReadWithLockRetry(int slotNumber, std::uint16_t code, std::int16_t& status) {
  if (slotNumber < 1 || slotNumber > kSlotCount || RecordFiles().slots[slotNumber].fileId == 0) {
    status = kNotOpen;
    return;
  }
  RecordSlot& slot = RecordFiles().slots[slotNumber];
  if (Lockable(code) && slot.lockMode != 0) code += kNoWaitLockBias;
  int attempts = 0;
  int waited = 0;
  bool messageShown = false;
  for (;;) {
    if (attempts == 1 && !messageShown) {
      messageShown = console::ShowMessage(kLockMessageRow, LockMessage());
    }
    status = IssueRead(slot, code);
    const bool locked =
        status == btrieve::kStatusRecordLocked || status == btrieve::kStatusFileLocked;
    if (!locked || slot.lockMode != 1) break;
    const int wait =
        NextLockWait(static_cast<int>(std::lround(platform::RandomUnit() * 10000 + 1)), waited);
    if (wait < 0) break;  // held past the time allowed: the lock status goes back
    platform::SleepMilliseconds(wait);
    waited += wait;
    attempts = std::min(attempts + 1, 2);
  }
  if (messageShown) console::CloseWindow();
}

void SetLockMode(std::int16_t fileId, const std::string& letters, std::int16_t& status) {
  const SlotSearch found = FindSlot(fileId);
  if (found.status != 0) {
    status = kNotOpen;
    return;
  }
  RecordSlot& slot = RecordFiles().slots[found.slot];
  std::string& stack = RecordFiles().lockModeStack;
  for (char letter : format::UpperCase(letters)) {
    if (letter == 'D') slot.lockMode = 0;
    if (letter == 'A') slot.lockMode = 1;
    if (letter == 'B') slot.lockMode = 2;
    if (letter == '+') {
      stack += static_cast<char>(found.slot);
      stack += static_cast<char>(slot.lockMode);
    }
    if (letter == '-') {
      for (std::size_t entry = stack.size() / 2; entry-- > 0;) {
        if (static_cast<unsigned char>(stack[2 * entry]) != found.slot) continue;
        slot.lockMode = static_cast<unsigned char>(stack[2 * entry + 1]);
        stack.erase(2 * entry, 2);
        break;
      }
    }
  }
}

}  // namespace records
