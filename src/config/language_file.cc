// A field scanner over the bytes of a language file.
#include "config/language_file.h"

namespace config {
namespace {

class FieldReader {
 public:
  explicit FieldReader(std::string_view contents)
      : data_(contents.substr(0, contents.find('\x1A'))) {}

  bool AtEnd() const { return pos_ >= data_.size(); }

  std::string Next() {
    while (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
    std::string field;
    if (pos_ < data_.size() && data_[pos_] == '"') {
      const size_t close = data_.find('"', pos_ + 1);
      const size_t end = close == std::string_view::npos ? data_.size() : close;
      field = std::string(data_.substr(pos_ + 1, end - pos_ - 1));
      pos_ = end == data_.size() ? end : end + 1;
      while (pos_ < data_.size() && !IsFieldEnd(data_[pos_])) ++pos_;
    } else {
      for (; pos_ < data_.size() && !IsFieldEnd(data_[pos_]); ++pos_) {
        if (data_[pos_] != '\t') field.push_back(data_[pos_]);
      }
    }
    SkipFieldEnd();
    return field;
  }

 private:
  static bool IsFieldEnd(char c) { return c == ',' || c == '\r' || c == '\n'; }

  void SkipFieldEnd() {
    if (pos_ >= data_.size()) return;
    const char c = data_[pos_++];
    if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  }

  std::string_view data_;
  size_t pos_ = 0;
};

// Calls take(entry) for each entry in order until it returns true; whether
// one did.
template <typename Take>
bool WalkEntries(std::string_view contents, Take take) {
  FieldReader reader(contents);
  while (!reader.AtEnd()) {
    LanguageEntry entry;
    entry.key = reader.Next();
    if (reader.AtEnd()) return false;
    for (std::string& translation : entry.translations) translation = reader.Next();
    if (take(entry)) return true;
  }
  return false;
}

}  // namespace

bool FindLanguageEntry(std::string_view contents, std::string_view text, LanguageEntry* entry) {
  return WalkEntries(contents, [&](LanguageEntry& e) {
    if (e.key != text) return false;
    *entry = std::move(e);
    return true;
  });
}

std::vector<LanguageEntry> ReadLanguageEntries(std::string_view contents) {
  std::vector<LanguageEntry> entries;
  WalkEntries(contents, [&](LanguageEntry& e) {
    entries.push_back(std::move(e));
    return false;
  });
  return entries;
}

}  // namespace config
