// The record file both record-manager benchmarks measure: 100-byte records,
// key 0 a unique 4-byte number, key 1 a 10-byte name with duplicates.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "btrieve/btrcall.h"

namespace bench_file {

inline constexpr uint16_t kRecordLength = 100;

inline std::string Le16(uint16_t v) {
  return std::string{char(v & 0xFF), char(v >> 8)};
}

// Key 0: bytes 1-4 unsigned, unique.  Key 1: bytes 5-14 string, duplicates.
inline std::string Spec() {
  std::string b = Le16(kRecordLength) + Le16(4096) + Le16(2) + std::string(10, '\0');
  auto segment = [](uint16_t pos, uint16_t len, uint16_t flags) {
    return Le16(pos) + Le16(len) + Le16(flags) + std::string(10, '\0');
  };
  return b + segment(1, 4, 0x0004) + segment(5, 10, 0x0001);
}

inline std::string Record(uint32_t id) {
  std::string r(kRecordLength, ' ');
  std::memcpy(r.data(), &id, 4);
  std::string name = "N" + std::to_string(id % 50000);
  std::memcpy(r.data() + 4, name.data(), name.size());
  return r;
}

inline int16_t Call(uint16_t op, uint8_t* block, void* data, uint32_t length, void* key,
                    int8_t keyNumber, uint8_t keyLength = 255) {
  return BTRCALL(op, block, data, &length, key, keyLength, keyNumber);
}

}  // namespace bench_file
