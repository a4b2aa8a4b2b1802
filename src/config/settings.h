// Session and terminal settings: the globals that the rest of the system
// reads, filled once at start-up from the environment, Sessio.ini and
// ToraTerm.ini, read-only afterwards.
#pragma once

#include <array>
#include <string>

namespace config {

struct ColourPair {
  int foreground = 0;  // console colours 0 to 15
  int background = 0;
};

struct SessionSettings {
  std::string RootDir;          // KELROOT, used as a plain prefix (ends in "\")
  std::string ExeDir;           // KELEXE
  std::string SessionDir;       // KELTMP, or TerminalDir; ends in "\" or ":" when set
  std::string TerminalDir;      // Sessio.ini [Terminal] Dir, or TERM
  std::string MenuTitle;        // " " + Sessio.ini [Menu] Titol + " "
  std::string MenuName;         // Sessio.ini [Menu] NomMenu
  std::string WorkingDate;      // packed date, or empty
  std::string OutputDevice;     // ToraTerm.ini [Sistema] Sortida
  std::string SessionLanguage;  // "CAT", "SPA", "GLG", "OCI" (3 characters) or blank
  std::string PlatformKind;     // "CGI", "WIN" or "DOS"
  // Colour indexes 0 to 4 of the colour codes; the default table until the
  // terminal file says otherwise.
  std::array<ColourPair, 5> ColourTable = {ColourPair{15, 0}, ColourPair{7, 0}, ColourPair{0, 7},
                                           ColourPair{0, 7}, ColourPair{0, 7}};
};

SessionSettings& Settings();
void ResetSettings();

}  // namespace config
