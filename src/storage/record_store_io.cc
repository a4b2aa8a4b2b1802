// Reads and writes of a record-file database.  A write changes the records
// table, every key's index and the counts in one transaction, so a killed
// process leaves the old or the new state, never a mix.
#include <cstring>
#include <limits>

#include "storage/key_sort.h"
#include "storage/record_store.h"
#include "storage/status.h"

namespace storage {
namespace {

void BindBlob(sqlite3_stmt* st, int i, const std::string& s) {
  sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
}

std::string ColumnBlob(sqlite3_stmt* st, int i) {
  const char* p = static_cast<const char*>(sqlite3_column_blob(st, i));
  return p == nullptr ? std::string() : std::string(p, sqlite3_column_bytes(st, i));
}

// Copies a blob column into *to, whose buffer is reused when large enough
// (resize and copy: cheaper than assign, which runs once per record read).
void AssignBlob(sqlite3_stmt* st, int i, std::string* to) {
  const void* p = sqlite3_column_blob(st, i);
  const size_t n = p == nullptr ? 0 : static_cast<size_t>(sqlite3_column_bytes(st, i));
  to->resize(n);
  if (n != 0) std::memcpy(to->data(), p, n);
}

}  // namespace

bool RecordStore::Whole(const std::string& record) const {
  const bool variable = spec_.fileFlags & 0x0001;
  return variable ? record.size() >= spec_.recordLength : record.size() == spec_.recordLength;
}

int16_t RecordStore::ReadEntry(sqlite3_stmt* st, bool duplicates, IndexEntry* out) const {
  AssignBlob(st, 0, &out->sort);
  out->seq = duplicates ? sqlite3_column_int64(st, 1) : 0;
  out->position = static_cast<uint32_t>(sqlite3_column_int64(st, 2));
  if (sqlite3_column_type(st, 3) == SQLITE_NULL) return kStatusDamaged;  // no record
  AssignBlob(st, 3, &out->record);
  return Whole(out->record) ? kStatusOk : kStatusDamaged;
}

int16_t RecordStore::StepEntries(sqlite3_stmt* st, bool duplicates, std::vector<IndexEntry>* out,
                                 size_t* used) const {
  int rc = SQLITE_DONE;
  int16_t status = kStatusOk;
  while (status == kStatusOk && (rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (*used == out->size()) out->emplace_back();
    status = ReadEntry(st, duplicates, &(*out)[*used]);
    if (status == kStatusOk) ++*used;
  }
  sqlite3_reset(st);
  if (status != kStatusOk) return status;
  return rc == SQLITE_DONE ? kStatusOk : StatusOfSqlite(rc);
}

bool RecordStore::KeyEntry(int key, const std::string& record, std::string* sort) const {
  const KeySpec& spec = spec_.keys[key];
  const std::string value = KeyFromRecord(spec, record);
  const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
  if (IsNullKey(spec, bytes)) return false;
  *sort = SortForm(spec_, spec, bytes);
  return true;
}

int16_t RecordStore::ReadKey(int key, Seek how, const std::string& sort, int64_t seq,
                             IndexEntry* out) {
  if (how == Seek::kNext || how == Seek::kPrevious) {
    std::vector<IndexEntry> one;
    int16_t status = ReadKeyBatch(key, how, sort, seq, 1, &one);
    if (status == kStatusOk) *out = std::move(one.front());
    return status;
  }
  sqlite3_stmt* st = KeyStatement(key, static_cast<PerKey>(static_cast<int>(how)));
  if (st == nullptr) return kStatusIoError;
  BindBlob(st, 1, sort);
  int rc = sqlite3_step(st);
  const int16_t status =
      rc == SQLITE_ROW ? ReadEntry(st, spec_.keys[key].duplicates, out) : kStatusOk;
  sqlite3_reset(st);
  if (status != kStatusOk) return status;
  return rc == SQLITE_ROW ? kStatusOk : rc == SQLITE_DONE ? kStatusEndOfFile : StatusOfSqlite(rc);
}

int16_t RecordStore::ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq,
                                  int limit, std::vector<IndexEntry>* out) {
  // Two range scans, each a seek and then entries without a test per row:
  // the rest of this value's duplicates (a unique key has none), then the
  // values past it.  A write between the two is seen by the write count,
  // which drops the batch after its first entry, as for one scan.  A fault
  // part way gives the entries before it; the next read meets the fault.
  const bool next = how == Seek::kNext;
  const bool duplicates = spec_.keys[key].duplicates;
  size_t used = 0;
  if (duplicates) {
    sqlite3_stmt* st = KeyStatement(key, next ? kSeekNextSeq : kSeekPreviousSeq);
    if (st == nullptr) return kStatusIoError;
    BindBlob(st, 1, sort);
    sqlite3_bind_int64(st, 2, seq);
    sqlite3_bind_int(st, 3, limit);
    const int16_t status = StepEntries(st, duplicates, out, &used);
    if (status != kStatusOk) return Cut(status, used, out);
  }
  if (used < static_cast<size_t>(limit)) {
    sqlite3_stmt* st = KeyStatement(key, next ? kSeekNextValue : kSeekPreviousValue);
    if (st == nullptr) return kStatusIoError;
    BindBlob(st, 1, sort);
    sqlite3_bind_int(st, 2, limit - static_cast<int>(used));
    const int16_t status = StepEntries(st, duplicates, out, &used);
    if (status != kStatusOk) return Cut(status, used, out);
  }
  out->resize(used);
  return used == 0 ? kStatusEndOfFile : kStatusOk;
}

int16_t RecordStore::Cut(int16_t status, size_t used, std::vector<IndexEntry>* out) {
  out->resize(used);
  return used == 0 ? status : kStatusOk;
}

int16_t RecordStore::ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record) {
  sqlite3_stmt* st = Statement(static_cast<Fixed>(kStepFirst + static_cast<int>(how)));
  if (st == nullptr) return kStatusIoError;
  if (how == Step::kNext || how == Step::kPrevious) sqlite3_bind_int64(st, 1, from);
  int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) {
    *position = static_cast<uint32_t>(sqlite3_column_int64(st, 0));
    *record = ColumnBlob(st, 1);
  }
  sqlite3_reset(st);
  if (rc == SQLITE_ROW) return Whole(*record) ? kStatusOk : kStatusDamaged;
  return rc == SQLITE_DONE ? kStatusEndOfFile : StatusOfSqlite(rc);
}

