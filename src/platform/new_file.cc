// NewFile: complete, synced, then renamed into place; created without
// access for others, and taking over what the office set on the file it
// replaces.
#include "platform/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/paths.h"

namespace platform {
namespace {

// Names tried before giving up: another process would have to hold them all.
constexpr int kNameAttempts = 100;

// The rename is only lasting once the folder that holds the name is synced.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

int CreateBeside(const std::string& nativePath, std::string* name) {
  static std::atomic<unsigned> made{0};
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *name = nativePath + ".new" + std::to_string(::getpid()) + "-" + std::to_string(made++);
    const int fd = ::open(name->c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          kPrivateFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// An operator who may not give the file its owner still gives it the
// group when a member of it.
void TakeOverFrom(const std::string& path, int fd) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  (void)::fchmod(fd, st.st_mode & 07777);  // after fchown, which may clear set-id bits
}

void TakeOverFrom(const std::string& nativePath, const std::string& newNativePath) {
  const int fd = ::open(newNativePath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  TakeOverFrom(nativePath, fd);
  ::close(fd);
}

bool WriteNewFile(std::string_view path, std::string_view bytes) {
  const std::string native = NativePath(path);
  const size_t slash = native.rfind('/');
  if (slash != std::string::npos && slash != 0) MakeFolders(native.substr(0, slash));
  NewFile file(path);
  return file.ok() && std::fwrite(bytes.data(), 1, bytes.size(), file.file()) == bytes.size() &&
         file.Commit();
}

NewFile::NewFile(std::string_view path) : target_(NativePath(path)) {
  const int fd = CreateBeside(target_, &name_);
  if (fd < 0) {
    error_ = errno;
    name_.clear();
    return;
  }
  file_ = ::fdopen(fd, "w+b");
  if (file_ == nullptr) {
    error_ = errno;
    ::close(fd);
    ::unlink(name_.c_str());
    name_.clear();
  }
}

NewFile::~NewFile() {
  Abandon();
}

bool NewFile::ok() const {
  return file_ != nullptr && error_ == 0 && !std::ferror(file_);
}

bool NewFile::Commit() {
  if (file_ == nullptr) return false;
  bool ok = this->ok();
  if (!ok && error_ == 0) error_ = EIO;
  const auto step = [&](bool done) {
    if (ok && !done) {
      error_ = errno != 0 ? errno : EIO;
      ok = false;
    }
  };
  errno = 0;
  step(std::fflush(file_) == 0);
  step(::fsync(::fileno(file_)) == 0);
  if (ok) TakeOverFrom(target_, ::fileno(file_));
  step(std::fclose(file_) == 0);
  file_ = nullptr;
  step(::rename(name_.c_str(), target_.c_str()) == 0);
  if (!ok) {
    ::unlink(name_.c_str());
    name_.clear();
    return false;
  }
  name_.clear();
  SyncFolderOf(target_);
  return true;
}

void NewFile::Abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!name_.empty()) {
    ::unlink(name_.c_str());
    name_.clear();
  }
}

bool MakeFolders(std::string_view path) {
  const std::string native = NativePath(path);
  for (size_t at = native.find('/', 1);; at = native.find('/', at + 1)) {
    const std::string part = native.substr(0, at);
    if (!part.empty()) (void)::mkdir(part.c_str(), kPrivateFolderMode);
    if (at == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void KeepFromOthers(const std::string& nativePath) {
  struct stat st {};
  if (::stat(nativePath.c_str(), &st) == 0) (void)::chmod(nativePath.c_str(), st.st_mode & 07770);
}

}  // namespace platform
