// Key description parsing: statement by statement, each checked as it is
// read; the Create buffer is then checked once more by the record manager's
// own parser so a description never yields a buffer Create would refuse.
#include "key_description.h"

#include <sstream>
#include <vector>

#include "btrieve/btrcall.h"
#include "platform/paths.h"
#include "storage/record_spec.h"

namespace recutil {
namespace {

using namespace btrieve;
using namespace storage;
using namespace platform;

struct TypeName {
  const char* name;
  uint16_t flags;
  uint8_t type;
};

constexpr TypeName kTypes[] = {
    {"string", 0, kTypeString},
    {"binary", kKeyBinary, 0},
    {"zstring", kKeyExtendedType, kTypeZString},
    {"lstring", kKeyExtendedType, kTypeLString},
    {"integer", kKeyExtendedType, kTypeInteger},
    {"unsigned", kKeyExtendedType, kTypeUnsigned},
    {"float", kKeyExtendedType, kTypeFloat},
    {"date", kKeyExtendedType, kTypeDate},
    {"time", kKeyExtendedType, kTypeTime},
    {"logical", kKeyExtendedType, kTypeLogical},
};

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool Number(const std::string& s, int base, long max, long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, base);
  if (*end != '\0' || v < 0 || v > max) return false;
  *out = v;
  return true;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  size_t b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

class Parser {
 public:
  bool Line(const std::string& raw, std::string* error);
  bool Finish(std::string* buffer, std::string* error);

 private:
  bool Key(const std::string& attrs, const std::string& segments, std::string* error);
  bool Segment(const std::string& text, KeySegment* seg, std::string* error);
  bool Acs(const std::vector<std::string>& w, std::string* error);