int16_t RecordStore::ReadAt(uint32_t position, std::string* record) {
  sqlite3_stmt* st = Statement(kRecordAt);
  if (st == nullptr) return kStatusIoError;
  sqlite3_bind_int64(st, 1, position);
  int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) *record = ColumnBlob(st, 1);
  sqlite3_reset(st);
  if (rc == SQLITE_ROW) return Whole(*record) ? kStatusOk : kStatusDamaged;
  return rc == SQLITE_DONE ? kStatusInvalidRecordAddress : StatusOfSqlite(rc);
}

int16_t RecordStore::EntryOf(int key, uint32_t position, const std::string& record,
                             IndexEntry* out) {
  if (!KeyEntry(key, record, &out->sort)) return kStatusKeyNotFound;
  out->position = position;
  out->record = record;
  out->seq = 0;
  if (!spec_.keys[key].duplicates) return kStatusOk;
  sqlite3_stmt* st = KeyStatement(key, kSeqOf);
  if (st == nullptr) return kStatusIoError;
  BindBlob(st, 1, out->sort);
  sqlite3_bind_int64(st, 2, position);
  int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) out->seq = sqlite3_column_int64(st, 0);
  sqlite3_reset(st);
  return rc == SQLITE_ROW ? kStatusOk : rc == SQLITE_DONE ? kStatusKeyNotFound : StatusOfSqlite(rc);
}

