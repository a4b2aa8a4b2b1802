// INI lookup: a line scanner with one state flag (inside the wanted section).
#include "config/ini.h"

#include <string>

#include "format/text.h"
#include "platform/paths.h"

namespace config {
namespace {

// Splits file contents into lines at CR, CR LF or LF, stopping at Ctrl-Z.
// Lines are views into the contents: a line costs one scan of its bytes,
// however long it is.
class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data.substr(0, data.find('\x1A'))) {}

  bool Next(std::string_view* line) {
    if (pos_ >= data_.size()) return false;
    size_t end = pos_;
    while (end < data_.size() && data_[end] != '\r' && data_[end] != '\n') ++end;
    *line = data_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (end < data_.size() && data_[end] == '\r' && pos_ < data_.size() && data_[pos_] == '\n') {
      ++pos_;
    }
    return true;
  }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

std::string Unquote(std::string value) {
  if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A section or key name of the file against a wanted one (trimmed and
// folded): the fold is paid only for names of the wanted length.
bool SameName(std::string_view name, const std::string& wanted) {
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name.size() == wanted.size() && format::UpperCase(name) == wanted;
}

}  // namespace

std::string IniRead(std::string_view path, std::string_view section, std::string_view key) {
  std::string data;
  if (!platform::ReadWholeFile(path, &data)) return {};

  const std::string wantedSection = format::UpperCase(format::Trim(section));
  const std::string wantedKey = format::UpperCase(format::Trim(key));
  bool inSection = false;
  std::string result;
  LineReader reader(data);
  std::string_view line;
  while (reader.Next(&line)) {
    line = line.substr(0, line.find(';'));
    size_t start = 0;
    while (start < line.size() && line[start] == ' ') ++start;
    if (start == line.size()) continue;  // empty, or only spaces
    line.remove_prefix(start);

    if (!inSection) {
      if (line[0] != '[') continue;
      const size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? close : close - 1);
      inSection = SameName(name, wantedSection);
      continue;
    }
    if (line[0] == '[') break;  // the section ended without the key
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (SameName(line.substr(0, eq), wantedKey)) {
      result = line.substr(eq + 1);
      break;
    }
  }
  return Unquote(result);
}

}  // namespace config
