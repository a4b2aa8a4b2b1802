// Loading of the session and terminal settings (config::Settings()).
//
// Sources, in this order:
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

namespace config {

void LoadSessionSettings();

}  // namespace config
