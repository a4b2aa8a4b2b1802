// BTRCALL test helpers.
#include "btr_helpers.h"

#include <cstring>

namespace btr_test {

std::string Le16(uint16_t v) {
  return std::string{char(v & 0xFF), char(v >> 8)};
}

std::string Le32(uint32_t v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}

std::string CreateBuffer(uint16_t recordLength, const std::vector<std::vector<Segment>>& keys,
                         const std::vector<std::string>& acs, uint16_t pageSize,
                         uint16_t fileFlags) {
  std::string b = Le16(recordLength) + Le16(pageSize) + Le16(static_cast<uint16_t>(keys.size())) +
                  Le32(0) + Le16(fileFlags) + std::string(4, '\0');
  for (const auto& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      const Segment& s = key[i];
      uint16_t flags = s.flags | (i + 1 < key.size() ? 0x0010 : 0);
      b += Le16(s.position) + Le16(s.length) + Le16(flags) + Le32(0);
      b += static_cast<char>(s.type);
      b += static_cast<char>(s.nullValue);
      b += std::string(3, '\0');
      b += static_cast<char>(s.acs);
    }
  }
  for (const std::string& a : acs) b += a;
  return b;
}

std::string Acs(const std::string& name, const std::string& table256) {
  std::string n = name;
  n.resize(8, ' ');
  return "\xAC" + n + table256;
}

int16_t Create(const std::string& path, const std::string& buffer, int8_t keyNumber) {
  uint8_t block[btrieve::kPositionBlockSize] = {};
  std::string data = buffer;
  data.resize(1536, ' ');
  uint32_t length = 1536;
  std::string key = path + '\0';
  return BTRCALL(btrieve::kBtrCreate, block, data.data(), &length, key.data(),
                 static_cast<uint8_t>(path.size()), keyNumber);
}

int16_t File::Open(const std::string& path, int8_t mode) {
  std::string owner("1234\0", 5);
  uint32_t length = 5;
  std::string key = path + '\0';
  return BTRCALL(btrieve::kBtrOpen, block, owner.data(), &length, key.data(),
                 static_cast<uint8_t>(path.size()), mode);
}

int16_t File::Close() {
  uint32_t length = 0;
  return BTRCALL(btrieve::kBtrClose, block, nullptr, &length, nullptr, 0, 0);
}

int16_t File::Insert(const std::string& record, int8_t key) {
  std::string data = record;
  uint32_t length = static_cast<uint32_t>(data.size());
  char keyBuffer[256] = {};
  return BTRCALL(btrieve::kBtrInsert, block, data.data(), &length, keyBuffer, 255, key);
}

int16_t File::Update(const std::string& record, int8_t key) {
  std::string data = record;
  uint32_t length = static_cast<uint32_t>(data.size());
  char keyBuffer[256] = {};
  return BTRCALL(btrieve::kBtrUpdate, block, data.data(), &length, keyBuffer, 255, key);
}

int16_t File::Delete() {
  uint32_t length = 0;
  char keyBuffer[256] = {};
  return BTRCALL(btrieve::kBtrDelete, block, nullptr, &length, keyBuffer, 255, 0);
}

Result File::Get(uint16_t op, int8_t key, const std::string& value, uint32_t dataSize) {
  std::string data(dataSize, ' ');
  std::string keyBuffer = value;
  keyBuffer.resize(256, '\0');
  uint32_t length = dataSize;
  int16_t status = BTRCALL(op, block, data.data(), &length, keyBuffer.data(),
                           static_cast<uint8_t>(value.size()), key);
  data.resize(std::min<uint32_t>(length, dataSize));
  return {status, data, keyBuffer};
}

Result File::Stat() {
  std::string data(1536, ' ');
  std::string keyBuffer(255, ' ');
  keyBuffer += '\0';
  uint32_t length = 1536;
  int16_t status =
      BTRCALL(btrieve::kBtrStat, block, data.data(), &length, keyBuffer.data(), 255, 0);
  data.resize(length);
  return {status, data, keyBuffer};
}

uint32_t File::Position() {
  std::string data(1536, '\0');
  char keyBuffer[4] = {};
  uint32_t length = 1536;
  if (BTRCALL(btrieve::kBtrGetPosition, block, data.data(), &length, keyBuffer, 0, 0) != 0) {
    return 0;
  }
  uint32_t position;
  std::memcpy(&position, data.data(), 4);
  return position;
}

Result File::Direct(uint32_t position, int8_t key, uint16_t bias) {
  std::string data = Le32(position);
  data.resize(1536, ' ');
  std::string keyBuffer(256, '\0');
  uint32_t length = 1536;
  int16_t status = BTRCALL(btrieve::kBtrGetDirect + bias, block, data.data(), &length,
                           keyBuffer.data(), 0, key);
  data.resize(length);
  return {status, data, keyBuffer};
}

int16_t File::Unlock(int8_t key, uint32_t position) {
  std::string data = Le32(position);
  uint32_t length = 4;
  return BTRCALL(btrieve::kBtrUnlock, block, data.data(), &length, nullptr, 0, key);
}

}  // namespace btr_test
