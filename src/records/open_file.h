// Opening a record file by name, creating it from its data dictionary file
// when it is missing, and the fatal end when it cannot be opened.
#pragma once

#include <cstdint>
#include <string>

#include "records/record_table.h"

namespace records {

// The caller's name split the way the open completes it.
struct FileNameParts {
  std::string directory;  // up to and including the last ":", "\" or "/"
  std::string baseName;   // after it, up to the first dot
  std::string extension;  // from that dot on; ".dat" when there is none
  std::string FullName() const { return directory + baseName + extension; }
};
FileNameParts CompleteFileName(const std::string& name);

// The data dictionary file of a base name: RootDir + "ddf\" + base + ".xdf".
std::string DictionaryFileName(const std::string& baseName);

// Opens the file under the identifier and binds the record area.
// kStatusOk on success; kAlreadyOpen and kTableFull return at once without a message,
// and so does kNotOpen for identifier 0, which marks free slots.
// A file locked by another user is waited for (3000 ms between tries,
// without limit unless RecordFiles().lockWaitLimit sets one; a bounded wait
// shows the lock message once and, when the time is spent, fails with the
// lock status); a missing file is created from its data dictionary file
// once.  A file whose records are shorter than the bound area is another
// file under this name and fails with kStatusDamaged.
// Any other failure is fatal: the message in the session language, a beep,
// one key, the release of every record file and the end of the program
// with exit code 1.  When the end is replaced by a stand-in, the status is
// returned and the identifier stays free.
void OpenRecordFile(std::int16_t fileId, const std::string& name, RecordArea area,
                    std::int16_t& status);

// The fatal message text: the language's words, the caller's name in this
// machine's form (platform::NativePath), " (", the status, ")".
// kStatusNotARecordFile (a file of another record manager) gets its own
// words: the file must be converted with recutil import.
std::string OpenFailureMessage(const std::string& name, std::int16_t status);

}  // namespace records
