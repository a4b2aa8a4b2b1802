// Translation of the system's Catalan texts into the session language.
//
// The translations live in RootDir + "LOCALE\" + the program name + ".LNG"
// (format in config/language_file.h).  The parsed file is kept in memory
// while its size and times stay the same and it is still the file under
// that name; every call checks, so a change to the file is seen by the next
// lookup.  Within a LanguageCycle only the first lookup checks: an issuing
// cycle makes millions of lookups, and a change made during one is seen at
// the next.  When it is missing it is created empty.  The program name is
// taken from Program().ProgramName at the first lookup and kept.
#pragma once

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

namespace config {

// The text in the session language: the Spanish ("SPA"), Galician ("GLG")
// or Aranese ("OCI") field of the first entry whose key is exactly text.
// "CAT" returns text without touching any file; any other code, a missing
// entry, or a file that cannot be opened or created also give text back.
// An entry with an empty translation gives the empty text.
std::string TranslateText(std::string_view text);

// While one exists, the language file is checked by the first lookup only.
class LanguageCycle {
 public:
  LanguageCycle();
  ~LanguageCycle();
  LanguageCycle(const LanguageCycle&) = delete;
  LanguageCycle& operator=(const LanguageCycle&) = delete;
};

// The language file as the last lookup read it.  The file stays open, so a
// lookup checks it with one fstat: a write shows in its size or times, and
// a file removed or replaced by another (renamed over it) has no link left.
struct LanguageCacheState {
  std::string rootDir;   // RootDir and LanguageFileName it was found under;
  std::string fileName;  // empty: nothing read
  std::FILE* file = nullptr;
  struct stat seen {};  // its identity, size and times when it was read
  // The translations of each key, the file's first entry for a key only.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, std::array<std::string, 3>, Hash, std::equal_to<>> entries;
  bool inCycle = false;  // a LanguageCycle exists
  bool checked = false;  // and a lookup of it found the cache current
};
LanguageCacheState& LanguageCache();

}  // namespace config
