// Any bytes as a sequential load file: the reader must stop (at the end or
// on a fault) without crashing, and every record it accepts must come back
// the same when written out and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sequential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (in == nullptr) return 0;
  recutil::SequentialReader reader(in);
  std::string record;
  // Every record takes at least three bytes ("0,\n"), so a reader that does
  // not move on is caught by this bound rather than hanging.
  for (size_t n = 0; reader.Next(&record) == 1; ++n) {
    if (n > size) std::abort();
    std::string written = recutil::SequentialRecord(record);
    std::FILE* again = fmemopen(written.data(), written.size(), "rb");
    if (again == nullptr) continue;
    recutil::SequentialReader back(again);
    std::string read;
    if (back.Next(&read) != 1 || read != record || back.Next(&read) != 0) std::abort();
    std::fclose(again);
  }
  std::fclose(in);
  return 0;
}
