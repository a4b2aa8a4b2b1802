// Write operations (Insert, Update, Delete) and Unlock.  A write refuses a
// record another open holds locked (84) and, inside Begin Transaction,
// joins the open transaction of its file.
#include <cstring>

#include "btrieve/btr_request.h"
#include "btrieve/btrcall.h"

namespace btrieve {
namespace {

// The record image a write supplies: the fixed length, or for a file of
// variable-length records (file flag 1) everything given.
int16_t RecordFromRequest(const BtrRequest& r, const storage::FileSpec& spec, std::string* record) {
  const bool variable = spec.fileFlags & 0x0001;
  if (r.data == nullptr || r.dataLength < spec.recordLength) return kStatusDataBufferTooShort;
  if (variable && r.dataLength > 0xFFFF) return kStatusDataBufferTooShort;
  size_t size = variable ? r.dataLength : spec.recordLength;
  record->assign(reinterpret_cast<const char*>(r.data), size);
  return kStatusOk;
}

int16_t PrepareWrite(const BtrRequest& r, OpenRecordFile& file) {
  if (file.readOnly) return kStatusAccessDenied;
  if (r.keyNumber >= 0 && static_cast<size_t>(r.keyNumber) >= file.store.spec().keys.size()) {
    return kStatusInvalidKeyNumber;
  }
  if (!RecordManager().inTransaction) return kStatusOk;
  // The write lock another open of this file took in this transaction is
  // let go only at End or Abort Transaction, which this thread would have
  // to send: waiting for it could never end.
  if (WriteLockedByThisProcess(file)) return kStatusFileLocked;
  return file.store.BeginTransaction();
}

// After a write the record is current; the logical currency follows the
// request's key number.
void SetCurrency(OpenRecordFile& file, int key, uint32_t position, const std::string& record) {
  file.ahead.valid = false;
  file.current = file.physical = position;
  file.logicalValid = false;
  file.logicalSortPending = false;
  if (key < 0) return;
  storage::IndexEntry e;
  if (file.store.EntryOf(key, position, record, &e) != kStatusOk) return;
  file.logicalValid = true;
  file.logicalKey = key;
  file.logicalSort = std::move(e.sort);
  file.logicalSeq = e.seq;
}

// The current record, unless there is none or another open holds it.
int16_t CurrentRecord(OpenRecordFile& file, std::string* record) {
  if (file.current == 0) return kStatusInvalidPositioning;
  if (file.singleLock != file.current && file.multipleLocks.count(file.current) == 0 &&
      file.locks.HeldElsewhere(file.current)) {
    return kStatusRecordLocked;
  }
  int16_t status = file.store.ReadAt(file.current, record);
  return status == kStatusInvalidRecordAddress ? kStatusInvalidPositioning : status;
}

}  // namespace

int16_t InsertRecord(BtrRequest& r, OpenRecordFile& file) {
  std::string record;
  int16_t status = PrepareWrite(r, file);
  if (status == kStatusOk) status = RecordFromRequest(r, file.store.spec(), &record);
  uint32_t position = 0;
  if (status == kStatusOk) {
    file.locks.NoteChange();  // before and after: readers drop what they read ahead
    status = file.store.Insert(record, &position);
    file.locks.NoteChange();
  }
  if (status != kStatusOk) return status;
  SetCurrency(file, r.keyNumber, position, record);
  r.ReturnKey(file, record);
  return kStatusOk;
}

int16_t UpdateRecord(BtrRequest& r, OpenRecordFile& file) {
  std::string oldRecord, newRecord;
  int16_t status = PrepareWrite(r, file);
  if (status == kStatusOk) status = CurrentRecord(file, &oldRecord);
  if (status == kStatusOk) status = RecordFromRequest(r, file.store.spec(), &newRecord);
  if (status == kStatusOk) {
    file.locks.NoteChange();  // before and after: readers drop what they read ahead
    status = file.store.Update(file.current, oldRecord, newRecord);
    file.locks.NoteChange();
  }
  if (status != kStatusOk) return status;
  if (file.singleLock == file.current) ReleaseSingleLock(file);
  SetCurrency(file, r.keyNumber, file.current, newRecord);
  r.ReturnKey(file, newRecord);
  return kStatusOk;
}

int16_t DeleteRecord(BtrRequest& r, OpenRecordFile& file) {
  std::string record;
  int16_t status = PrepareWrite(r, file);
  if (status == kStatusOk) status = CurrentRecord(file, &record);
  if (status == kStatusOk) {
    file.locks.NoteChange();  // before and after: readers drop what they read ahead
    status = file.store.Delete(file.current, record);
    file.locks.NoteChange();
  }
  if (status != kStatusOk) return status;
  // The logical and physical places stay, so Next and Step Next go on from
  // the gap the record leaves.
  ReleaseRecordLocks(file, file.current);
  file.ahead.valid = false;
  file.current = 0;
  return kStatusOk;
}

int16_t UnlockRecords(BtrRequest& r, OpenRecordFile& file) {
  if (r.keyNumber >= 0) {
    ReleaseSingleLock(file);
    return kStatusOk;
  }
  if (r.keyNumber == -1) {
    if (r.dataLength < 4) return kStatusDataBufferTooShort;
    uint32_t position;
    std::memcpy(&position, r.data, 4);
    if (file.multipleLocks.erase(position) != 0 && position != file.singleLock) {
      file.locks.UnlockRecord(position);
    }
    return kStatusOk;
  }
  if (r.keyNumber == -2) {
    for (uint32_t position : file.multipleLocks) {
      if (position != file.singleLock) file.locks.UnlockRecord(position);
    }
    file.multipleLocks.clear();
    return kStatusOk;
  }
  return kStatusInvalidOperation;
}

}  // namespace btrieve
