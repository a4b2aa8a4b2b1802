// File-level operations: Open, Close, Create, Stat, Reset and transactions.
#include <cstring>

#include "btrieve/btr_request.h"
#include "btrieve/btrcall.h"

namespace btrieve {

int16_t OpenOperation(BtrRequest& r) {
  const std::string name = r.FileName();
  if (name.empty()) return kStatusInvalidFileName;
  if (r.keyNumber > kOpenNormal || r.keyNumber < kOpenExclusive) return kStatusInvalidOperation;
  std::unique_ptr<storage::OpenedRecordFile> opened;
  int16_t status = storage::OpenBackendFile(name, r.keyNumber == kOpenExclusive, &opened);
  if (status != kStatusOk) return status;
  auto file = std::make_unique<OpenRecordFile>(std::move(opened));
  file->readOnly = r.keyNumber == kOpenReadOnly;
  AddOpenFile(r.posBlock, std::move(file));
  return kStatusOk;
}

int16_t CloseOperation(BtrRequest& r, OpenRecordFile& file) {
  file.store.EndTransaction(false);
  RemoveOpenFile(r.posBlock);  // closing the backend's file drops every lock
  return kStatusOk;
}

int16_t CreateOperation(BtrRequest& r) {
  const std::string name = r.FileName();
  if (name.empty()) return kStatusInvalidFileName;
  storage::FileSpec spec;
  int16_t status = storage::ParseFileSpec(r.data, r.dataLength, &spec);
  if (status != kStatusOk) return status;
  return storage::CreateBackendFile(name, spec, r.keyNumber != -1);
}

int16_t StatOperation(BtrRequest& r, OpenRecordFile& file) {
  uint32_t records = 0;
  std::vector<uint32_t> distinct;
  int16_t status = file.store.Counts(&records, &distinct);
  if (status != kStatusOk) return status;
  return r.ReturnData(storage::EncodeStat(file.store.spec(), records, distinct));
}

int16_t ResetClient() {
  ResetRecordManager();
  return kStatusOk;
}

int16_t Transaction(BtrRequest& r) {
  RecordManagerState& state = RecordManager();
  if (r.base == kBtrBeginTransaction) {
    if (state.inTransaction) return kStatusTransactionActive;
    state.inTransaction = true;
    return kStatusOk;
  }
  if (!state.inTransaction) return kStatusTransactionError;
  state.inTransaction = false;
  int16_t status = kStatusOk;
  for (auto& file : state.files) {
    if (file == nullptr) continue;
    int16_t s = file->store.EndTransaction(r.base == kBtrEndTransaction);
    file->locks.NoteChange();
    if (status == kStatusOk) status = s;
  }
  return status;
}

}  // namespace btrieve
