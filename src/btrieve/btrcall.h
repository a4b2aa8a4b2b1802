// The record manager's single entry point, BTRCALL, with the classic
// operation codes and statuses of the Btrieve interface.
//
// Each record file is a SQLite database, or a set of tables in the
// PostgreSQL database that KELDB names (see doc/record-files.md); BTRCALL
// keeps the open files of this process in a handle table and the caller's
// 128-byte position block names the handle.  Contract of the parameters:
//   operation   code plus an optional lock bias (+100/+300 wait, +200/+400
//               no wait; +100/+200 single-record lock, +300/+400 multiple)
//   posBlock    128 bytes owned by the caller, zeroed before Open/Create
//   dataBuffer  record image, Create/Stat layout, owner name, or position
//   dataLength  in: bytes available (reads) or supplied (writes);
//               out: bytes returned
//   keyBuffer   key value; file name for Open/Create.  Reads write the
//               record's key for keyNumber back into it (at most 255 bytes)
//               whatever keyLength says, so callers pass 256-byte buffers
//   keyLength   bytes of the key buffer the caller gives as input
//   keyNumber   key path; open mode for Open; -1 "do not replace" for Create
// The return value is the status, kStatusOk for success.
#pragma once

#include <cstdint>

#include "storage/status.h"

extern "C" int16_t BTRCALL(uint16_t operation, void* posBlock, void* dataBuffer,
                           uint32_t* dataLength, void* keyBuffer, uint8_t keyLength,
                           int8_t keyNumber);

namespace btrieve {

constexpr int kPositionBlockSize = 128;

enum BtrOperation : uint16_t {
  kBtrOpen = 0,
  kBtrClose = 1,
  kBtrInsert = 2,
  kBtrUpdate = 3,
  kBtrDelete = 4,
  kBtrGetEqual = 5,
  kBtrGetNext = 6,
  kBtrGetPrevious = 7,
  kBtrGetGreater = 8,
  kBtrGetGreaterOrEqual = 9,
  kBtrGetLess = 10,
  kBtrGetLessOrEqual = 11,
  kBtrGetFirst = 12,
  kBtrGetLast = 13,
  kBtrCreate = 14,
  kBtrStat = 15,
  kBtrBeginTransaction = 19,
  kBtrEndTransaction = 20,
  kBtrAbortTransaction = 21,
  kBtrGetPosition = 22,
  kBtrGetDirect = 23,
  kBtrStepNext = 24,
  kBtrUnlock = 27,
  kBtrReset = 28,
  kBtrStepFirst = 33,
  kBtrStepLast = 34,
  kBtrStepPrevious = 35,
};

// Lock biases added to the operation code.
constexpr uint16_t kBtrSingleWait = 100;
constexpr uint16_t kBtrSingleNoWait = 200;
constexpr uint16_t kBtrMultipleWait = 300;
constexpr uint16_t kBtrMultipleNoWait = 400;

// Open modes, passed as the key number of Open.
constexpr int8_t kOpenNormal = 0;
constexpr int8_t kOpenAccelerated = -1;
constexpr int8_t kOpenReadOnly = -2;
constexpr int8_t kOpenVerify = -3;
constexpr int8_t kOpenExclusive = -4;

// The statuses BTRCALL returns, named btrieve::kStatus... by its callers.
using namespace storage::statuses;

}  // namespace btrieve
