// The work file of the browse lists: the lines read so far, appended in the
// order read, with an index of where each starts.  Internal to the browse
// list.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace screens {

struct BrowseLine {
  std::int32_t recordPosition = 0;
  std::string text;
};

class BrowseWork {
 public:
  BrowseWork() = default;
  BrowseWork(const BrowseWork&) = delete;
  BrowseWork& operator=(const BrowseWork&) = delete;
  ~BrowseWork() { Close(); }

  // Opens the file, emptied when `empty` is true; otherwise the lines it
  // holds are indexed (as far as they are whole).  False when it cannot be
  // opened or created: the list then has no lines.
  bool Open(const std::string& path, bool empty);
  // Appends a line (its text without trailing spaces).
  void Append(std::int32_t recordPosition, const std::string& text);
  // Line n (0-based); false when there is no such line.
  bool Read(size_t n, BrowseLine& line) const;
  size_t Count() const { return starts_.size(); }
  bool IsOpen() const { return file_ != nullptr; }
  // Closes and deletes the file.
  void Remove();

 private:
  void Close();
  std::FILE* file_ = nullptr;
  std::string path_;
  std::vector<long> starts_;  // 0-based byte offset of each line
  long end_ = 0;
};

}  // namespace screens
