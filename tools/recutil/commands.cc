// The recutil commands over BTRCALL.
#include "commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "btrieve/btrcall.h"
#include "key_description.h"
#include "platform/new_file.h"
#include "platform/paths.h"
#include "record_handle.h"
#include "sequential.h"
#include "storage/record_backend.h"
#include "storage/record_spec.h"
#include "storage/record_store.h"

namespace recutil {
namespace {

using namespace btrieve;
using namespace storage;
using namespace platform;

// Faults listed by check at most: enough to see what is wrong.
constexpr size_t kMostFaultsShown = 50;

int Fail(const std::string& what) {
  std::fprintf(stderr, "recutil: %s\n", what.c_str());
  return 1;
}

int FailStatus(const std::string& what, int16_t status) {
  const std::string reason = status == kStatusManagerInactive ? ": " + RecordServerMessage() : "";
  return Fail(what + ": status " + std::to_string(status) + " (" + StatusText(status) + ")" +
              reason);
}

int16_t DeleteAll(Handle& h) {
  std::vector<char> data(kBufferSize);
  for (;;) {
    uint32_t length = kBufferSize;
    int16_t status = h.Call(kBtrStepFirst, data.data(), &length);
    if (status == kStatusEndOfFile) return kStatusOk;
    if (status == kStatusOk) status = h.Call(kBtrDelete);
    if (status != kStatusOk) return status;
  }
}

}  // namespace

int MakeDictionary(const std::string& description, const std::string& dictionary) {
  std::string text, buffer, error;
  if (!ReadWholeFile(description, &text)) return Fail("cannot read " + description);
  if (!ParseKeyDescription(text, &buffer, &error)) return Fail(description + ": " + error);
  if (!WriteNewFile(dictionary, DictionaryFile(buffer))) return Fail("cannot write " + dictionary);
  return 0;
}

int CreateFromDictionary(const std::string& dictionary, const std::string& file, bool replace) {
  std::string bytes;
  if (!ReadWholeFile(dictionary, &bytes) || bytes.size() < 2) {
    return Fail("cannot read " + dictionary);
  }
  size_t n = static_cast<uint8_t>(bytes[0]) | (static_cast<uint8_t>(bytes[1]) << 8);
  if (bytes.size() < 2 + n) return Fail(dictionary + ": shorter than its count says");
  std::string data = bytes.substr(2, n);
  uint32_t length = static_cast<uint32_t>(data.size());
  uint8_t block[kPositionBlockSize] = {};
  std::string key = file + '\0';
  int16_t status =
      BTRCALL(kBtrCreate, block, data.data(), &length, key.data(),
              static_cast<uint8_t>(std::min<size_t>(file.size(), 255)), replace ? 0 : -1);
  return status == kStatusOk ? 0 : FailStatus("create " + file, status);
}

int LoadRecords(const std::string& file, const std::string& sequential, bool replace,
                long progress) {
  std::FILE* in = sequential == "-" ? stdin : OpenFile(sequential, "rb");
  if (in == nullptr) return Fail("cannot read " + sequential);
  Handle h;
  int16_t status = h.Open(file, kOpenNormal);
  if (status != kStatusOk) return FailStatus("open " + file, status);
  h.Call(kBtrBeginTransaction);
  if (replace) status = DeleteAll(h);
  SequentialReader reader(in);
  std::string record;
  long count = 0;
  int got = 0;
  while (status == kStatusOk && (got = reader.Next(&record)) == 1) {
    uint32_t length = static_cast<uint32_t>(record.size());
    status = h.Call(kBtrInsert, record.data(), &length, -1);
    if (status != kStatusOk) break;
    ++count;
    if (progress > 0 && count % progress == 0) {
      std::fprintf(stderr, "loaded %ld\n", count);
      std::fflush(stderr);
    }
  }
  if (in != stdin) std::fclose(in);
  if (status != kStatusOk || got < 0) {
    h.Call(kBtrAbortTransaction);
    if (got < 0) return Fail(sequential + ": " + reader.error() + "; nothing loaded");
    return FailStatus(
        "record " + std::to_string(count + 1) + " of " + sequential + "; nothing loaded", status);
  }
  status = h.Call(kBtrEndTransaction);
  return status == kStatusOk ? 0 : FailStatus("commit " + file, status);
}

int SaveRecords(const std::string& file, const std::string& sequential, int key) {
  Handle h;
  int16_t status = h.Open(file, kOpenReadOnly);
  if (status != kStatusOk) return FailStatus("open " + file, status);
  std::FILE* out = sequential == "-" ? stdout : OpenFile(sequential, "wb");
  if (out == nullptr) return Fail("cannot write " + sequential);
  std::vector<char> data(kBufferSize);
  uint16_t op = kBtrGetFirst;
  for (;; op = kBtrGetNext) {
    uint32_t length = kBufferSize;
    status = h.Call(op, data.data(), &length, static_cast<int8_t>(key));
    if (status != kStatusOk) break;
    std::string line = SequentialRecord(std::string(data.data(), length));
    std::fwrite(line.data(), 1, line.size(), out);
  }
  bool ok = std::fflush(out) == 0;
  if (out != stdout) ok = std::fclose(out) == 0 && ok;
  if (status != kStatusEndOfFile) return FailStatus("read " + file, status);
  return ok ? 0 : Fail("cannot write " + sequential);
}

int PrintStat(const std::string& file) {
  Handle h;
  int16_t status = h.Open(file, kOpenReadOnly);
  if (status != kStatusOk) return FailStatus("open " + file, status);
  std::vector<char> data(kBufferSize);
  uint32_t length = kBufferSize;
  status = h.Call(kBtrStat, data.data(), &length);
  if (status != kStatusOk) return FailStatus("stat " + file, status);
  FileSpec spec;
  ParseFileSpec(reinterpret_cast<const uint8_t*>(data.data()), length, &spec);
  auto u32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(data[at + i]);
    return v;
  };
  std::printf("record length %u\npage size %u\nfile flags 0x%04x\nrecords %u\nkeys %zu\n",
              spec.recordLength, spec.pageSize, spec.fileFlags, u32(6), spec.keys.size());
  size_t at = kFileSpecSize;
  for (size_t k = 0; k < spec.keys.size(); ++k) {
    std::printf("key %zu: length %d, %u distinct values%s%s\n", k, spec.keys[k].length, u32(at + 6),
                spec.keys[k].duplicates ? ", duplicates" : "",
                spec.keys[k].modifiable ? ", modifiable" : "");
    for (const KeySegment& s : spec.keys[k].segments) {
      std::printf("  %u+%u flags 0x%04x type %u null 0x%02x acs %u\n", s.position, s.length,
                  s.flags, s.rawType, s.nullValue, s.acs);
      at += kSegmentSpecSize;
    }
  }
  return 0;
}

