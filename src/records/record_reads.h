// Reads on the open record files: by key value, by stepping, by position;
// the per-file lock mode with its save stack; and the collating form of key
// values.  Every read that positions a file copies the record into its bound
// record area (at most min(record length, area size) bytes) and keeps the
// slot's key value current.
#pragma once

#include <cstdint>
#include <string>

namespace records {

// Reads the first record whose key keyNumber is equal to (direction 0),
// greater than or equal to (> 0) or less than or equal to (< 0) keyValue,
// padded with zero bytes or cut to the key's length.  The key becomes the
// file's current key.  kNotOpen, kKeyNotDefined, or the record manager's
// status (kStatusDataBufferTooShort, a record cut to the buffer, counts as
// kStatusOk).
void FindByKey(std::int16_t fileId, int keyNumber, const std::string& keyValue, int direction,
               std::int16_t& status);

// Moves count records along the current key (backward when negative) and
// reads the record reached; records passed over do not reach the record
// area.  A count of 0 reads nothing and gives kStatusOk.  Stops at the
// first failing step with its status.
void SkipRecords(std::int16_t fileId, int count, std::int16_t& status);

// With position 0: the record manager's position of the current record, 0
// when the file is not open or has none.  Otherwise reads the record at
// that position (no lock, no retry) and returns the status (kStatusOk when
// the file is not open: nothing was done).
std::int32_t RecordPosition(std::int16_t fileId, std::int32_t position);

// Applies the mode letters in turn, ignoring case: D mode 0, A mode 1, B
// mode 2, "+" saves the current mode on the stack, "-" restores this file's
// newest saved mode (nothing when it has none).  Other letters are ignored.
// kNotOpen when the identifier is not open; otherwise status is untouched.
void SetLockMode(std::int16_t fileId, const std::string& letters, std::int16_t& status);

// The key value in the order the record manager compares it, for the file's
// current key: binary segments reversed, segments on the alternate
// collating sequence translated.  The value unchanged when not open.
std::string KeySortForm(const std::string& keyValue, std::int16_t fileId);
// KeySortForm of the file's current key value; empty when not open.
std::string CurrentKeySortForm(std::int16_t fileId);

// The one read request with lock bias and retry, on slot (1 to 40) with the
// operation code.  With lock mode 1 a locked record or file
// (kStatusRecordLocked, kStatusFileLocked) is read again after a random
// wait of 1 to 10001 ms, without limit (or until RecordFiles().lockWaitLimit
// is spent, when it sets one: the lock status then comes back), and the
// lock message stays on screen from before the second attempt until the
// loop ends.  With mode 2 the lock status is returned at once.  kNotOpen
// for a slot outside 1 to 40 or a free one.
void ReadWithLockRetry(int slot, std::uint16_t code, std::int16_t& status);

// The lock message in the session language.
std::string LockMessage();

}  // namespace records
