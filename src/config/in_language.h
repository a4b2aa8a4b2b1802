// The program's own messages, which the language file does not translate:
// each is written out in the four languages, and the session language
// chooses.
#pragma once

#include <string>

namespace config {

// spa, glg or oci for the session languages "SPA", "GLG" and "OCI";
// otherwise (Catalan, or a language the program does not know) cat.
std::string InLanguage(const char* cat, const char* spa, const char* glg, const char* oci);

}  // namespace config
