// Printer commands translated through Tora.ini [Impressores].
#include "printer_commands.h"

#include <cstdlib>
#include <string_view>

#include "config/ini.h"

namespace kelprint {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "1B 40" as bytes: one or two hexadecimal digits a byte, bytes separated by
// spaces.  False, with nothing in *bytes, for anything else.
bool HexBytes(std::string_view text, std::string* bytes) {
  bytes->clear();
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    int value = 0;
    size_t digits = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i, ++digits) {
      value = value * 16 + HexDigit(text[i]);
    }
    if (digits == 0 || digits > 2) {
      bytes->clear();
      return false;
    }
    bytes->push_back(static_cast<char>(value));
  }
  return true;
}

}  // namespace

const std::string& PrinterCommands::Translate(const std::string& command) {
  auto known = known_.find(command);
  if (known != known_.end()) return known->second;
  std::string bytes;
  if (!toraIni_.empty() && !command.empty()) {
    HexBytes(config::IniRead(toraIni_, "Impressores", printer_ + "." + command), &bytes);
  }
  return known_.emplace(command, std::move(bytes)).first->second;
}

int PrinterCommands::Pins() const {
  if (toraIni_.empty()) return 24;
  const std::string pins = config::IniRead(toraIni_, "Impressores", printer_ + ".Agulles");
  return std::atoi(pins.c_str()) == 9 ? 9 : 24;
}

}  // namespace kelprint
