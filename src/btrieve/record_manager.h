// The record manager's state in this process: the table of open record
// files that the callers' position blocks name, each with its store, its
// locks and its currency.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "storage/record_backend.h"

namespace btrieve {

// Entries read ahead for a run of Get Next (or Get Previous) along one key.
// They are served only while the file's write count stays what it was when
// they were read, and only to a read that goes on from the last one served.
struct ReadAhead {
  bool valid = false;
  int key = 0;
  storage::Seek how = storage::Seek::kNext;
  uint64_t changeCount = 0;
  std::vector<storage::IndexEntry> entries;
  size_t next = 0;
  int batch = 0;  // grows while a run goes on
};

// Results of Get Equal without a lock, by key number and sort form of the
// value.  Like the entries read ahead, they are served only while the
// file's write count stays what it was when they were read; a write by any
// open of the file, in any process, drops them all.
struct KeptReads {
  struct Kept {
    int16_t status = 0;  // kStatusOk with the entry, or kStatusKeyNotFound
    storage::IndexEntry entry;
  };
  uint64_t changeCount = 0;
  std::unordered_map<std::string, Kept> reads;
};

struct OpenRecordFile {
  explicit OpenRecordFile(std::unique_ptr<storage::OpenedRecordFile> opened)
      : backend(std::move(opened)),
        path(backend->Name()),
        store(backend->Store()),
        locks(backend->Locks()),
        entriesCounted(store.spec().keys.size()) {}
  std::unique_ptr<storage::OpenedRecordFile> backend;  // owns the store and the locks
  std::string path;  // the backend's name, which tells two opens of one file apart
  storage::RecordStorage& store;
  storage::RecordLocking& locks;
  bool readOnly = false;
  uint32_t generation = 0;
  // Currency.  `current` is the record Update, Delete and Get Position act
  // on (0: none); `physical` is where the Step operations go on from (it
  // survives a Delete); the logical currency is a place in one key's index.
  uint32_t current = 0;
  uint32_t physical = 0;
  bool logicalValid = false;
  int logicalKey = 0;
  std::string logicalSort;
  int64_t logicalSeq = 0;
  // Set while Get Next runs on entries read ahead: the sort form of the
  // logical place is then that of the key of the record last served
  // (ahead.entries[ahead.next - 1]), worked out only when it is needed.
  bool logicalSortPending = false;
  ReadAhead ahead;
  KeptReads kept;
  // The sort form of the key of the record a key read serves, worked out
  // to hold it against its index entry (its buffer reused).
  std::string recordSort;
  // By key number: one more than the write count at which the key's index
  // was last found holding as many entries as the file has records (0: not
  // yet in this open), so that it is counted once while the file stays
  // unchanged.
  std::vector<uint64_t> entriesCounted;
  // Record locks this open holds.
  uint32_t singleLock = 0;
  std::set<uint32_t> multipleLocks;
};

struct RecordManagerState {
  std::vector<std::unique_ptr<OpenRecordFile>> files;
  uint32_t nextGeneration = 1;
  bool inTransaction = false;
};

RecordManagerState& RecordManager();
// Closes every open file (dropping its locks and any open transaction).
// BTRCALL's Reset does it, and so does the reset of the program state
// (platform/program_state.h).
void ResetRecordManager();
// Ends the read transaction each open file holds between reads.  Called
// before the program waits for the operator: a snapshot held that long
// would keep other programs' writes from being checkpointed into the file.
void ReleaseHeldReads();

// Takes an opened file into the table and names it in the position block.
OpenRecordFile* AddOpenFile(uint8_t* posBlock, std::unique_ptr<OpenRecordFile> file);
// The open file a position block names, or nullptr.
OpenRecordFile* FindOpenFile(const uint8_t* posBlock);
// Closes the file a position block names and clears the block's name.
void RemoveOpenFile(uint8_t* posBlock);

// Drops the record locks of an open file that are on position (0: all).
void ReleaseRecordLocks(OpenRecordFile& file, uint32_t position);
// Drops the single-record lock only (multiple-record locks stay).
void ReleaseSingleLock(OpenRecordFile& file);
// Whether another open of the same file in this process holds the record:
// waiting for it would never end, since this process is the one to let go.
bool HeldByThisProcess(const OpenRecordFile& file, uint32_t position);
// Whether another open of the same file in this process holds the file's
// write lock in the open transaction, for the same reason.
bool WriteLockedByThisProcess(const OpenRecordFile& file);

}  // namespace btrieve
