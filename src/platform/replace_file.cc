// ReplaceFile: a file of its own at the name, or a new one renamed into
// place; never a link followed.
#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/new_file.h"
#include "platform/paths.h"

namespace platform {
namespace {

bool WriteAll(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies the regular file at path (not through a link) into fd.  True also
// when there is no such file; false only when the copy fails part way.
bool CopyRegularFile(const std::string& path, int fd) {
  const int from = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (from < 0) return true;
  struct stat st {};
  bool ok = true;
  if (::fstat(from, &st) == 0 && S_ISREG(st.st_mode)) {
    char buffer[65536];
    ssize_t n;
    while (ok && (n = ::read(from, buffer, sizeof buffer)) != 0) {
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0 && WriteAll(fd, buffer, static_cast<size_t>(n));
    }
  }
  ::close(from);
  return ok && ::lseek(fd, 0, SEEK_SET) == 0;
}

// The regular file at path opened in place when no other name reaches it;
// nullptr for anything else.
std::FILE* OpenSoleFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  std::FILE* file = nullptr;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) {
    ::fcntl(fd, F_SETFL, 0);  // blocking again, as any file opened for writing
    file = ::fdopen(fd, "r+b");
  }
  if (file == nullptr) ::close(fd);
  return file;
}

}  // namespace

std::FILE* ReplaceFile(std::string_view path, bool keep) {
  const std::string target = NativePath(path);
  if (keep) {
    if (std::FILE* file = OpenSoleFile(target)) return file;
  }
  std::string name;
  const int fd = CreateBeside(target, &name);
  if (fd < 0) return nullptr;
  bool ok = !keep || CopyRegularFile(target, fd);
  TakeOverFrom(target, fd);
  ok = ok && ::rename(name.c_str(), target.c_str()) == 0;
  std::FILE* file = ok ? ::fdopen(fd, "w+b") : nullptr;  // fdopen never truncates
  if (file == nullptr) {
    if (!ok) ::unlink(name.c_str());
    ::close(fd);
  }
  return file;
}

}  // namespace platform