int CheckFile(const std::string& file) {
  RecordStore store;
  const int16_t status = store.Open(NativePath(file));
  std::vector<std::string> faults;
  if (status == kStatusDamaged || status == kStatusNotARecordFile) {
    FailStatus("open " + file, status);
    RecordStore::CheckEngine(NativePath(file), kMostFaultsShown, &faults);
    if (faults.empty()) faults.push_back("the file does not open as a record file");
  } else if (status != kStatusOk) {
    return FailStatus("open " + file, status);
  } else {
    store.Check(kMostFaultsShown, &faults);
  }
  for (const std::string& fault : faults) std::printf("%s\n", fault.c_str());
  std::printf("%s: %s\n", file.c_str(), faults.empty() ? "sound" : "damaged");
  return faults.empty() ? 0 : 1;
}

int HoldLock(const std::string& file, uint32_t position, bool exclusive, double seconds) {
  Handle h;
  int16_t status = h.Open(file, exclusive ? kOpenExclusive : kOpenNormal);
  if (status != kStatusOk) return FailStatus("open " + file, status);
  if (!exclusive) {
    std::vector<char> data(kBufferSize);
    uint32_t length = kBufferSize;
    std::memcpy(data.data(), &position, 4);
    status = h.Call(position == 0 ? kBtrGetFirst + kBtrSingleWait : kBtrGetDirect + kBtrSingleWait,
                    data.data(), &length, 0);
    if (status != kStatusOk) return FailStatus("lock a record of " + file, status);
  }
  std::printf("locked\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return 0;
}

std::string StatusText(int16_t status) {
  switch (status) {
    case kStatusOk:
      return "success";
    case kStatusInvalidOperation:
      return "invalid operation";
    case kStatusIoError:
      return "I/O error or damaged file";
    case kStatusFileNotOpen:
      return "file not open";
    case kStatusKeyNotFound:
      return "key value not found";
    case kStatusDuplicateKey:
      return "duplicate key value";
    case kStatusInvalidKeyNumber:
      return "invalid key number";
    case kStatusDifferentKeyNumber:
      return "different key number";
    case kStatusInvalidPositioning:
      return "invalid positioning";
    case kStatusEndOfFile:
      return "end of file";
    case kStatusModifiableKey:
      return "key value may not be changed";
    case kStatusInvalidFileName:
      return "invalid file name";
    case kStatusFileNotFound:
      return "file not found";
    case kStatusDiskFull:
      return "disk full";
    case kStatusManagerInactive:
      return "database server not reached";
    case kStatusKeyBufferTooShort:
      return "key buffer too short";
    case kStatusDataBufferTooShort:
      return "data buffer too short";
    case kStatusPageSize:
      return "invalid page size";
    case kStatusCreateIoError:
      return "cannot create the file";
    case kStatusNumberOfKeys:
      return "invalid number of keys";
    case kStatusKeyPosition:
      return "invalid key position";
    case kStatusRecordLength:
      return "invalid record length";
    case kStatusKeyLength:
      return "invalid key length or type";
    case kStatusNotARecordFile:
      return "not a record file of ours: convert it with recutil import";
    case kStatusInvalidRecordAddress:
      return "invalid record address";
    case kStatusAccessDenied:
      return "access denied";
    case kStatusInvalidAcs:
      return "invalid collating sequence";
    case kStatusFileExists:
      return "file already exists";
    case kStatusRecordLocked:
      return "record locked";
    case kStatusFileLocked:
      return "file locked";
    default:
      return "record manager status";
  }
}

}  // namespace recutil
