// Read operations: the Get operations along a key, the Step operations in
// physical order, Get Direct and Get Position.  A read with a lock bias
// takes the record lock after finding the record and then looks again, so
// the record returned is the one held.
#include <algorithm>
#include <cstring>
#include <functional>

#include "btrieve/btr_request.h"
#include "btrieve/btrcall.h"
#include "storage/key_sort.h"

namespace btrieve {
namespace {

constexpr int kLockAttempts = 100;
constexpr int kFirstBatch = 8;
constexpr int kLargestBatch = 1024;
// Get Equal results kept at most: enough for a small lookup file (the
// concept types), bounded for a large one read at random.
constexpr size_t kMostKeptReads = 256;

struct Found {
  uint32_t position = 0;
  std::string record;
  bool logical = false;  // the read has a place in the index of key
  int key = 0;
  std::string sort;
  int64_t seq = 0;
};

using Finder = std::function<int16_t(Found*)>;

bool Waits(const BtrRequest& r) {
  return r.bias == kBtrSingleWait || r.bias == kBtrMultipleWait;
}

bool Holds(const OpenRecordFile& file, uint32_t position) {
  return file.singleLock == position || file.multipleLocks.count(position) != 0;
}

int16_t FindAndLock(const BtrRequest& r, OpenRecordFile& file, const Finder& find, Found* out) {
  int16_t status = find(out);
  for (int attempt = 0; status == kStatusOk && r.bias != 0 && attempt < kLockAttempts; ++attempt) {
    const uint32_t position = out->position;
    const bool held = Holds(file, position);
    if (!held && Waits(r) && HeldByThisProcess(file, position)) return kStatusRecordLocked;
    if (!held && !file.locks.LockRecord(position, Waits(r))) return kStatusRecordLocked;
    Found again;
    status = find(&again);
    if (status == kStatusOk && again.position == position) {
      *out = std::move(again);
      return kStatusOk;
    }
    if (!held) file.locks.UnlockRecord(position);
    if (status == kStatusOk) *out = std::move(again);
  }
  return r.bias != 0 && status == kStatusOk ? kStatusRecordLocked : status;
}

void KeepLock(const BtrRequest& r, OpenRecordFile& file, uint32_t position) {
  if (r.bias == 0) return;
  if (r.bias == kBtrMultipleWait || r.bias == kBtrMultipleNoWait) {
    file.multipleLocks.insert(position);
    return;
  }
  if (file.singleLock != 0 && file.singleLock != position &&
      file.multipleLocks.count(file.singleLock) == 0) {
    file.locks.UnlockRecord(file.singleLock);
  }
  file.singleLock = position;
}

// Makes the record at position current with its place in the index of key
// (when logical) and returns it (and its key when withKey).
int16_t Deliver(BtrRequest& r, OpenRecordFile& file, uint32_t position, const std::string& record,
                bool logical, int key, const std::string& sort, int64_t seq, bool withKey) {
  KeepLock(r, file, position);
  file.ahead.valid = false;
  file.current = file.physical = position;
  file.logicalValid = logical;
  file.logicalKey = key;
  file.logicalSort = sort;
  file.logicalSortPending = false;
  file.logicalSeq = seq;
  if (withKey) r.ReturnKey(file, record);
  return r.ReturnData(record);
}

int16_t Deliver(BtrRequest& r, OpenRecordFile& file, const Found& found, bool withKey) {
  return Deliver(r, file, found.position, found.record, found.logical, found.key, found.sort,
                 found.seq, withKey);
}

int16_t Read(BtrRequest& r, OpenRecordFile& file, const Finder& find, bool withKey) {
  Found found;
  int16_t status = FindAndLock(r, file, find, &found);
  return status == kStatusOk ? Deliver(r, file, found, withKey) : status;
}

storage::Seek SeekOf(uint16_t base) {
  switch (base) {
    case kBtrGetNext:
      return storage::Seek::kNext;
    case kBtrGetPrevious:
      return storage::Seek::kPrevious;
    case kBtrGetGreater:
      return storage::Seek::kGreater;
    case kBtrGetLess:
      return storage::Seek::kLess;
    case kBtrGetLessOrEqual:
      return storage::Seek::kLessOrEqual;
    case kBtrGetFirst:
      return storage::Seek::kFirst;
    case kBtrGetLast:
      return storage::Seek::kLast;
    default:
      return storage::Seek::kGreaterOrEqual;  // Get Equal, Get Greater or Equal
  }
}

// Whether the record an index entry leads to holds the entry's key value.
// An index changed beside the record manager can lead to another record (or
// to one left out of the key): served in the entry's place, that record
// would come twice and the entry's own record never.
bool LeadsToItsRecord(OpenRecordFile& file, int key, const storage::IndexEntry& e) {
  const storage::FileSpec& spec = file.store.spec();
  return storage::RecordSortForm(spec, spec.keys[key], e.record, &file.recordSort) &&
         file.recordSort == e.sort;
}

// Whether the index of key holds as many entries as the file has records
// (an entry lost beside the record manager takes its record out of every
// read along the key): 0, or 2.  Counted once while the file's write count
// stays the same.
int16_t CheckEntryCount(OpenRecordFile& file, int key) {
  uint64_t count = 0;
  const bool watching = file.locks.ChangeCount(&count);
  uint64_t& counted = file.entriesCounted[key];
  if (watching && counted == count + 1) return kStatusOk;
  const int16_t status = file.store.CheckEntryCount(key);
  if (status == kStatusOk) counted = count + 1;  // without a count, 1: counted at every end
  return status;
}

// The end of the index of key, reached by a walk: 9, or 2 when the index
// lost or gained entries since it was last counted.
int16_t EndOfIndex(OpenRecordFile& file, int key) {
  const int16_t status = CheckEntryCount(file, key);
  return status == kStatusOk ? kStatusEndOfFile : status;
}

bool KeyNumberValid(const BtrRequest& r, const OpenRecordFile& file) {
  return r.keyNumber >= 0 && static_cast<size_t>(r.keyNumber) < file.store.spec().keys.size();
}

// The sort form of the logical place: when a run on entries read ahead left
// it pending, the index entry of the record last served.  Never worked out
// from the record's bytes: whatever they hold, the next read goes on from
// the entry, so it cannot come back to the same record.
const std::string& LogicalSort(OpenRecordFile& file) {
  if (file.logicalSortPending) {
    file.logicalSort = file.ahead.entries[file.ahead.next - 1].sort;
    file.logicalSortPending = false;
  }
  return file.logicalSort;
}

// Get Next / Get Previous without a lock, served from entries read ahead
// (their sort forms are copied to the logical place only when needed).
int16_t ReadAheadNext(BtrRequest& r, OpenRecordFile& file, int key, storage::Seek how) {
  ReadAhead& a = file.ahead;
  uint64_t count = 0;
  const bool watching = file.locks.ChangeCount(&count);
  const bool run = a.valid && a.key == key && a.how == how;
  if (!run || !watching || a.changeCount != count || a.next >= a.entries.size()) {
    a.batch = !watching ? 1 : run ? std::min(a.batch * 2, kLargestBatch) : kFirstBatch;
    a.valid = false;
    int16_t status =
        file.store.ReadKeyBatch(key, how, LogicalSort(file), file.logicalSeq, a.batch, &a.entries);
    if (status == kStatusEndOfFile) return EndOfIndex(file, key);
    if (status != kStatusOk) return status;
    a = {watching, key, how, count, std::move(a.entries), 0, a.batch};
  }
  // A damaged entry is met again by the next read: the walk stays before it.
  if (!LeadsToItsRecord(file, key, a.entries[a.next])) return kStatusDamaged;
  storage::IndexEntry& e = a.entries[a.next++];
  file.current = file.physical = e.position;
  file.logicalValid = true;
  file.logicalKey = key;
  file.logicalSortPending = true;
  file.logicalSeq = e.seq;
  r.ReturnKey(file, e.record);
  return r.ReturnData(e.record);
}

// Get Equal without a lock, served from the results kept while nothing was
// written to the file.  The write count is read before the index, so a
// write that runs meanwhile drops the result at the next read.
int16_t ReadEqualKept(BtrRequest& r, OpenRecordFile& file, int key, const std::string& sort,
                      const Finder& find) {
  KeptReads& kept = file.kept;
  uint64_t count = 0;
  if (!file.locks.ChangeCount(&count)) return Read(r, file, find, true);
  if (kept.changeCount != count || kept.reads.size() >= kMostKeptReads) {
    kept.reads.clear();
    kept.changeCount = count;
  }
  std::string name(1, static_cast<char>(key));  // key numbers are below 256
  name += sort;
  auto at = kept.reads.find(name);
  if (at == kept.reads.end()) {
    Found found;
    const int16_t status = find(&found);
    if (status != kStatusOk && status != kStatusKeyNotFound) return status;
    KeptReads::Kept entry{
        status, {std::move(found.sort), found.seq, found.position, std::move(found.record)}};
    at = kept.reads.emplace(name, std::move(entry)).first;
  }
  const KeptReads::Kept& entry = at->second;
  if (entry.status != kStatusOk) return entry.status;
  const storage::IndexEntry& e = entry.entry;
  return Deliver(r, file, e.position, e.record, true, key, e.sort, e.seq, true);
}

}  // namespace

int16_t ReadByKey(BtrRequest& r, OpenRecordFile& file) {
  if (!KeyNumberValid(r, file)) return kStatusInvalidKeyNumber;
  const int key = r.keyNumber;
  // The first read along a key in this open counts its index too, so a
  // lost entry is seen whichever part of the index the reads go to.
  if (file.entriesCounted[key] == 0) {
    const int16_t status = CheckEntryCount(file, key);
    if (status != kStatusOk) return status;
  }
  const storage::KeySpec& keySpec = file.store.spec().keys[key];
  const storage::Seek how = SeekOf(r.base);
  const bool equal = r.base == kBtrGetEqual;
  std::string sort;
  if (how == storage::Seek::kNext || how == storage::Seek::kPrevious) {
    if (!file.logicalValid) return kStatusInvalidPositioning;
    if (file.logicalKey != key) return kStatusDifferentKeyNumber;
    if (r.bias == 0) return ReadAheadNext(r, file, key, how);
    sort = LogicalSort(file);
  } else if (how != storage::Seek::kFirst && how != storage::Seek::kLast) {
    if (r.key == nullptr || r.keyLength < keySpec.length) return kStatusKeyBufferTooShort;
    sort = storage::SortForm(file.store.spec(), keySpec, r.key);
  }
  const int64_t seq = file.logicalSeq;
  const bool walk = how == storage::Seek::kNext || how == storage::Seek::kPrevious ||
                    how == storage::Seek::kFirst || how == storage::Seek::kLast;
  Finder find = [&](Found* out) {
    storage::IndexEntry e;
    int16_t status = file.store.ReadKey(key, how, sort, seq, &e);
    if (equal && (status == kStatusEndOfFile || (status == kStatusOk && e.sort != sort))) {
      return kStatusKeyNotFound;
    }
    if (walk && status == kStatusEndOfFile) return EndOfIndex(file, key);
    if (status != kStatusOk) return status;
    if (!LeadsToItsRecord(file, key, e)) return kStatusDamaged;
    *out = {e.position, std::move(e.record), true, key, std::move(e.sort), e.seq};
    return status;
  };
  if (equal && r.bias == 0) return ReadEqualKept(r, file, key, sort, find);
  return Read(r, file, find, true);
}

int16_t ReadStep(BtrRequest& r, OpenRecordFile& file) {
  storage::Step how = r.base == kBtrStepFirst  ? storage::Step::kFirst
             : r.base == kBtrStepLast ? storage::Step::kLast
             : r.base == kBtrStepNext ? storage::Step::kNext
                                      : storage::Step::kPrevious;
  if ((how == storage::Step::kNext || how == storage::Step::kPrevious) && file.physical == 0) {
    return kStatusInvalidPositioning;
  }
  const uint32_t from = file.physical;
  Finder find = [&](Found* out) {
    *out = Found();
    return file.store.ReadStep(how, from, &out->position, &out->record);
  };
  return Read(r, file, find, false);
}

int16_t ReadDirect(BtrRequest& r, OpenRecordFile& file) {
  if (!KeyNumberValid(r, file)) return kStatusInvalidKeyNumber;
  if (r.dataLength < 4) return kStatusDataBufferTooShort;
  uint32_t position;
  std::memcpy(&position, r.data, 4);  // little-endian, as on every machine we build for
  if (position == 0) return kStatusInvalidRecordAddress;
  const int key = r.keyNumber;
  Finder find = [&](Found* out) {
    *out = Found();
    out->position = position;
    int16_t status = file.store.ReadAt(position, &out->record);
    if (status != kStatusOk) return status;
    storage::IndexEntry e;
    status = file.store.EntryOf(key, position, out->record, &e);
    if (status == kStatusKeyNotFound) return kStatusOk;  // a null key
    out->logical = status == kStatusOk;
    out->key = key;
    out->sort = std::move(e.sort);
    out->seq = e.seq;
    return status;
  };
  return Read(r, file, find, true);
}

int16_t ReadPosition(BtrRequest& r, OpenRecordFile& file) {
  if (file.current == 0) return kStatusInvalidPositioning;
  if (r.dataLength < 4) return kStatusDataBufferTooShort;
  std::memcpy(r.data, &file.current, 4);
  r.returned = 4;
  return kStatusOk;
}

}  // namespace btrieve
