// Translation of the system's Catalan texts into the session language.
//
// The translations live in RootDir + "LOCALE\" + the program name + ".LNG"
// (format in startup/language_file.h).  The file is scanned on every call,
// so a change to it is seen at once; when it is missing it is created empty.
// The program name is taken from Program().ProgramName at the first lookup
// and kept.
#pragma once

#include <string>
#include <string_view>

namespace startup {

// The text in the session language: the Spanish ("SPA"), Galician ("GLG")
// or Aranese ("OCI") field of the first entry whose key is exactly text.
// "CAT" returns text without touching any file; any other code, a missing
// entry, or a file that cannot be opened or created also give text back.
// An entry with an empty translation gives the empty text.
std::string TranslateText(std::string_view text);

}  // namespace startup
