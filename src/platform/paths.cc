// Windows-style path mapping: backslashes, drive letters and case.
#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The name of an entry of dir that equals name apart from ASCII case, or the
// empty string when there is none.  An exact match never reaches here.
std::string FindCaseless(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '/') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  // "ROOT/\X" (a folder given with "/" and joined with "\") is "ROOT/X".
  p.erase(std::unique(p.begin(), p.end(), [](char a, char b) { return a == '/' && b == '/'; }),
          p.end());
  // "C:/ROOT" -> "/ROOT"; a bare "C:" names the current directory.
  if (p.size() >= 2 && p[1] == ':' &&
      ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
    p.erase(0, 2);
  }
  if (p.empty()) return p;

  std::vector<std::string> parts = SplitComponents(p);
  std::string result;
  bool resolving = true;  // stays true while every prefix exists
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string dir = result;
    if (i > 0) result += '/';
    if (part.empty() || part == "." || part == "..") {
      result += part;
      continue;
    }
    if (resolving && !Exists(result + part)) {
      std::string match = FindCaseless(dir.empty() && i > 0 ? "/" : dir, part);
      if (!match.empty()) {
        result += match;
        continue;
      }
      resolving = false;
    }
    result += part;
  }
  return result;
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

bool ReadWholeFile(std::string_view path, std::string* contents) {
  std::FILE* f = OpenFile(path, "rb");
  if (f == nullptr) return false;
  contents->clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) contents->append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool FileExists(std::string_view path) { return Exists(NativePath(path)); }

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  const std::string path(buffer.data(), static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

bool RemoveFile(std::string_view path) {
  return std::remove(NativePath(path).c_str()) == 0;
}

}  // namespace platform
