// The record file table: up to 40 open record files, each known by the file
// identifier its caller chose, with its position block, bound record area,
// record length, current key and lock mode.
//
// Statuses are 16-bit: btrieve::kStatusOk for success, the record
// manager's own statuses unchanged, and the table's own (kNotOpen and the
// others below).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "btrieve/btrcall.h"

namespace records {

inline constexpr int kSlotCount = 40;
inline constexpr std::size_t kDataBufferSize = 1536;  // the most a read returns
inline constexpr std::size_t kKeyBufferSize = 256;
inline constexpr std::size_t kMaxKeyLength = kKeyBufferSize - 1;

// The table's own statuses.
inline constexpr std::int16_t kNotOpen = btrieve::kStatusFileNotOpen;  // identifier not open
inline constexpr std::int16_t kAlreadyOpen = 1002;    // the identifier is already open
inline constexpr std::int16_t kTableFull = 1003;      // the table is full (40 files open)
inline constexpr std::int16_t kKeyNotDefined = 1004;  // the key number is not the file's

// The caller's fixed-size record image.  Reads copy at most
// min(record length, size) bytes into it; the caller keeps it alive while
// the file is open.
using RecordArea = std::span<unsigned char>;

struct RecordSlot {
  std::int16_t fileId = 0;  // 0: free
  std::string name;         // as the caller of the open named it
  std::array<std::uint8_t, btrieve::kPositionBlockSize> positionBlock{};
  RecordArea area;
  std::int32_t recordLength = 0;  // from Stat, never above kDataBufferSize
  std::int16_t keyNumber = 0;
  std::string keyValue;  // as long as the current key, never above kMaxKeyLength
  // Each key's length, taken at the open: a file's keys cannot change while
  // it is open.
  std::vector<int> keyLengths;
  std::int16_t lockMode = 0;  // 0 no lock, 1 lock and retry, 2 lock, no retry
};

struct RecordFilesState {
  // Slots 1 to 40; slot 0 is scratch for the Reset request.
  std::array<RecordSlot, kSlotCount + 1> slots;
  // Saved lock modes, two bytes an entry (slot number, mode), newest last.
  // Kept for the whole run, across ResetRecordFiles.
  std::string lockModeStack;
  // The data and key buffers of a read, reused from read to read.
  std::string dataScratch;
  std::string keyScratch;
  // How long, in milliseconds, one open or read waits in all for a file or
  // record that another user holds; negative: without end.  Unattended
  // runs set a bound, so that a held file ends them instead of hanging.
  int lockWaitLimit = -1;
};
// The reset of the program state (platform/program_state.h) releases the
// files (ResetRecordFiles) and empties the table and the stack.
RecordFilesState& RecordFiles();

// The result of FindSlot.
struct SlotSearch {
  int slot = 0;             // the matching slot, or the highest free one, or 0
  std::int16_t status = 0;  // kStatusOk found; kNotOpen (slot is free); kTableFull (slot 0)
};
// Scans slots 1 to 40 for the identifier.  Identifier 0 is never found.
SlotSearch FindSlot(std::int16_t fileId);

// The wait before the next try on a locked file or record, after
// `waited` milliseconds of waiting: `wanted`, cut to what is left of
// lockWaitLimit; -1 when nothing is left and the caller gives up.
int NextLockWait(int wanted, int waited);

// The name an open file was opened by, as its caller wrote it; the empty
// text when the identifier is not open.
std::string OpenFileName(std::int16_t fileId);

// Releases every file the record manager holds for the program; on
// kStatusOk every slot becomes free.  On any other status the table stays as it was.
void ResetRecordFiles(std::int16_t& status);

// Statistics of an open file: its record length and the total length of
// key keyNumber (0 when the file has no such key).  Both 0 when the
// identifier is not open or the record manager gives no statistics.
void ReadFileStats(std::int16_t fileId, int keyNumber, int& keyLength, int& recordLength);
// The length of each key of an open file from one Stat, as ReadFileStats
// gives them; empty when the identifier is not open or there is no Stat.
std::vector<int> ReadKeyLengths(std::int16_t fileId);

}  // namespace records
