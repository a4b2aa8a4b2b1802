// Cross-process locks of one open record file, held as open-file-description
// locks on a side file ("X.dat-lock"), never on the database itself.
//
// Byte 0 is the file lock: every open holds it shared, an exclusive open
// holds it exclusively.  Byte kRecordLockBase + position is the lock of the
// record at that position.  Each open has its own description, so two opens
// exclude each other even inside one process, and the system drops every
// lock of a process that dies.
//
// The side file belongs to the file itself, not to the name it was opened
// by: it lies beside the database's path with every link resolved, so two
// names of one file (a symbolic link to it) share its locks and write count.
#pragma once

#include <cstdint>
#include <string>

namespace storage {

class RecordLocks {
 public:
  RecordLocks() = default;
  ~RecordLocks();
  RecordLocks(const RecordLocks&) = delete;
  RecordLocks& operator=(const RecordLocks&) = delete;

  // Opens (creating it if needed) the side file of the database at datPath
  // and takes the file lock, shared or exclusive, without waiting.
  // Returns kStatusOk, kStatusFileLocked when another open's lock is in the
  // way, kStatusAccessDenied when the side file cannot be opened or is not
  // a plain file of its own (a symbolic or hard link found under its name
  // is refused, never written through).
  int16_t Open(const std::string& datPath, bool exclusive);
  void Close();

  // Takes the lock of the record at position; with wait, blocks until it is
  // free.  False when another open holds it (and wait is false).
  bool LockRecord(uint32_t position, bool wait);
  void UnlockRecord(uint32_t position);
  // Whether another open holds the record (probes without keeping a lock;
  // call only for records this open does not hold).
  bool HeldElsewhere(uint32_t position);

  // The write count into *count; false when it is not available (a side
  // file that cannot be mapped), in which case nothing may be read ahead.
  bool ChangeCount(uint64_t* count) const;
  // Called before a write starts and after it is committed or dropped.
  void NoteChange();

 private:
  int fd_ = -1;
  uint64_t* counter_ = nullptr;
};

// The path of the file itself: path with every link resolved, or path as
// given when it does not exist.  Two names of one file give one path.
std::string FilePathOf(const std::string& path);

// The side file's name for a database path (beside FilePathOf(datPath)).
std::string LockFilePath(const std::string& datPath);

}  // namespace storage
