// INI lookup: a line scanner with one state flag (inside the wanted section).
#include "config/ini.h"

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "format/text.h"
#include "platform/cp850.h"
#include "platform/paths.h"
#include "platform/program_state.h"

namespace config {
namespace {

// Splits file contents into lines at CR, CR LF or LF.  Lines are views into
// the contents: a line costs one scan of its bytes, however long it is.
class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data) {}

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

// A file's contents up to its Ctrl-Z, and how its bytes are read.
struct IniText {
  std::string data;
  bool utf8 = false;
};

// Valid UTF-8 with at least one character beyond ASCII.  Code page 850
// text seldom passes: its accented letters would have to fall into UTF-8's
// lead and continuation bytes, pair after pair.
bool IsUtf8BeyondAscii(std::string_view data) {
  bool beyondAscii = false;
  size_t pos = 0;
  while (pos < data.size()) {
    if (static_cast<unsigned char>(data[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t ch = 0;
    if (!platform::DecodeUtf8(data, &pos, &ch)) return false;
    beyondAscii = true;
  }
  return beyondAscii;
}

bool LoadIniText(std::string_view path, IniText* text) {
  if (!platform::ReadWholeFile(path, &text->data)) return false;
  text->data.resize(std::min(text->data.size(), text->data.find('\x1A')));
  text->utf8 = IsUtf8BeyondAscii(text->data);
  // Windows editors start a UTF-8 file with a byte order mark, which would
  // otherwise hide the first section's "[".
  if (text->utf8 && text->data.starts_with("\xEF\xBB\xBF")) text->data.erase(0, 3);
  return true;
}

std::string Unquote(std::string value) {
  if (value.size() > 1 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A section or key name of the file against a wanted one (trimmed and
// folded): the fold is paid only for names of the wanted length.
bool SameName(std::string_view name, const std::string& wanted, bool utf8) {
  if (utf8) return SameName(platform::Utf8ToCp850(name), wanted, false);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name.size() == wanted.size() && format::UpperCase(name) == wanted;
}

// The key's value with its bytes as in the file, quotes removed.
std::string FindValue(const IniText& text, std::string_view section, std::string_view key) {
  const std::string wantedSection = format::UpperCase(format::Trim(section));
  const std::string wantedKey = format::UpperCase(format::Trim(key));
  bool inSection = false;
  std::string result;
  LineReader reader(text.data);
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
      inSection = SameName(name, wantedSection, text.utf8);
      continue;
    }
    if (line[0] == '[') break;  // the section ended without the key
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (SameName(line.substr(0, eq), wantedKey, text.utf8)) {
      result = line.substr(eq + 1);
      break;
    }
  }
  return Unquote(result);
}

struct IniNotes {
  std::set<std::tuple<std::string, std::string, std::string>> noted;
  std::vector<UnwritableSetting> untold;
};

IniNotes& Notes() {
  static IniNotes notes;
  return notes;
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConfig, "config::IniNotes", [] { Notes() = IniNotes{}; });

void NoteUnwritable(std::string_view path, std::string_view section, std::string_view key) {
  UnwritableSetting s{std::string(path), std::string(section), std::string(key)};
  if (Notes().noted.emplace(s.file, s.section, s.key).second) Notes().untold.push_back(s);
}

// Characters of valid UTF-8: its bytes that are not continuation bytes.
size_t CharacterCount(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

std::string IniRead(std::string_view path, std::string_view section, std::string_view key) {
  IniText text;
  if (!LoadIniText(path, &text)) return {};
  const std::string value = FindValue(text, section, key);
  if (!text.utf8) return value;
  std::string cp850 = platform::Utf8ToCp850(value);
  // The conversion leaves out what has no byte; each character kept is one.
  if (cp850.size() != CharacterCount(value)) NoteUnwritable(path, section, key);
  return cp850;
}

std::string IniReadRaw(std::string_view path, std::string_view section, std::string_view key) {
  IniText text;
  if (!LoadIniText(path, &text)) return {};
  return FindValue(text, section, key);
}

std::vector<UnwritableSetting> TakeUnwritableSettings() {
  std::vector<UnwritableSetting> untold;
  untold.swap(Notes().untold);
  return untold;
}

}  // namespace config
