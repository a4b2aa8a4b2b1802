// The session and terminal settings from the environment and the INI files.
#include "config/session_settings.h"

#include <cstdlib>
#include <string>

#include "config/ini.h"
#include "format/amounts.h"
#include "format/format_settings.h"
#include "format/packed.h"
#include "format/text.h"
#include "platform/paths.h"
#include "platform/program_state.h"

namespace config {

SessionSettings& Settings() {
  static SessionSettings settings;
  return settings;
}

namespace {

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConfig, "config::Settings", [] { Settings() = SessionSettings{}; });

constexpr const char* kDefaultColours = "15000700000700070007";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// A directory used as a plain prefix ends in "\" (or is a bare drive "C:").
void EndDirectory(std::string& dir) {
  if (!dir.empty() && dir.back() != ':' && dir.back() != '\\') dir += '\\';
}

// The number a text starts with (spaces skipped, an optional sign); 0 when
// there is none.  Kept within the int range whatever the text.
int LeadingNumber(std::string_view text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return 0;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < 1000000000) value = value * 10 + (text[i] - '0');
  }
  return static_cast<int>(negative ? -value : value);
}

std::string ThreeCharacters(std::string text) {
  text.resize(3, ' ');
  return text;
}

// TERM names the terminal's directory when the office's menu sets it.  On
// this system the terminal emulator also sets TERM, to its type
// ("xterm-256color"); that is no directory and would send the terminal's
// work files nowhere, so TERM counts only when it names an existing one.
std::string TerminalFromEnvironment() {
  const std::string term = Environment("TERM");
  return !term.empty() && platform::FileExists(term) ? term : std::string();
}

void RegisterFormatProviders() {
  format::Formats().userSettingProvider = [](std::string_view key) {
    return IniRead(Settings().RootDir + "Tora.ini", "Usuari", key);
  };
  format::Formats().languageProvider = [] { return Settings().SessionLanguage; };
}

void LoadColours(const std::string& terminalFile) {
  const int selection = LeadingNumber(IniRead(terminalFile, "Pantalla", "Seleccio"));
  std::string colours = IniRead(terminalFile, "Pantalla", "Col" + std::to_string(selection));
  if (colours.empty()) colours = kDefaultColours;
  colours.resize(20, ' ');
  auto& table = Settings().ColourTable;
  for (size_t r = 0; r < table.size(); ++r) {
    table[r].foreground = LeadingNumber(colours.substr(4 * r, 2));
    table[r].background = LeadingNumber(colours.substr(4 * r + 2, 2));
  }
}

}  // namespace

void LoadSessionSettings() {
  SessionSettings& s = Settings();
  RegisterFormatProviders();
  s.RootDir = Environment("KELROOT");
  s.ExeDir = Environment("KELEXE");
  s.SessionDir = Environment("KELTMP");
  EndDirectory(s.SessionDir);

  const std::string sessionFile = s.SessionDir + "Sessio.ini";
  const std::string title = IniRead(sessionFile, "Menu", "Titol");
  s.MenuTitle = " " + title + " ";
  s.MenuName = IniRead(sessionFile, "Menu", "NomMenu");
  s.TerminalDir = IniReadRaw(sessionFile, "Terminal", "Dir");
  if (s.TerminalDir.empty()) s.TerminalDir = TerminalFromEnvironment();
  EndDirectory(s.TerminalDir);
  if (s.SessionDir.empty()) s.SessionDir = s.TerminalDir;

  format::SetCurrency("a,E");

  const std::string terminalFile = s.SessionDir + "ToraTerm.ini";
  LoadColours(terminalFile);
  const std::string workingDate = IniRead(terminalFile, "Sistema", "Data");
  s.WorkingDate = workingDate.empty() ? std::string() : format::PackDigits(workingDate);
  s.OutputDevice = IniReadRaw(terminalFile, "Sistema", "Sortida");
  s.SessionLanguage = ThreeCharacters(IniRead(terminalFile, "Sistema", "Idioma"));
  if (format::Trim(s.SessionLanguage).empty()) {
    s.SessionLanguage = ThreeCharacters(IniRead(s.RootDir + "Tora.ini", "Usuari", "Idioma"));
  }

  if (!Environment("HTTP_USER_AGENT").empty() || !Environment("HTTP_ACCEPT").empty()) {
    s.PlatformKind = "CGI";
  } else if (!Environment("WINDIR").empty() || !Environment("SYSTEMROOT").empty()) {
    s.PlatformKind = "WIN";
  } else {
    s.PlatformKind = "DOS";
  }
}

}  // namespace config