int16_t RecordStore::Counts(uint32_t* records, std::vector<uint32_t>* distinct) {
  sqlite3_stmt* st = Statement(kCountsRead);
  if (st == nullptr) return kStatusIoError;
  distinct->assign(spec_.keys.size(), 0);
  *records = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    int64_t key = sqlite3_column_int64(st, 0);
    auto n = static_cast<uint32_t>(sqlite3_column_int64(st, 1));
    if (key < 0) {
      *records = n;
    } else if (static_cast<size_t>(key) < distinct->size()) {
      (*distinct)[key] = n;
    }
  }
  sqlite3_reset(st);
  if (outer_) {  // this connection already sees its own uncommitted records
    *records += static_cast<uint32_t>(txCounts_[0]);
    for (size_t k = 0; k < distinct->size(); ++k)
      (*distinct)[k] += static_cast<uint32_t>(txCounts_[k + 1]);
  }
  return rc == SQLITE_DONE ? kStatusOk : StatusOfSqlite(rc);
}

void RecordStore::HoldReads(uint64_t writeCount) {
  if (outer_ || (holding_ && heldCount_ == writeCount)) return;
  ReleaseReads();
  // A deferred transaction: the snapshot is taken by the next read.
  holding_ = Run(Statement(kBeginRead)) == kStatusOk;
  heldCount_ = writeCount;
}

void RecordStore::ReleaseReads() {
  if (!holding_) return;
  holding_ = false;
  Run(Statement(kCommit));
}

int16_t RecordStore::BeginWrite() {
  ReleaseReads();
  opCounts_.assign(spec_.keys.size() + 1, 0);
  return Run(Statement(outer_ ? kSavepoint : kBegin));
}

int16_t RecordStore::EndWrite(int16_t status) {
  if (outer_) {
    if (status != kStatusOk) Run(Statement(kRollbackTo));
    Run(Statement(kRelease));
    if (status == kStatusOk) {
      for (size_t i = 0; i < opCounts_.size(); ++i) txCounts_[i] += opCounts_[i];
    }
    return status;
  }
  if (status == kStatusOk) status = FlushCounts(opCounts_);
  if (status == kStatusOk) {
    status = Run(Statement(kCommit));
    if (status == kStatusOk) return status;
  }
  Run(Statement(kRollback));
  return status;
}

void RecordStore::AddCount(int key, int delta) {
  opCounts_[key + 1] += delta;
}

int16_t RecordStore::FlushCounts(std::vector<int64_t>& deltas) {
  sqlite3_stmt* st = Statement(kCountsAdd);
  if (st == nullptr) return kStatusIoError;
  for (size_t i = 0; i < deltas.size(); ++i) {
    if (deltas[i] == 0) continue;
    sqlite3_bind_int64(st, 1, static_cast<int64_t>(i) - 1);
    sqlite3_bind_int64(st, 2, deltas[i]);
    int16_t status = Run(st);
    if (status != kStatusOk) return status;
    deltas[i] = 0;
  }
  return kStatusOk;
}

int16_t RecordStore::InsertKey(int key, const std::string& sort, uint32_t position) {
  int64_t seq = 0;
  bool newValue = true;
  if (spec_.keys[key].duplicates) {
    sqlite3_stmt* q = KeyStatement(key, kNextSeq);
    if (q == nullptr) return kStatusIoError;
    BindBlob(q, 1, sort);
    if (sqlite3_step(q) == SQLITE_ROW && sqlite3_column_type(q, 0) != SQLITE_NULL) {
      seq = sqlite3_column_int64(q, 0) + 1;
      newValue = false;
    }
    sqlite3_reset(q);
  }
  sqlite3_stmt* st = KeyStatement(key, kInsertKey);
  if (st == nullptr) return kStatusIoError;
  BindBlob(st, 1, sort);
  sqlite3_bind_int64(st, 2, seq);
  sqlite3_bind_int64(st, 3, position);
  int16_t status = Run(st);
  if (status == kStatusOk && newValue) AddCount(key, 1);
  return status;
}

