// The statuses of the record manager: the classic Btrieve numbers, 0 for
// success.  The record stores return them and BTRCALL passes them on, so
// they live here, below both; btrieve/btrcall.h brings them into the
// btrieve namespace for its callers.
#pragma once

#include <cstdint>

namespace storage::statuses {

constexpr int16_t kStatusOk = 0;
constexpr int16_t kStatusInvalidOperation = 1;
constexpr int16_t kStatusIoError = 2;
// A damaged record file: the engine finds a page damaged, an index entry
// has no record, or a record is not of the file's record length.
constexpr int16_t kStatusDamaged = kStatusIoError;
constexpr int16_t kStatusFileNotOpen = 3;
constexpr int16_t kStatusKeyNotFound = 4;
constexpr int16_t kStatusDuplicateKey = 5;
constexpr int16_t kStatusInvalidKeyNumber = 6;
constexpr int16_t kStatusDifferentKeyNumber = 7;
constexpr int16_t kStatusInvalidPositioning = 8;
constexpr int16_t kStatusEndOfFile = 9;
constexpr int16_t kStatusModifiableKey = 10;
constexpr int16_t kStatusInvalidFileName = 11;
constexpr int16_t kStatusFileNotFound = 12;
constexpr int16_t kStatusDiskFull = 18;
constexpr int16_t kStatusManagerInactive = 20;  // the database server cannot be reached
constexpr int16_t kStatusKeyBufferTooShort = 21;
constexpr int16_t kStatusDataBufferTooShort = 22;
constexpr int16_t kStatusPageSize = 24;
constexpr int16_t kStatusCreateIoError = 25;
constexpr int16_t kStatusNumberOfKeys = 26;
constexpr int16_t kStatusKeyPosition = 27;
constexpr int16_t kStatusRecordLength = 28;
constexpr int16_t kStatusKeyLength = 29;
constexpr int16_t kStatusNotARecordFile = 30;
constexpr int16_t kStatusTransactionActive = 37;
constexpr int16_t kStatusTransactionError = 39;
constexpr int16_t kStatusInvalidRecordAddress = 43;
constexpr int16_t kStatusAccessDenied = 46;
constexpr int16_t kStatusInvalidAcs = 48;
constexpr int16_t kStatusFileExists = 59;
constexpr int16_t kStatusRecordLocked = 84;
constexpr int16_t kStatusFileLocked = 85;

}  // namespace storage::statuses

namespace storage {
using namespace statuses;
}  // namespace storage
