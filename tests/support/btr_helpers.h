// Test helpers around BTRCALL: Create buffers from segment lists and the
// common calls with std::string buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "btrieve/btrcall.h"

namespace btr_test {

struct Segment {
  uint16_t position;
  uint16_t length;
  uint16_t flags = 0;
  uint8_t type = 0;
  uint8_t nullValue = 0;
  uint8_t acs = 0;
};

// The Create buffer for keys made of these segments (the chaining flag
// 0x0010 is set here on every segment but a key's last).
std::string CreateBuffer(uint16_t recordLength, const std::vector<std::vector<Segment>>& keys,
                         const std::vector<std::string>& acs = {}, uint16_t pageSize = 1024,
                         uint16_t fileFlags = 0);
// An ACS block: signature, name, table.
std::string Acs(const std::string& name, const std::string& table256);

struct Result {
  int16_t status;
  std::string data;  // as many bytes as the returned data length
  std::string key;   // the whole 256-byte key buffer after the call
};

class File {
 public:
  uint8_t block[btrieve::kPositionBlockSize] = {};

  int16_t Open(const std::string& path, int8_t mode = 0);
  int16_t Close();
  int16_t Insert(const std::string& record, int8_t key = 0);
  int16_t Update(const std::string& record, int8_t key = 0);
  int16_t Delete();
  // Any read: op (with bias), key number, key value given, data buffer size.
  Result Get(uint16_t op, int8_t key, const std::string& value = "", uint32_t dataSize = 1536);
  Result Stat();
  uint32_t Position();
  Result Direct(uint32_t position, int8_t key, uint16_t bias = 0);
  int16_t Unlock(int8_t key = 0, uint32_t position = 0);
};

int16_t Create(const std::string& path, const std::string& buffer, int8_t keyNumber = 0);

// Little-endian images of integers.
std::string Le16(uint16_t v);
std::string Le32(uint32_t v);

}  // namespace btr_test
