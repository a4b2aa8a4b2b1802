// One BTRCALL request as the operation handlers inside the record manager
// see it, and the handlers themselves (btr_files.cc, btr_reads.cc,
// btr_writes.cc).  Not for use outside the record manager.
#pragma once

#include <cstdint>
#include <string>

#include "btrieve/record_manager.h"

namespace btrieve {

struct BtrRequest {
  uint16_t base = 0;  // operation without lock bias
  uint16_t bias = 0;  // 0, 100, 200, 300 or 400
  uint8_t* posBlock = nullptr;
  uint8_t* data = nullptr;
  uint32_t dataLength = 0;  // as given; the handler sets `returned`
  uint32_t returned = 0;
  uint8_t* key = nullptr;
  uint8_t keyLength = 0;
  int8_t keyNumber = 0;

  // The file name in the key buffer (Open, Create).
  std::string FileName() const;
  // Copies a record into the data buffer: kStatusOk, or
  // kStatusDataBufferTooShort when it was cut.
  int16_t ReturnData(const std::string& bytes);
  // Writes the record's value of keyNumber into the key buffer.
  void ReturnKey(const OpenRecordFile& file, const std::string& record) const;
};

int16_t OpenOperation(BtrRequest& r);
int16_t CloseOperation(BtrRequest& r, OpenRecordFile& file);
int16_t CreateOperation(BtrRequest& r);
int16_t StatOperation(BtrRequest& r, OpenRecordFile& file);
int16_t ResetClient();
int16_t Transaction(BtrRequest& r);

int16_t ReadByKey(BtrRequest& r, OpenRecordFile& file);
int16_t ReadStep(BtrRequest& r, OpenRecordFile& file);
int16_t ReadDirect(BtrRequest& r, OpenRecordFile& file);
int16_t ReadPosition(BtrRequest& r, OpenRecordFile& file);

int16_t InsertRecord(BtrRequest& r, OpenRecordFile& file);
int16_t UpdateRecord(BtrRequest& r, OpenRecordFile& file);
int16_t DeleteRecord(BtrRequest& r, OpenRecordFile& file);
int16_t UnlockRecords(BtrRequest& r, OpenRecordFile& file);

}  // namespace btrieve
