// The private folder where a fuzz target writes the files of each input.
// In memory (/dev/shm) where the machine has it: a target that writes a
// file for every input would otherwise spend most of its run on the disk.
// The folder and what is in it are removed when the target ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fuzz_scratch {

struct Folder {
  std::string path;  // ends in '/'
  explicit Folder(const std::string& name) {
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
    std::string pattern = base + "qt_fuzz_" + name + "_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ::abort();
    path = pattern + "/";
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// The folder of this target, made on first use.
inline const std::string& FolderPath(const std::string& name) {
  static const Folder folder(name);
  return folder.path;
}

}  // namespace fuzz_scratch