  FileSpec spec_;
  bool haveRecord_ = false;
};

bool Parser::Line(const std::string& raw, std::string* error) {
  std::string line = Trim(raw.substr(0, raw.find('#')));
  if (line.empty()) return true;
  std::vector<std::string> w = Words(line);
  long v = 0;
  if (w[0] == "record" && w.size() == 2 && Number(w[1], 10, kMaxRecordLength, &v)) {
    spec_.recordLength = static_cast<uint16_t>(v);
    haveRecord_ = true;
    return true;
  }
  if (w[0] == "page" && w.size() == 2 && Number(w[1], 10, 65535, &v)) {
    spec_.pageSize = static_cast<uint16_t>(v);
    return true;
  }
  if (w[0] == "variable" && w.size() == 1) {
    spec_.fileFlags |= 0x0001;
    return true;
  }
  if (w[0] == "acs") return Acs(w, error);
  size_t colon = line.find(':');
  if (colon != std::string::npos && Words(line.substr(0, colon)).front() == "key") {
    return Key(line.substr(3, colon - 3), line.substr(colon + 1), error);
  }
  *error = "cannot read \"" + line + "\"";
  return false;
}

bool Parser::Acs(const std::vector<std::string>& w, std::string* error) {
  if (w.size() != 3 || w[1].size() > 8) {
    *error = "acs takes a name of up to 8 characters and \"upper\" or a file";
    return false;
  }
  std::string name = w[1];
  name.resize(8, ' ');
  std::string table;
  if (w[2] == "upper") {
    for (int i = 0; i < 256; ++i) table += static_cast<char>(i >= 'a' && i <= 'z' ? i - 32 : i);
  } else if (!ReadWholeFile(w[2], &table)) {
    *error = "cannot read the collating sequence file " + w[2];
    return false;
  }
  if (table.size() == kAcsSize) {
    spec_.acs.push_back(table);
  } else if (table.size() == 256) {
    spec_.acs.push_back(static_cast<char>(kAcsSignature) + name + table);
  } else {
    *error = "a collating sequence file holds 256 or 265 bytes";
    return false;
  }
  return true;
}

bool Parser::Key(const std::string& attrs, const std::string& segments, std::string* error) {
  uint16_t flags = 0;
  long nullValue = 0;
  for (const std::string& a : Words(attrs)) {
    if (a == "dup" || a == "duplicates") {
      flags |= kKeyDuplicates;
    } else if (a == "mod" || a == "modifiable") {
      flags |= kKeyModifiable;
    } else if (a.rfind("null=", 0) == 0 && Number(a.substr(5), 16, 255, &nullValue)) {
      flags |= kKeyNullAll;
    } else if (a.rfind("null-any=", 0) == 0 && Number(a.substr(9), 16, 255, &nullValue)) {
      flags |= kKeyNullAny;
    } else {
      *error = "unknown key attribute \"" + a + "\"";
      return false;
    }
  }
  KeySpec key;
  std::istringstream in(segments);
  for (std::string text; std::getline(in, text, ',');) {
    KeySegment seg;
    if (!Segment(Trim(text), &seg, error)) return false;
    seg.flags |= flags;
    seg.nullValue = static_cast<uint8_t>(nullValue);
    key.segments.push_back(seg);
  }
  if (key.segments.empty()) {
    *error = "a key needs at least one segment";
    return false;
  }
  for (size_t i = 0; i + 1 < key.segments.size(); ++i) key.segments[i].flags |= kKeySegmented;
  spec_.keys.push_back(key);
  return true;
}

bool Parser::Segment(const std::string& text, KeySegment* seg, std::string* error) {
  std::vector<std::string> w = Words(text);
  size_t plus = w.empty() ? std::string::npos : w[0].find('+');
  long position = 0, length = 0;
  if (plus == std::string::npos || !Number(w[0].substr(0, plus), 10, 65535, &position) ||
      !Number(w[0].substr(plus + 1), 10, 255, &length)) {
    *error = "a segment starts with POSITION+LENGTH: \"" + text + "\"";
    return false;
  }
  seg->position = static_cast<uint16_t>(position);
  seg->length = static_cast<uint16_t>(length);
  for (size_t i = 1; i < w.size(); ++i) {
    long acs = 0;
    const TypeName* type = nullptr;
    for (const TypeName& t : kTypes) {
      if (w[i] == t.name) type = &t;
    }
    if (type != nullptr) {
      seg->flags |= type->flags;
      seg->rawType = type->type;
    } else if (w[i] == "desc" || w[i] == "descending") {
      seg->flags |= kKeyDescending;
    } else if (w[i] == "nocase") {
      seg->flags |= kKeyNoCase;
    } else if (w[i].rfind("acs=", 0) == 0 && Number(w[i].substr(4), 10, 255, &acs)) {
      seg->flags |= kKeyAlternate;
      seg->acs = static_cast<uint8_t>(acs);
    } else {
      *error = "unknown segment word \"" + w[i] + "\"";
      return false;
    }
  }
  return true;
}

bool Parser::Finish(std::string* buffer, std::string* error) {
  if (!haveRecord_) {
    *error = "the description has no \"record LENGTH\" line";
    return false;
  }
  if (spec_.pageSize == 0) spec_.pageSize = 1024;
  std::string bytes = EncodeFileSpec(spec_);
  FileSpec check;
  int16_t status =
      ParseFileSpec(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &check);
  if (status != kStatusOk) {
    *error = "the record manager refuses this description (status " + std::to_string(status) +
             ": check positions, lengths, types and collating sequences)";
    return false;
  }
  *buffer = bytes;
  return true;
}

}  // namespace

bool ParseKeyDescription(const std::string& text, std::string* createBuffer, std::string* error) {
  Parser parser;
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!parser.Line(line, error)) {
      *error = "line " + std::to_string(number) + ": " + *error;
      return false;
    }
  }
  return parser.Finish(createBuffer, error);
}

std::string DictionaryFile(const std::string& createBuffer) {
  size_t n = createBuffer.size();
  return std::string{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)} +
         createBuffer;
}

}  // namespace recutil
