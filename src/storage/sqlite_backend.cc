// The SQLite backend: a record file is a database file (RecordStore) with a
// side file for its locks (RecordLocks).  This file only adapts the two to
// the backend interface.
#include <cstdio>
#include <memory>

#include "platform/paths.h"
#include "storage/record_backend.h"
#include "storage/record_locks.h"
#include "storage/status.h"

namespace storage {
namespace {

// Reads go through one held read transaction while the write count of the
// file stays the same (RecordStore::HoldReads); without the count every
// read is a transaction of its own.
class SqliteStorage final : public RecordStorage {
 public:
  explicit SqliteStorage(const RecordLocks& locks) : locks_(locks) {}
  RecordStore store;

  const FileSpec& spec() const override { return store.spec(); }
  int16_t ReadKey(int key, Seek how, const std::string& sort, int64_t seq,
                  IndexEntry* out) override {
    Hold();
    return store.ReadKey(key, how, sort, seq, out);
  }
  int16_t ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq, int limit,
                       std::vector<IndexEntry>* out) override {
    Hold();
    return store.ReadKeyBatch(key, how, sort, seq, limit, out);
  }
  int16_t ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record) override {
    Hold();
    return store.ReadStep(how, from, position, record);
  }
  int16_t ReadAt(uint32_t position, std::string* record) override {
    Hold();
    return store.ReadAt(position, record);
  }
  int16_t EntryOf(int key, uint32_t position, const std::string& record, IndexEntry* out) override {
    Hold();
    return store.EntryOf(key, position, record, out);
  }
  int16_t Counts(uint32_t* records, std::vector<uint32_t>* distinct) override {
    Hold();
    return store.Counts(records, distinct);
  }
  int16_t CheckEntryCount(int key) override {
    Hold();
    return store.CheckEntryCount(key);
  }
  int16_t Insert(const std::string& record, uint32_t* position) override {
    return store.Insert(record, position);
  }
  int16_t Update(uint32_t position, const std::string& oldRecord,
                 const std::string& newRecord) override {
    return store.Update(position, oldRecord, newRecord);
  }
  int16_t Delete(uint32_t position, const std::string& record) override {
    return store.Delete(position, record);
  }
  int16_t BeginTransaction() override { return store.BeginTransaction(); }
  int16_t EndTransaction(bool commit) override { return store.EndTransaction(commit); }
  void ReleaseReads() override { store.ReleaseReads(); }
  bool HoldsFileWriteLock() const override { return store.InTransaction(); }

 private:
  void Hold() {
    uint64_t count = 0;
    if (locks_.ChangeCount(&count)) store.HoldReads(count);
  }

  const RecordLocks& locks_;
};

class SqliteLocking final : public RecordLocking {
 public:
  RecordLocks locks;

  bool LockRecord(uint32_t position, bool wait) override {
    return locks.LockRecord(position, wait);
  }
  void UnlockRecord(uint32_t position) override { locks.UnlockRecord(position); }
  bool HeldElsewhere(uint32_t position) override { return locks.HeldElsewhere(position); }
  bool ChangeCount(uint64_t* count) const override { return locks.ChangeCount(count); }
  void NoteChange() override { locks.NoteChange(); }
};

class SqliteFile final : public OpenedRecordFile {
 public:
  explicit SqliteFile(std::string path) : path_(std::move(path)), storage_(locking_.locks) {}
  RecordStorage& Store() override { return storage_; }
  RecordLocking& Locks() override { return locking_; }
  const std::string& Name() const override { return path_; }

  int16_t Open(bool exclusive) {
    int16_t status = storage_.store.Open(path_);
    if (status == kStatusOk) status = locking_.locks.Open(path_, exclusive);
    return status;
  }

 private:
  std::string path_;
  SqliteLocking locking_;  // before the storage, which reads its write count
  SqliteStorage storage_;
};

}  // namespace

int16_t OpenSqliteFile(const std::string& path, bool exclusive,
                       std::unique_ptr<OpenedRecordFile>* out) {
  // Named by the file itself, so that the opens of one file through two
  // names know each other (record_manager.h).
  auto file = std::make_unique<SqliteFile>(FilePathOf(path));
  const int16_t status = file->Open(exclusive);
  if (status == kStatusOk) *out = std::move(file);
  return status;
}

int16_t CreateSqliteFile(const std::string& path, const FileSpec& spec, bool replace) {
  if (!replace) return RecordStore::Create(path, spec, false);
  // Replacing: nobody may have the old file open meanwhile.
  RecordLocks guard;
  if (platform::FileExists(path)) {
    const int16_t status = guard.Open(path, true);
    if (status != kStatusOk) return status;
  }
  return RecordStore::Create(path, spec, true);
}

int16_t ReplaceSqliteFile(const std::string& from, const std::string& to) {
  if (!platform::FileExists(from)) return kStatusFileNotFound;
  // Nobody may have the old file open meanwhile.
  RecordLocks guard;
  if (platform::FileExists(to)) {
    const int16_t status = guard.Open(to, true);
    if (status != kStatusOk) return status;
  }
  const std::string fromLocks = LockFilePath(from);
  const int16_t status = RecordStore::Replace(from, to);
  if (status == kStatusOk) std::remove(fromLocks.c_str());
  return status;
}

}  // namespace storage
