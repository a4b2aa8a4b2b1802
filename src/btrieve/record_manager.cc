// The open-file table.  A position block carries a signature, the table
// slot and the slot's generation, so a stale or foreign block is refused
// (status 3) instead of reaching another file.
#include "btrieve/record_manager.h"

#include <cstring>

#include "platform/program_state.h"

namespace btrieve {
namespace {

constexpr char kSignature[4] = {'Q', 'T', 'R', 'M'};

struct BlockName {
  char signature[4];
  uint32_t slot;
  uint32_t generation;
};

// Whether another open of the same file in this process satisfies holds.
template <typename Holds>
bool AnotherOpenOfTheFile(const OpenRecordFile& file, Holds holds) {
  for (const auto& other : RecordManager().files) {
    if (other == nullptr || other.get() == &file || other->path != file.path) continue;
    if (holds(*other)) return true;
  }
  return false;
}

}  // namespace

RecordManagerState& RecordManager() {
  static RecordManagerState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kBtrieve, "btrieve::RecordManager", ResetRecordManager);
}  // namespace

void ResetRecordManager() {
  RecordManagerState& state = RecordManager();
  state.files.clear();
  state.inTransaction = false;
}

void ReleaseHeldReads() {
  for (auto& file : RecordManager().files) {
    if (file != nullptr) file->store.ReleaseReads();
  }
}

OpenRecordFile* AddOpenFile(uint8_t* posBlock, std::unique_ptr<OpenRecordFile> opened) {
  RecordManagerState& state = RecordManager();
  size_t slot = 0;
  while (slot < state.files.size() && state.files[slot] != nullptr) ++slot;
  if (slot == state.files.size()) state.files.emplace_back();
  state.files[slot] = std::move(opened);
  OpenRecordFile* file = state.files[slot].get();
  file->generation = state.nextGeneration++;
  BlockName name;
  std::memcpy(name.signature, kSignature, sizeof kSignature);
  name.slot = static_cast<uint32_t>(slot);
  name.generation = file->generation;
  std::memcpy(posBlock, &name, sizeof name);
  return file;
}

OpenRecordFile* FindOpenFile(const uint8_t* posBlock) {
  if (posBlock == nullptr) return nullptr;
  BlockName name;
  std::memcpy(&name, posBlock, sizeof name);
  if (std::memcmp(name.signature, kSignature, sizeof kSignature) != 0) return nullptr;
  RecordManagerState& state = RecordManager();
  if (name.slot >= state.files.size()) return nullptr;
  OpenRecordFile* file = state.files[name.slot].get();
  return file != nullptr && file->generation == name.generation ? file : nullptr;
}

void RemoveOpenFile(uint8_t* posBlock) {
  if (FindOpenFile(posBlock) == nullptr) return;
  BlockName name;
  std::memcpy(&name, posBlock, sizeof name);
  RecordManager().files[name.slot].reset();
  std::memset(posBlock, 0, sizeof name);
}

void ReleaseSingleLock(OpenRecordFile& file) {
  if (file.singleLock != 0 && file.multipleLocks.count(file.singleLock) == 0) {
    file.locks.UnlockRecord(file.singleLock);
  }
  file.singleLock = 0;
}

bool HeldByThisProcess(const OpenRecordFile& file, uint32_t position) {
  return AnotherOpenOfTheFile(file, [position](const OpenRecordFile& other) {
    return other.singleLock == position || other.multipleLocks.count(position) != 0;
  });
}

bool WriteLockedByThisProcess(const OpenRecordFile& file) {
  return AnotherOpenOfTheFile(
      file, [](const OpenRecordFile& other) { return other.store.HoldsFileWriteLock(); });
}

void ReleaseRecordLocks(OpenRecordFile& file, uint32_t position) {
  if (file.singleLock != 0 && (position == 0 || file.singleLock == position)) {
    if (file.multipleLocks.count(file.singleLock) == 0) file.locks.UnlockRecord(file.singleLock);
    file.singleLock = 0;
  }
  for (auto it = file.multipleLocks.begin(); it != file.multipleLocks.end();) {
    if (position == 0 || *it == position) {
      if (*it != file.singleLock) file.locks.UnlockRecord(*it);
      it = file.multipleLocks.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace btrieve
