// Open-file-description locks (F_OFD_SETLK): owned by the open description,
// not the process, so they separate the opens of one process as well.
#include "platform/record_locks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/btrcall.h"

namespace platform {
namespace {

constexpr off_t kRecordLockBase = 16;

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

std::string LockFilePath(const std::string& datPath) { return datPath + "-lock"; }

RecordLocks::~RecordLocks() { Close(); }

int16_t RecordLocks::Open(const std::string& datPath, bool exclusive) {
  Close();
  fd_ = ::open(LockFilePath(datPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return kStatusAccessDenied;
  if (!SetLock(fd_, exclusive ? F_WRLCK : F_RDLCK, 0, false)) {
    Close();
    return kStatusFileLocked;
  }
  return kStatusOk;
}

void RecordLocks::Close() {
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

}  // namespace platform
