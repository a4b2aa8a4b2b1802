// The PostgreSQL backend of the record files.  Layout (doc/record-files.md):
//   qt_files        catalogue: id, name (bytes of the path under the
//                   installation root, lower case), create_buffer (the Create description)
//   qt_r<id>        one record file: pos bigserial (never reused), data
//                   bytea, and per key k the sort form k<k> (NULL when the
//                   record stays out of that key) and the order s<k> among
//                   duplicates (0 for a unique key), with a unique index
//                   on (k<k>, s<k>)
//   qt_r<id>_dup    the sequence giving the order among duplicates
// Each open has its own connection: its session advisory locks are the
// file lock (one bigint key, the file id) and the record locks (two int4
// keys: file id, position), so the server drops them when the process ends
// or loses its connection, and two opens in one process exclude each other.
// A write notifies the channel qt_r<id>, which tells the other opens to
// drop what they read ahead.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/pg_connection.h"
#include "storage/record_backend.h"

namespace storage {

class PgStore final : public RecordStorage {
 public:
  // watch tells when the file was written (its change count).
  PgStore(PgConnection& connection, int fileId, FileSpec spec, const RecordLocking& watch);

  const FileSpec& spec() const override { return spec_; }
  int16_t ReadKey(int key, Seek how, const std::string& sort, int64_t seq,
                  IndexEntry* out) override;
  int16_t ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq, int limit,
                       std::vector<IndexEntry>* out) override;
  int16_t ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record) override;
  int16_t ReadAt(uint32_t position, std::string* record) override;
  int16_t EntryOf(int key, uint32_t position, const std::string& record, IndexEntry* out) override;
  int16_t Counts(uint32_t* records, std::vector<uint32_t>* distinct) override;
  int16_t Insert(const std::string& record, uint32_t* position) override;
  int16_t Update(uint32_t position, const std::string& oldRecord,
                 const std::string& newRecord) override;
  int16_t Delete(uint32_t position, const std::string& record) override;
  int16_t BeginTransaction() override;
  int16_t EndTransaction(bool commit) override;

 private:
  // Statements prepared per file: fixed ones, then kPerKey for each key.
  enum Fixed {
    kInsert,
    kUpdate,
    kDelete,
    kRecordAt,
    kStepFirst,
    kStepLast,
    kStepNext,
    kStepPrevious,
    kCounts,
    kFixedCount
  };
  // In the order of Seek's first values, then the batches and the seq.
  enum PerKey { kFirst, kLast, kNextBatch, kPreviousBatch, kGe, kGt, kLe, kLt, kSeqOf, kPerKey };

  std::string Sql(int id) const;
  std::string FixedSql(int id) const;
  std::string KeySql(int key, int which) const;
  PgResult Query(int id, const PgParams& params);
  int16_t Failed(const PgResult& result);
  // The sort form of the record's key into params (NULL for a null key).
  void AddKeys(const std::string& record, PgParams* params) const;
  int16_t Write(int id, const PgParams& params, PgResult* result);
  int16_t Plain(const char* sql);

  PgConnection& db_;
  std::string table_;
  FileSpec spec_;
  bool outer_ = false;
  // Stat counts by scanning the table; the program asks for them often
  // (twice for every key's sort form), so they are kept until a write.
  const RecordLocking& watch_;
  bool countsKept_ = false;
  uint64_t countsChange_ = 0;
  uint32_t keptRecords_ = 0;
  std::vector<uint32_t> keptDistinct_;
};

class PgLocks final : public RecordLocking {
 public:
  PgLocks(PgConnection& connection, int fileId, std::string name);
  // Lets go of every lock at once: the server would drop them only a moment
  // after the connection closes.
  ~PgLocks() override;
  // Takes the file lock, shared or exclusive, without waiting: kStatusOk,
  // kStatusFileLocked or kStatusManagerInactive (the connection is gone).
  int16_t Open(bool exclusive);

  bool LockRecord(uint32_t position, bool wait) override;
  void UnlockRecord(uint32_t position) override;
  bool HeldElsewhere(uint32_t position) override;
  bool ChangeCount(uint64_t* count) const override;
  void NoteChange() override;

 private:
  bool Ask(const char* sql, uint32_t position);

  PgConnection& db_;
  int fileId_;
  std::string name_;
  mutable uint64_t notified_ = 0;
  static constexpr std::chrono::milliseconds kLookEvery{1};
  mutable std::chrono::steady_clock::time_point lastLook_{};
};

class PgFile final : public OpenedRecordFile {
 public:
  PgFile(std::unique_ptr<PgConnection> connection, int fileId, const std::string& name,
         FileSpec spec);
  RecordStorage& Store() override { return store_; }
  RecordLocking& Locks() override { return locks_; }
  const std::string& Name() const override { return name_; }
  PgLocks& locks() { return locks_; }

 private:
  std::unique_ptr<PgConnection> db_;  // must outlive the store and the locks
  std::string name_;
  PgLocks locks_;  // before the store, which watches its change count
  PgStore store_;
};

}  // namespace storage
