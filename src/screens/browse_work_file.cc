// Browse.tmp: writing and reading its entries.  Each entry starts with the
// 1-based position of the previous one, so the file can be walked
// backwards by itself; the index kept here finds lines by number.
#include "screens/browse_work_file.h"

#include "format/text.h"
#include "platform/paths.h"
#include "platform/replace_file.h"

namespace screens {
namespace {

constexpr size_t kHeader = 10;  // previous, record position, length

void PutInt(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetInt(const unsigned char* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

}  // namespace

bool BrowseWork::Open(const std::string& path, bool empty) {
  Close();
  path_ = path;
  starts_.clear();
  end_ = 0;
  // Through ReplaceFile: a link left under this name is replaced, never
  // written through.
  file_ = platform::ReplaceFile(path, !empty);
  if (file_ == nullptr) return false;
  // Index the entries already there, stopping at the first one cut short.
  unsigned char header[kHeader];
  while (std::fseek(file_, end_, SEEK_SET) == 0 &&
         std::fread(header, 1, kHeader, file_) == kHeader) {
    const long next = end_ + static_cast<long>(kHeader + GetInt(header + 8, 2));
    if (std::fseek(file_, 0, SEEK_END) != 0 || std::ftell(file_) < next) break;
    starts_.push_back(end_);
    end_ = next;
  }
  return true;
}

void BrowseWork::Append(std::int32_t recordPosition, const std::string& text) {
  if (file_ == nullptr) return;
  const std::string shown = format::TrimRight(text).substr(0, 0xFFFF);
  std::string entry;
  PutInt(entry, starts_.empty() ? 0 : static_cast<std::uint32_t>(starts_.back() + 1), 4);
  PutInt(entry, static_cast<std::uint32_t>(recordPosition), 4);
  PutInt(entry, static_cast<std::uint32_t>(shown.size()), 2);
  entry += shown;
  if (std::fseek(file_, end_, SEEK_SET) != 0 ||
      std::fwrite(entry.data(), 1, entry.size(), file_) != entry.size()) {
    return;
  }
  starts_.push_back(end_);
  end_ += static_cast<long>(entry.size());
}

bool BrowseWork::Read(size_t n, BrowseLine& line) const {
  if (file_ == nullptr || n >= starts_.size()) return false;
  unsigned char header[kHeader];
  if (std::fseek(file_, starts_[n], SEEK_SET) != 0 ||
      std::fread(header, 1, kHeader, file_) != kHeader) {
    return false;
  }
  line.recordPosition = static_cast<std::int32_t>(GetInt(header + 4, 4));
  line.text.assign(GetInt(header + 8, 2), ' ');
  return std::fread(line.text.data(), 1, line.text.size(), file_) == line.text.size();
}

void BrowseWork::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void BrowseWork::Remove() {
  Close();
  if (!path_.empty()) platform::RemoveFile(path_);
  starts_.clear();
}

}  // namespace screens
