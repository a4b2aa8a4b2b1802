// One open record file of recutil: its position block, closed when the
// handle goes.
#pragma once

#include <cstdint>
#include <string>

#include "btrieve/btrcall.h"

namespace recutil {

constexpr uint32_t kBufferSize = 65535;

struct Handle {
  uint8_t block[btrieve::kPositionBlockSize] = {};
  bool open = false;
  ~Handle() { Call(btrieve::kBtrClose); }

  int16_t Call(uint16_t op, void* data = nullptr, uint32_t* length = nullptr, int8_t key = 0) {
    if (op == btrieve::kBtrClose && !open) return btrieve::kStatusOk;
    uint32_t none = 0;
    char keyBuffer[256] = {};
    int16_t status = BTRCALL(op, block, data, length ? length : &none, keyBuffer, 255, key);
    if (op == btrieve::kBtrClose) open = false;
    return status;
  }
  int16_t Open(const std::string& name, int8_t mode) {
    std::string owner("0000\0", 5);
    uint32_t length = 5;
    std::string key = name + '\0';
    int16_t status = BTRCALL(btrieve::kBtrOpen, block, owner.data(), &length, key.data(),
                             static_cast<uint8_t>(name.size()), mode);
    open = status == btrieve::kStatusOk;
    return status;
  }
};

}  // namespace recutil
