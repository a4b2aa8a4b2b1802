// Random BTRCALL sequences on two opens of one file, after a Create from
// the input's own bytes (or, when those are refused, a fixed two-key file).
// Nothing may crash, read out of bounds or hang.  Waiting locks are sent as
// their no-wait forms: a wait on the other open of this same thread could
// never end.
#include <cstdint>
#include <cstring>
#include <string>

#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "fuzz_scratch.h"

namespace {

using namespace btrieve;
using namespace storage;

const uint16_t kOps[] = {kBtrOpen,           kBtrClose,
                         kBtrInsert,         kBtrUpdate,
                         kBtrDelete,         kBtrGetEqual,
                         kBtrGetNext,        kBtrGetPrevious,
                         kBtrGetGreater,     kBtrGetGreaterOrEqual,
                         kBtrGetLess,        kBtrGetLessOrEqual,
                         kBtrGetFirst,       kBtrGetLast,
                         kBtrStat,           kBtrBeginTransaction,
                         kBtrEndTransaction, kBtrAbortTransaction,
                         kBtrGetPosition,    kBtrGetDirect,
                         kBtrStepNext,       kBtrUnlock,
                         kBtrReset,          kBtrStepFirst,
                         kBtrStepLast,       kBtrStepPrevious};

// A fixed spec: 12-byte records, key 0 bytes 1-2 integer unique, key 1
// bytes 3-8 string with duplicates, modifiable, null spaces.
std::string FixedSpec() {
  const unsigned char b[] = {12, 0, 0, 2, 2,    0, 0, 0, 0, 0, 0, 0,   0, 0, 0, 0,
                             1,  0, 2, 0, 0,    1, 0, 0, 0, 0, 1, 0,   0, 0, 0, 0,
                             3,  0, 6, 0, 0x0B, 0, 0, 0, 0, 0, 0, ' ', 0, 0, 0, 0};
  return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  void Fill(uint8_t* out, size_t count) {
    size_t take = count < n ? count : n;
    std::memcpy(out, p, take);
    std::memset(out + take, 0, count - take);
    p += take;
    n -= take;
  }
};

// The scratch file; the record manager is reset when the run ends, before
// its folder goes.
struct Scratch {
  std::string path = fuzz_scratch::FolderPath("btrcall") + "fuzz.dat";
  ~Scratch() { ResetRecordManager(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Scratch scratch;
  const std::string& path = scratch.path;
  ResetRecordManager();
  Input in{data, size};
  uint8_t blocks[2][kPositionBlockSize] = {};
  uint8_t buffer[2048];
  uint8_t key[256];
  std::string name = path + '\0';

  uint32_t length = in.Byte() * 4u;
  in.Fill(buffer, sizeof buffer < length ? sizeof buffer : length);
  std::memcpy(key, name.data(), name.size());
  if (BTRCALL(kBtrCreate, blocks[0], buffer, &length, key, 255, 0) != kStatusOk) {
    std::string spec = FixedSpec();
    length = static_cast<uint32_t>(spec.size());
    if (BTRCALL(kBtrCreate, blocks[0], spec.data(), &length, key, 255, 0) != kStatusOk) return 0;
  }
  for (auto& block : blocks) BTRCALL(kBtrOpen, block, buffer, &length, key, 255, 0);

  for (int steps = 0; steps < 64 && in.n > 0; ++steps) {
    uint8_t choice = in.Byte();
    uint16_t op = kOps[choice % (sizeof kOps / sizeof kOps[0])];
    uint8_t bias = in.Byte() % 8;
    if (bias == 1) op += kBtrSingleNoWait;
    if (bias == 2) op += kBtrMultipleNoWait;
    uint8_t* block = blocks[choice >> 7];
    length = in.Byte() * 8u;  // never more than the buffer holds
    in.Fill(buffer, length);
    uint8_t keyLength = in.Byte();
    in.Fill(key, in.Byte() % 32);
    auto keyNumber = static_cast<int8_t>(in.Byte() % 8 - 3);
    if (op == kBtrOpen) {
      std::memcpy(key, name.data(), name.size());
      keyNumber = static_cast<int8_t>(keyNumber % 5);
    }
    BTRCALL(op, block, buffer, &length, key, keyLength, keyNumber);
  }
  ResetRecordManager();
  return 0;
}
