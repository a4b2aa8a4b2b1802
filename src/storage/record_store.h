// One record file's storage: a SQLite database in WAL mode holding the
// records (positions never reused), one ordered index table per key and the
// file specification.  Layout in doc/record-files.md.
//
// The store keeps its prepared statements for the life of the open.  It
// knows nothing of currency or locks: it answers "the entry after this one"
// and applies writes, each write in its own transaction unless an outer one
// (Begin Transaction) is open.
#pragma once

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/record_spec.h"
#include "storage/sqlite_statement.h"

namespace storage {

// One entry of a key's index with its record.
struct IndexEntry {
  std::string sort;  // sort form of the key
  int64_t seq = 0;   // order among duplicates (0 for unique keys)
  uint32_t position = 0;
  std::string record;
};

enum class Seek { kFirst, kLast, kNext, kPrevious, kGreaterOrEqual, kGreater, kLessOrEqual, kLess };
enum class Step { kFirst, kLast, kNext, kPrevious };

class RecordStore {
 public:
  RecordStore() = default;
  ~RecordStore();
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // Builds a new database for spec at path.  With replace false an existing
  // file gives kStatusFileExists.  The file appears complete or not at all.
  // Returns kStatusOk, kStatusFileExists or kStatusCreateIoError (cannot be
  // written there).
  static int16_t Create(const std::string& path, const FileSpec& spec, bool replace);

  // Puts the closed database at from in place of the one at to, which
  // nobody may have open: to's log is first taken into to (a cut anywhere
  // leaves to whole), then from is synced and renamed over it.  Returns
  // kStatusOk or kStatusCreateIoError.
  static int16_t Replace(const std::string& from, const std::string& to);

  // Opens an existing database.  Returns kStatusOk, kStatusFileNotFound,
  // kStatusNotARecordFile, kStatusDamaged (pages the engine cannot read) or
  // kStatusAccessDenied (cannot be opened for access).
  int16_t Open(const std::string& path);
  void Close();
  const FileSpec& spec() const { return spec_; }

