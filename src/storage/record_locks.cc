// Open-file-description locks (F_OFD_SETLK): owned by the open description,
// not the process, so they separate the opens of one process as well.
#include "storage/record_locks.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/new_file.h"
#include "storage/status.h"

namespace storage {
namespace {

constexpr off_t kRecordLockBase = 16;
constexpr off_t kCounterArea = 4096;

bool SetLock(int fd, short type, off_t start, bool wait) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = 1;
  while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

std::string FilePathOf(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string LockFilePath(const std::string& datPath) {
  return FilePathOf(datPath) + "-lock";
}

RecordLocks::~RecordLocks() {
  Close();
}

int16_t RecordLocks::Open(const std::string& datPath, bool exclusive) {
  Close();
  // The side file is written (its write count is mapped): a link planted
  // under its name would carry those writes to another file.
  fd_ = ::open(LockFilePath(datPath).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
               platform::kPrivateFileMode);
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
    Close();
    return kStatusAccessDenied;
  }
  if (!SetLock(fd_, exclusive ? F_WRLCK : F_RDLCK, 0, false)) {
    Close();
    return kStatusFileLocked;
  }
  if (st.st_size >= kCounterArea || ::ftruncate(fd_, kCounterArea) == 0) {
    void* area = ::mmap(nullptr, kCounterArea, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (area != MAP_FAILED) counter_ = static_cast<uint64_t*>(area);
  }
  return kStatusOk;
}

bool RecordLocks::ChangeCount(uint64_t* count) const {
  if (counter_ == nullptr) return false;
  *count = std::atomic_ref<uint64_t>(*counter_).load(std::memory_order_acquire);
  return true;
}

void RecordLocks::NoteChange() {
  if (counter_ != nullptr)
    std::atomic_ref<uint64_t>(*counter_).fetch_add(1, std::memory_order_acq_rel);
}

void RecordLocks::Close() {
  if (counter_ != nullptr) ::munmap(counter_, kCounterArea);
  counter_ = nullptr;
  if (fd_ >= 0) ::close(fd_);  // closing the description drops all its locks
  fd_ = -1;
}

bool RecordLocks::LockRecord(uint32_t position, bool wait) {
  return fd_ >= 0 && SetLock(fd_, F_WRLCK, kRecordLockBase + position, wait);
}

void RecordLocks::UnlockRecord(uint32_t position) {
  if (fd_ >= 0) SetLock(fd_, F_UNLCK, kRecordLockBase + position, false);
}

bool RecordLocks::HeldElsewhere(uint32_t position) {
  if (fd_ < 0) return false;
  struct flock fl = {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kRecordLockBase + position;
  fl.l_len = 1;
  if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

}  // namespace storage
