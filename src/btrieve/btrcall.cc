// BTRCALL: splits the operation code into operation and lock bias, checks
// the parameters every operation shares and hands the request on.
#include "btrieve/btrcall.h"

#include <algorithm>
#include <cstring>

#include "btrieve/btr_request.h"

namespace btrieve {
namespace {

bool Lockable(uint16_t base) {
  return (base >= kBtrGetEqual && base <= kBtrGetLast) || base == kBtrBeginTransaction ||
         (base >= kBtrGetPosition && base <= kBtrStepNext) ||
         (base >= kBtrStepFirst && base <= kBtrStepPrevious);
}

int16_t OnOpenFile(BtrRequest& r, OpenRecordFile& file) {
  switch (r.base) {
    case kBtrClose:
      return CloseOperation(r, file);
    case kBtrInsert:
      return InsertRecord(r, file);
    case kBtrUpdate:
      return UpdateRecord(r, file);
    case kBtrDelete:
      return DeleteRecord(r, file);
    case kBtrStat:
      return StatOperation(r, file);
    case kBtrGetPosition:
      return ReadPosition(r, file);
    case kBtrGetDirect:
      return ReadDirect(r, file);
    case kBtrUnlock:
      return UnlockRecords(r, file);
    case kBtrStepNext:
    case kBtrStepFirst:
    case kBtrStepLast:
    case kBtrStepPrevious:
      return ReadStep(r, file);
    default:
      if (r.base >= kBtrGetEqual && r.base <= kBtrGetLast) return ReadByKey(r, file);
      return kStatusInvalidOperation;
  }
}

int16_t Dispatch(BtrRequest& r) {
  switch (r.base) {
    case kBtrOpen:
      return OpenOperation(r);
    case kBtrCreate:
      return CreateOperation(r);
    case kBtrReset:
      return ResetClient();
    case kBtrBeginTransaction:
    case kBtrEndTransaction:
    case kBtrAbortTransaction:
      return Transaction(r);
    default:
      break;
  }
  OpenRecordFile* file = FindOpenFile(r.posBlock);
  if (file == nullptr) return kStatusFileNotOpen;
  return OnOpenFile(r, *file);
}

}  // namespace

std::string BtrRequest::FileName() const {
  if (key == nullptr) return {};
  size_t limit = keyLength == 0 ? 255 : keyLength;
  const uint8_t* end = std::find(key, key + limit, 0);
  return std::string(reinterpret_cast<const char*>(key), end - key);
}

int16_t BtrRequest::ReturnData(const std::string& bytes) {
  returned = static_cast<uint32_t>(std::min<size_t>(bytes.size(), dataLength));
  if (data != nullptr) std::memcpy(data, bytes.data(), returned);
  return returned < bytes.size() ? kStatusDataBufferTooShort : kStatusOk;
}

void BtrRequest::ReturnKey(const OpenRecordFile& file, const std::string& record) const {
  const storage::FileSpec& spec = file.store.spec();
  if (key == nullptr || keyNumber < 0 || static_cast<size_t>(keyNumber) >= spec.keys.size()) {
    return;
  }
  // Segment by segment straight into the buffer (this runs on every read).
  uint8_t* out = key;
  for (const storage::KeySegment& seg : spec.keys[keyNumber].segments) {
    size_t from = seg.position - 1;
    size_t have = from < record.size() ? std::min<size_t>(seg.length, record.size() - from) : 0;
    std::memcpy(out, record.data() + from, have);
    std::memset(out + have, 0, seg.length - have);
    out += seg.length;
  }
}

}  // namespace btrieve

extern "C" int16_t BTRCALL(uint16_t operation, void* posBlock, void* dataBuffer,
                           uint32_t* dataLength, void* keyBuffer, uint8_t keyLength,
                           int8_t keyNumber) {
  using namespace btrieve;
  BtrRequest r;
  r.base = operation % 100;
  r.bias = static_cast<uint16_t>(operation - r.base);
  if (r.bias > kBtrMultipleNoWait || (r.bias != 0 && !Lockable(r.base))) {
    return kStatusInvalidOperation;
  }
  r.posBlock = static_cast<uint8_t*>(posBlock);
  r.data = static_cast<uint8_t*>(dataBuffer);
  r.dataLength = dataLength == nullptr || dataBuffer == nullptr ? 0 : *dataLength;
  r.returned = r.dataLength;  // unchanged unless the operation returns data
  r.key = static_cast<uint8_t*>(keyBuffer);
  r.keyLength = keyLength;
  r.keyNumber = keyNumber;
  if (r.posBlock == nullptr && r.base != kBtrReset && r.base != kBtrEndTransaction &&
      r.base != kBtrAbortTransaction && r.base != kBtrBeginTransaction) {
    return kStatusFileNotOpen;
  }
  int16_t status = Dispatch(r);
  if (dataLength != nullptr) *dataLength = r.returned;
  return status;
}