  // Reads: kStatusOk with the entry, kStatusEndOfFile past either end, or
  // an error status; damage met on the way (kStatusDamaged) is reported by
  // every read that meets it.
  int16_t ReadKey(int key, Seek how, const std::string& sort, int64_t seq, IndexEntry* out);
  // Up to limit entries after (Next) or before (Previous) the place
  // (sort, seq), nearest first; kStatusEndOfFile when there is none.  The
  // entries already in *out are reused (their buffers), so a run of batches
  // allocates once.
  int16_t ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq, int limit,
                       std::vector<IndexEntry>* out);
  int16_t ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record);
  // The record at position: kStatusOk, kStatusInvalidRecordAddress when
  // there is none.
  int16_t ReadAt(uint32_t position, std::string* record);
  // The index entry of the record at position for key (its sort form and
  // order among duplicates); kStatusKeyNotFound when the record is left out
  // of that index.
  int16_t EntryOf(int key, uint32_t position, const std::string& record, IndexEntry* out);
  // Records and distinct values of each key, for Stat.
  int16_t Counts(uint32_t* records, std::vector<uint32_t>* distinct);

  // Writes, each atomic: kStatusOk, kStatusDuplicateKey (on a unique key),
  // kStatusDiskFull or kStatusIoError; Update also kStatusModifiableKey when
  // it would change a key that may not change.
  int16_t Insert(const std::string& record, uint32_t* position);
  int16_t Update(uint32_t position, const std::string& oldRecord, const std::string& newRecord);
  int16_t Delete(uint32_t position, const std::string& record);

  // Whether key's index holds one entry for each record, by the stored
  // record count (for a key whose values may be null, no more entries than
  // records): 0, else kStatusDamaged.  SQLite counts the index page by
  // page (about 10 ms of CPU for 1,000,000 entries): little beside a walk
  // or an open.
  int16_t CheckEntryCount(int key);

  // Checks the whole file: the engine's integrity check, every record of
  // the record length and in each key's index under its own key value,
  // and every index entry with its record.  Adds one line per fault found,
  // at most limit in all, to *problems; returns kStatusOk when there is
  // none, else kStatusDamaged.
  int16_t Check(size_t limit, std::vector<std::string>* problems);
  // The engine's integrity check alone, for a file that does not open.
  static int16_t CheckEngine(const std::string& path, size_t limit,
                             std::vector<std::string>* problems);

  // Reads share one read transaction while the file's write count stays
  // what it was when the transaction began: writeCount is that count, read
  // before this call, and a different one ends the held transaction so the
  // next read starts a new one.  Every write ends it first.  Saves each read
  // the engine's locking and the check of the file's size.
  void HoldReads(uint64_t writeCount);
  // Ends the held read transaction, if any, so others' writes can be
  // checkpointed past it.
  void ReleaseReads();

  // An outer transaction spanning many writes.
  int16_t BeginTransaction();
  int16_t EndTransaction(bool commit);
  bool InTransaction() const { return outer_; }

 private:
  enum Fixed {
    kBegin,
    kBeginRead,
    kCommit,
    kRollback,
    kSavepoint,
    kRelease,
    kRollbackTo,
    kInsertRecord,
    kUpdateRecord,
    kDeleteRecord,
    kRecordAt,
    kStepFirst,
    kStepLast,
    kStepNext,
    kStepPrevious,
    kCountsRead,
    kCountsAdd,
    kFixedCount
  };
  enum PerKey {
    kSeekFirst,
    kSeekLast,
    kSeekNextSeq,  // Next / Previous among the duplicates of one value
    kSeekPreviousSeq,
    kSeekGe,
    kSeekGt,
    kSeekLe,
    kSeekLt,
    kInsertKey,
    kDeleteUnique,
    kDeleteDuplicate,
    kNextSeq,
    kAnyWithValue,
    kSeqOf,
    kSeekNextValue,  // Next / Previous past one value
    kSeekPreviousValue,
    kPerKeyCount
  };

  sqlite3_stmt* Statement(Fixed which);
  sqlite3_stmt* KeyStatement(int key, PerKey which);
  int16_t Run(sqlite3_stmt* st);
  // Whether a record has the file's record length (at least, for a file of
  // variable-length records); a record that has not is damage.
  bool Whole(const std::string& record) const;
  // Fills an entry from a row of a key statement in place, so a reused
  // entry keeps its buffers.  The order among duplicates is read only for
  // a key that has them (else 0).  Returns kStatusOk, or kStatusDamaged for
  // an entry without its record or a record that is not whole.
  int16_t ReadEntry(sqlite3_stmt* st, bool duplicates, IndexEntry* out) const;
  // Appends the rows of st to *out from *used on, reusing the entries there,
  // up to the first fault.
  int16_t StepEntries(sqlite3_stmt* st, bool duplicates, std::vector<IndexEntry>* out,
                      size_t* used) const;
  void CheckEntries(size_t limit, std::vector<std::string>* problems, int* rc);
  // A batch cut at a fault: the entries before it, or the fault when none.
  static int16_t Cut(int16_t status, size_t used, std::vector<IndexEntry>* out);
  int16_t BeginWrite();
  int16_t EndWrite(int16_t status);
  void AddCount(int key, int delta);
  int16_t FlushCounts(std::vector<int64_t>& deltas);
  int16_t InsertKeys(const std::string& record, uint32_t position, int onlyChanged,
                     const std::string* oldRecord);
  int16_t InsertKey(int key, const std::string& sort, uint32_t position);
  int16_t DeleteKey(int key, const std::string& sort, uint32_t position);
  bool KeyEntry(int key, const std::string& record, std::string* sort) const;

  sqlite3* db_ = nullptr;
  FileSpec spec_;
  bool outer_ = false;
  bool holding_ = false;  // a read transaction held across reads
  uint64_t heldCount_ = 0;
  // Count changes (index 0: records, k + 1: distinct values of key k) of
  // the write in progress, and of the outer transaction, written to the
  // counts table just before the commit rather than on every write.
  std::vector<int64_t> opCounts_;
  std::vector<int64_t> txCounts_;
  std::array<SqliteStatement, kFixedCount> fixed_;
  std::vector<std::array<SqliteStatement, kPerKeyCount>> perKey_;
};

// The status for a SQLite result code.
int16_t StatusOfSqlite(int rc);

}  // namespace storage
