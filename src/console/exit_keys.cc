// Exit-key lists, the mask and the choice list: the settings that persist
// from one field to the next.
#include <cctype>
#include <cstdint>
#include <string>

#include "console/console_state.h"
#include "console/field.h"
#include "console/field_internal.h"

namespace console {
namespace {

std::string TwoBytes(int code) {
  const auto bits = static_cast<std::uint16_t>(code);
  return {static_cast<char>(bits & 0xFF), static_cast<char>(bits >> 8)};
}

int CodeAt(const std::string& list, size_t offset) {
  const auto low = static_cast<unsigned char>(list[offset]);
  const auto high = static_cast<unsigned char>(list[offset + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

// Offset of code in a list of 2-byte codes, or npos.
size_t FindCode(const std::string& list, int code) {
  for (size_t i = 0; i + 1 < list.size(); i += 2) {
    if (CodeAt(list, i) == code) return i;
  }
  return std::string::npos;
}

// Leading hexadecimal digits of text (blanks skipped) as a 16-bit pattern.
int ParseHex(std::string_view text) {
  unsigned value = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    value = ((value << 4) | static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10)) & 0xFFFF;
  }
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

template <typename Action>
void ForEachItem(std::string_view keys, Action action) {
  size_t start = 0;
  while (start <= keys.size()) {
    size_t comma = keys.find(',', start);
    if (comma == std::string_view::npos) comma = keys.size();
    action(keys.substr(start, comma - start));
    start = comma + 1;
  }
}

void AppendKeys(ConsoleState& s, std::string_view keys) {
  ForEachItem(keys, [&s](std::string_view item) {
    const size_t equals = item.find('=');
    const int code = ParseHex(item.substr(0, equals));
    const int result = equals == std::string_view::npos ? code : ParseHex(item.substr(equals + 1));
    s.exitKeys += TwoBytes(code);
    s.exitResults += TwoBytes(result);
  });
}

void RemoveKeys(ConsoleState& s, std::string_view keys) {
  ForEachItem(keys, [&s](std::string_view item) {
    const size_t at = FindCode(s.exitKeys, ParseHex(item));
    if (at == std::string::npos) return;
    s.exitKeys.erase(at, 2);
    if (at < s.exitResults.size()) s.exitResults.erase(at, 2);
  });
}

}  // namespace

void SetExitKeys(std::string_view commands, std::string_view keys) {
  ConsoleState& s = Console();
  for (char c : commands) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'E':
        s.exitKeys.clear();
        s.exitResults.clear();
        break;
      case 'A':
        AppendKeys(s, keys);
        break;
      case 'D':
        RemoveKeys(s, keys);
        break;
      case '+':
        if (!s.exitListsSaved) {
          s.savedExitKeys = s.exitKeys;
          s.savedExitResults = s.exitResults;
          s.exitListsSaved = true;
        }
        break;
      case '-':
        if (s.exitListsSaved) {
          s.exitKeys = s.savedExitKeys;
          s.exitResults = s.savedExitResults;
          s.exitListsSaved = false;
        }
        break;
      case 'H':
        s.maskCharacter = 'X';
        break;
      case 'V':
        s.maskCharacter = 0;
        break;
      default:
        break;
    }
  }
}

void SetChoiceList(std::string_view list) {
  Console().choiceList = std::string(list);
}

bool FindExitKey(int key, int* result) {
  const ConsoleState& s = Console();
  const size_t at = FindCode(s.exitKeys, key);
  if (at == std::string::npos) return false;
  *result = at + 1 < s.exitResults.size() ? CodeAt(s.exitResults, at) : key;
  return true;
}

bool ExitListEmpty() {
  return Console().exitKeys.size() < 2;
}

}  // namespace console
