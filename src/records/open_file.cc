// Opening a record file: the slot, the Open request with its retries on a
// locked file, creation from the data dictionary file, and the fatal end.
#include "records/open_file.h"

#include <cstdio>

#include "config/in_language.h"
#include "config/session_settings.h"
#include "console/console_state.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "platform/cp850.h"
#include "platform/paths.h"
#include "platform/program_end.h"
#include "platform/waits.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "storage/record_backend.h"
#include "terminal/cell_buffer.h"

namespace records {
namespace {

constexpr int kLockedFileWait = 3000;  // milliseconds between tries
constexpr int kFailureExitCode = 1;
constexpr int kLockMessageRow = 24;

// The owner name every Open carries: four digits and a zero byte, put
// together here rather than kept whole in the program.
std::string OwnerName() {
  std::string owner;
  for (char piece : {'4', '7', '1', '9'}) owner += piece;
  owner += '\0';
  return owner;
}

std::int16_t IssueOpen(RecordSlot& slot, const std::string& fullName) {
  std::string owner = OwnerName();
  std::uint32_t length = static_cast<std::uint32_t>(owner.size());
  std::string key = fullName + '\0';
  return BTRCALL(btrieve::kBtrOpen, slot.positionBlock.data(), owner.data(), &length, key.data(),
                 static_cast<std::uint8_t>(fullName.size()), btrieve::kOpenNormal);
}

// The dictionary payload: a 2-byte little-endian count, then that many
// bytes.  False when the file is missing or shorter than its count says.
bool ReadDictionary(const std::string& baseName, std::string& payload) {
  std::FILE* file = platform::OpenFile(DictionaryFileName(baseName), "rb");
  if (file == nullptr) return false;
  unsigned char count[2];
  bool ok = std::fread(count, 1, 2, file) == 2;
  if (ok) {
    payload.assign(count[0] | (count[1] << 8), '\0');
    ok = std::fread(payload.data(), 1, payload.size(), file) == payload.size();
  }
  std::fclose(file);
  return ok;
}

std::int16_t IssueCreate(RecordSlot& slot, const FileNameParts& parts) {
  std::string payload;
  if (!ReadDictionary(parts.baseName, payload)) return btrieve::kStatusFileNotFound;
  payload.resize(kDataBufferSize, ' ');  // padded, or cut to the data buffer
  std::uint32_t length = kDataBufferSize;
  const std::string fullName = parts.FullName();
  std::string key = fullName + '\0';
  return BTRCALL(btrieve::kBtrCreate, slot.positionBlock.data(), payload.data(), &length,
                 key.data(), static_cast<std::uint8_t>(fullName.size()), -1);
}

// One more wait on a file another user holds, false when the time allowed
// is spent.  A bounded wait (an unattended run) says once what it waits
// for, even when no time at all is allowed; the unbounded one waits
// without a word.
bool WaitForLockedFile(int& waited) {
  bool shown = false;
  if (waited == 0 && RecordFiles().lockWaitLimit >= 0) {
    shown = console::ShowMessage(kLockMessageRow, LockMessage());
  }
  const int wait = NextLockWait(kLockedFileWait, waited);
  if (wait >= 0) {
    platform::SleepMilliseconds(wait);
    waited += wait;
  }
  if (shown) console::CloseWindow();
  return wait >= 0;
}

// Open with its retries: waits while another user holds the file, creates
// a missing file once and opens it again.
std::int16_t OpenOrCreate(RecordSlot& slot, const FileNameParts& parts) {
  const std::string fullName = parts.FullName();
  if (fullName.size() > kMaxKeyLength) return btrieve::kStatusInvalidFileName;
  bool created = false;
  int waited = 0;
  for (;;) {
    const std::int16_t status = IssueOpen(slot, fullName);
    if (status == btrieve::kStatusFileLocked) {
      if (!WaitForLockedFile(waited)) return status;
    } else if (status == btrieve::kStatusFileNotFound && !created) {
      const std::int16_t createStatus = IssueCreate(slot, parts);
      if (createStatus != 0) return createStatus;
      created = true;
    } else {
      return status;
    }
  }
}

// Drops every key already typed, so that the one key the message waits for
// is pressed after it appeared.
void DiscardWaitingKeys() {
  console::Console().pendingKeys.clear();
  for (int i = 0; i < 10000; ++i) {
    const terminal::EventKind kind = terminal::PollConsoleEvent().kind;
    if (kind == terminal::EventKind::kNone || kind == terminal::EventKind::kEndOfInput) break;
  }
}

// The database server's words for why it cannot be reached, in plain
// ASCII (it may answer in another character set) and of bounded length.
std::string ServerReason() {
  constexpr size_t kMostReason = 160;
  std::string reason = storage::RecordServerMessage().substr(0, kMostReason);
  for (char& c : reason) {
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
  }
  return reason;
}

void EndAfterFailure(const std::string& name, std::int16_t status) {
  const bool shown = console::ShowMessage(12, OpenFailureMessage(name, status));
  terminal::Beep();
  DiscardWaitingKeys();
  int key = 0;
  console::WaitKey(key);
  if (shown) console::CloseWindow();
  std::int16_t resetStatus = 0;
  ResetRecordFiles(resetStatus);
  platform::EndProgram(kFailureExitCode);
}

// A file of the record manager the office used before (status 30) needs
// converting, which the bare status does not tell the operator.
std::string ConversionMessage(const std::string& name) {
  return config::InLanguage("CAL CONVERTIR EL FITXER ", "HAY QUE CONVERTIR EL FICHERO ",
                            "HAI QUE CONVERTER O FICHEIRO ", "CAU CONVERTIR ETH FICH\xC8R ") +
         name + config::InLanguage(" AMB", " CON", " CON", " DAMB") + " recutil import (30)";
}

}  // namespace

std::string OpenFailureMessage(const std::string& caller, std::int16_t status) {
  // The name as this machine writes it, not as the caller joined it
  // ("/srv/office/DADES\X").
  const std::string name = platform::Utf8ToCp850(platform::NativePath(caller));
  if (status == btrieve::kStatusNotARecordFile) return ConversionMessage(name);
  std::string text =
      config::InLanguage("NO ES POT ACCEDIR AL FITXER ", "NO SE PUEDE ACCEDER AL FICHERO ",
                         "NOM SE PODE ACEDER AO FICHEIRO ", "NON SE P\xD2T ACCEDIR ATH FICH\xC8R ");
  text += name + " (" + std::to_string(status) + ")";
  if (status == btrieve::kStatusManagerInactive) text += ": " + ServerReason();
  return text;
}

void OpenRecordFile(std::int16_t fileId, const std::string& name, RecordArea area,
                    std::int16_t& status) {
  const SlotSearch found = FindSlot(fileId);
  if (found.status == 0) {
    status = kAlreadyOpen;
    return;
  }
  if (found.status == kTableFull || fileId == 0) {
    status = found.status == kTableFull ? kTableFull : kNotOpen;
    return;
  }
  RecordSlot& slot = RecordFiles().slots[found.slot];
  slot = RecordSlot{};
  slot.fileId = fileId;
  slot.name = name;
  slot.area = area;
  status = OpenOrCreate(slot, CompleteFileName(name));
  if (status != 0) {
    slot = RecordSlot{};
    EndAfterFailure(name, status);
    return;
  }
  int keyLength = 0;
  int recordLength = 0;
  ReadFileStats(fileId, 0, keyLength, recordLength);
  if (recordLength < static_cast<int>(area.size())) {
    // Another record file under this name (one copied over it, say): its
    // records are shorter than the ones the area holds, and a walk over them
    // would find nothing and pass for a run with nothing due.  (Longer
    // records are cut to the area, as every read does.)
    status = btrieve::kStatusDamaged;
    EndAfterFailure(name, status);
    return;
  }
  slot.keyValue.assign(static_cast<std::size_t>(keyLength), '\0');
  slot.recordLength = recordLength;
  slot.keyLengths = ReadKeyLengths(fileId);
}

}  // namespace records
