// Session and terminal settings: the globals that the rest of the system
// reads, filled once at start-up from the environment, Sessio.ini and
// ToraTerm.ini, read-only afterwards.
//
// LoadSessionSettings reads them from these sources, in this order:
//   KELROOT -> RootDir, KELEXE -> ExeDir, KELTMP -> SessionDir
//   SessionDir + "Sessio.ini": [Menu] Titol -> MenuTitle (" " + value + " "),
//     [Menu] NomMenu -> MenuName, [Terminal] Dir (else TERM, when it names
//     an existing directory and not a terminal type) -> TerminalDir
//   SessionDir falls back to TerminalDir; both get a final "\" unless empty
//     or already ending in ":" or "\"
//   the application currency becomes euros ("a,E")
//   SessionDir + "ToraTerm.ini": [Pantalla] Seleccio n and Col<n> -> colour
//     table (five pairs of two-digit numbers; the default table when empty),
//     [Sistema] Data -> WorkingDate (packed), Sortida -> OutputDevice,
//     Idioma -> SessionLanguage (three characters)
//   a blank language falls back to RootDir + "Tora.ini" [Usuari] Idioma
//   HTTP_USER_AGENT/HTTP_ACCEPT -> "CGI", else WINDIR/SYSTEMROOT -> "WIN",
//     else "DOS" -> PlatformKind
// Values are kept as read apart from those changes.  Nothing is written and
// nothing fails: what is missing reads as the empty text.
//
// It also registers with the formatters the providers they read Tora.ini
// [Usuari] and the session language through.
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

// The one instance; empty (default colours) until LoadSessionSettings, and
// again after the reset of the program state (platform/program_state.h).
SessionSettings& Settings();

void LoadSessionSettings();

}  // namespace config
