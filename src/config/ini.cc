// INI lookup: a line scanner with one state flag (inside the wanted section).
#include "config/ini.h"

#include <string>

#include "format/text.h"
#include "platform/paths.h"

namespace config {
namespace {

// Splits file contents into lines at CR, CR LF or LF, stopping at Ctrl-Z.
class LineReader {
 public:
  explicit LineReader(const std::string& data) : data_(data) {}

  bool Next(std::string* line) {
    if (pos_ >= data_.size() || data_[pos_] == '\x1A') return false;
    line->clear();
    while (pos_ < data_.size()) {
      char c = data_[pos_];
      if (c == '\x1A') break;
      ++pos_;
      if (c == '\r') {
        if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
        break;
      }
      if (c == '\n') break;
      line->push_back(c);
    }
    return true;
  }

 private:
  const std::string& data_;
  size_t pos_ = 0;
};

std::string Unquote(std::string value) {
  if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
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
  std::string raw;
  while (reader.Next(&raw)) {
    std::string line = raw.substr(0, raw.find(';'));
    line = format::TrimLeft(line);
    if (format::TrimRight(line).empty()) continue;

    if (!inSection) {
      if (line[0] != '[') continue;
      std::string name = line.substr(
          1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
      inSection = format::UpperCase(format::Trim(name)) == wantedSection;
      continue;
    }
    if (line[0] == '[') break;  // the section ended without the key
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (format::UpperCase(format::TrimRight(line.substr(0, eq))) == wantedKey) {
      result = line.substr(eq + 1);
      break;
    }
  }
  return Unquote(result);
}

}  // namespace config