int16_t RecordStore::DeleteKey(int key, const std::string& sort, uint32_t position) {
  bool dup = spec_.keys[key].duplicates;
  sqlite3_stmt* st = KeyStatement(key, dup ? kDeleteDuplicate : kDeleteUnique);
  if (st == nullptr) return kStatusIoError;
  BindBlob(st, 1, sort);
  if (dup) sqlite3_bind_int64(st, 2, position);
  int16_t status = Run(st);
  if (status != kStatusOk) return status;
  bool valueLeft = false;
  if (dup) {
    sqlite3_stmt* q = KeyStatement(key, kAnyWithValue);
    if (q == nullptr) return kStatusIoError;
    BindBlob(q, 1, sort);
    valueLeft = sqlite3_step(q) == SQLITE_ROW;
    sqlite3_reset(q);
  }
  if (!valueLeft) AddCount(key, -1);
  return kStatusOk;
}

int16_t RecordStore::Insert(const std::string& record, uint32_t* position) {
  int16_t status = BeginWrite();
  if (status != kStatusOk) return status;
  sqlite3_stmt* st = Statement(kInsertRecord);
  BindBlob(st, 1, record);
  status = Run(st);
  int64_t pos = sqlite3_last_insert_rowid(db_);
  if (status == kStatusOk && pos > std::numeric_limits<uint32_t>::max()) status = kStatusDiskFull;
  std::string sort;
  for (size_t k = 0; k < spec_.keys.size() && status == kStatusOk; ++k) {
    if (KeyEntry(static_cast<int>(k), record, &sort)) {
      status = InsertKey(static_cast<int>(k), sort, static_cast<uint32_t>(pos));
    }
  }
  if (status == kStatusOk) AddCount(-1, 1);
  *position = static_cast<uint32_t>(pos);
  return EndWrite(status);
}

int16_t RecordStore::Update(uint32_t position, const std::string& oldRecord,
                            const std::string& newRecord) {
  int16_t status = BeginWrite();
  if (status != kStatusOk) return status;
  sqlite3_stmt* st = Statement(kUpdateRecord);
  sqlite3_bind_int64(st, 1, position);
  BindBlob(st, 2, newRecord);
  status = Run(st);
  std::string oldSort, newSort;
  for (size_t k = 0; k < spec_.keys.size() && status == kStatusOk; ++k) {
    int key = static_cast<int>(k);
    bool hadEntry = KeyEntry(key, oldRecord, &oldSort);
    bool hasEntry = KeyEntry(key, newRecord, &newSort);
    if (hadEntry == hasEntry && (!hadEntry || oldSort == newSort)) continue;
    if (!spec_.keys[k].modifiable) status = kStatusModifiableKey;
    if (status == kStatusOk && hadEntry) status = DeleteKey(key, oldSort, position);
    if (status == kStatusOk && hasEntry) status = InsertKey(key, newSort, position);
  }
  return EndWrite(status);
}

int16_t RecordStore::Delete(uint32_t position, const std::string& record) {
  int16_t status = BeginWrite();
  if (status != kStatusOk) return status;
  sqlite3_stmt* st = Statement(kDeleteRecord);
  sqlite3_bind_int64(st, 1, position);
  status = Run(st);
  std::string sort;
  for (size_t k = 0; k < spec_.keys.size() && status == kStatusOk; ++k) {
    if (KeyEntry(static_cast<int>(k), record, &sort)) {
      status = DeleteKey(static_cast<int>(k), sort, position);
    }
  }
  if (status == kStatusOk) AddCount(-1, -1);
  return EndWrite(status);
}

int16_t RecordStore::BeginTransaction() {
  if (outer_) return kStatusOk;
  ReleaseReads();
  int16_t status = Run(Statement(kBegin));
  outer_ = status == kStatusOk;
  txCounts_.assign(spec_.keys.size() + 1, 0);
  return status;
}

int16_t RecordStore::EndTransaction(bool commit) {
  if (!outer_) return kStatusOk;
  outer_ = false;
  int16_t status = commit ? FlushCounts(txCounts_) : kStatusOk;
  if (status == kStatusOk) status = Run(Statement(commit ? kCommit : kRollback));
  if (status != kStatusOk && commit) Run(Statement(kRollback));
  return status;
}

}  // namespace storage
