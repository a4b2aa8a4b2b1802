// The storage behind BTRCALL, as the operation handlers see it: a record
// file's store (records, key indexes, counts, transactions) and its locks
// (file lock, record locks, write count).  Two backends implement it: SQLite
// files beside the program's other files (record_store.h, record_locks.h)
// and tables in a PostgreSQL database (pg_store.h), chosen by KELDB.
//
// The handlers keep currency, read-ahead and the lock bookkeeping of each
// open; a backend answers "the entry after this one", applies writes and
// holds locks, with the statuses of btrcall.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/record_spec.h"
#include "storage/record_store.h"

namespace storage {

// One open's store; the contract of each call is RecordStore's.
class RecordStorage {
 public:
  virtual ~RecordStorage() = default;
  virtual const FileSpec& spec() const = 0;
  virtual int16_t ReadKey(int key, Seek how, const std::string& sort, int64_t seq,
                          IndexEntry* out) = 0;
  virtual int16_t ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq, int limit,
                               std::vector<IndexEntry>* out) = 0;
  virtual int16_t ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record) = 0;
  virtual int16_t ReadAt(uint32_t position, std::string* record) = 0;
  virtual int16_t EntryOf(int key, uint32_t position, const std::string& record,
                          IndexEntry* out) = 0;
  virtual int16_t Counts(uint32_t* records, std::vector<uint32_t>* distinct) = 0;
  // Whether the index of key holds one entry for each record of the file
  // (no more entries than records for a key whose values may be null):
  // 0, or 2 when it does not.  A backend whose indexes cannot lose or gain
  // an entry beside its records says 0.
  virtual int16_t CheckEntryCount(int /*key*/) { return 0; }
  virtual int16_t Insert(const std::string& record, uint32_t* position) = 0;
  virtual int16_t Update(uint32_t position, const std::string& oldRecord,
                         const std::string& newRecord) = 0;
  virtual int16_t Delete(uint32_t position, const std::string& record) = 0;
  virtual int16_t BeginTransaction() = 0;
  virtual int16_t EndTransaction(bool commit) = 0;
  // Ends what a backend holds between reads (RecordStore::ReleaseReads).
  virtual void ReleaseReads() {}
  // Whether this open holds the one write lock of its file until End or
  // Abort Transaction, so no other open can write meanwhile (SQLite: an
  // open outer transaction).  A backend that locks rows says no.
  virtual bool HoldsFileWriteLock() const { return false; }
};

// One open's locks; the contract of each call is RecordLocks's.
class RecordLocking {
 public:
  virtual ~RecordLocking() = default;
  virtual bool LockRecord(uint32_t position, bool wait) = 0;
  virtual void UnlockRecord(uint32_t position) = 0;
  virtual bool HeldElsewhere(uint32_t position) = 0;
  virtual bool ChangeCount(uint64_t* count) const = 0;
  virtual void NoteChange() = 0;
};

// One open of a record file in some backend: its store and its locks,
// released together when it is destroyed.
class OpenedRecordFile {
 public:
  virtual ~OpenedRecordFile() = default;
  virtual RecordStorage& Store() = 0;
  virtual RecordLocking& Locks() = 0;
  // The name that tells two opens of one file apart.
  virtual const std::string& Name() const = 0;
};

// Where record files are kept.  Read from the environment (KELDB, and
// KELROOT for the names of files in the database) at the first open or
// create unless set before.
struct RecordDatabase {
  std::string conninfo;  // libpq connection string; empty: SQLite files
  std::string root;      // installation root as the system names it
};
const RecordDatabase& CurrentRecordDatabase();
// Sets where the next opens and creates go (recutil --db, tests).
void SetRecordDatabase(const RecordDatabase& database);

// The server's words for the last failure to reach it or loss of the
// connection (empty when none), for the open message; and how many such
// failures there were, so a run can tell that one happened while it went on.
const std::string& RecordServerMessage();
uint64_t RecordServerFailures();
void NoteRecordServerFailure(const std::string& message);

// Opens the file named as the caller named it (a Windows-style name),
// taking its file lock (exclusive or shared) without waiting.  Returns
// kStatusOk with *out set, or the open's status (kStatusFileNotFound,
// kStatusNotARecordFile, kStatusAccessDenied, kStatusFileLocked,
// kStatusManagerInactive when the server cannot be reached, ...).
int16_t OpenBackendFile(const std::string& name, bool exclusive,
                        std::unique_ptr<OpenedRecordFile>* out);
// Creates a record file for spec; with replace false an existing file
// gives kStatusFileExists, with replace true a file open anywhere gives
// kStatusFileLocked.
int16_t CreateBackendFile(const std::string& name, const FileSpec& spec, bool replace);

// Puts the record file named from, complete and closed, in place of the
// one named to (if any), in one step that a crash leaves done or not done:
// to keeps its old content or has the new one, and from no longer exists.
// Replacing needs the old file's lock exclusively, else 85; 25 when the
// new file cannot be put there, 12 when from does not exist.
int16_t ReplaceBackendFile(const std::string& from, const std::string& to);

// The SQLite backend (sqlite_backend.cc) and the PostgreSQL one (pg_store.cc).
int16_t OpenSqliteFile(const std::string& path, bool exclusive,
                       std::unique_ptr<OpenedRecordFile>* out);
int16_t CreateSqliteFile(const std::string& path, const FileSpec& spec, bool replace);
int16_t ReplaceSqliteFile(const std::string& from, const std::string& to);
int16_t OpenPgFile(const std::string& conninfo, const std::string& name, bool exclusive,
                   std::unique_ptr<OpenedRecordFile>* out);
int16_t CreatePgFile(const std::string& conninfo, const std::string& name, const FileSpec& spec,
                     bool replace);
int16_t ReplacePgFile(const std::string& conninfo, const std::string& from, const std::string& to);
// The names of the record files kept in the database, in name order.
int16_t ListPgFiles(const std::string& conninfo, std::vector<std::string>* names);

// The name of a record file in the database: its native path under the
// installation root (or its whole native path outside it), in lower case.
std::string DatabaseFileName(const std::string& name, const std::string& root);

}  // namespace storage
