// TranslateText: the language file parsed once and kept while a stat of it
// shows the same file (device, inode, size, modification and change times).
#include "startup/language.h"

#include <cstdio>

#include "platform/paths.h"
#include "startup/language_file.h"
#include "startup/program_state.h"
#include "startup/settings.h"

namespace startup {
namespace {

// Creates the file empty when it is missing; false when it cannot be.
bool EnsureFileExists(const std::string& path) {
  if (platform::FileExists(path)) return true;
  std::FILE* f = platform::OpenFile(path, "ab");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         SameTime(a.st_mtim, b.st_mtim) && SameTime(a.st_ctim, b.st_ctim);
}

// Whether the cache holds the file at path as it is now.
bool CacheIsCurrent(const std::string& path) {
  const LanguageCacheState& cache = LanguageCache();
  struct stat now {};
  return !cache.path.empty() && cache.path == path && ::stat(cache.native.c_str(), &now) == 0 &&
         SameFile(now, cache.seen);
}

// Reads and parses the file into the cache; false (cache emptied) when it
// cannot be read.  The file is looked at before it is read, so a change
// made while reading shows as a change at the next lookup.
bool LoadCache(const std::string& path) {
  LanguageCacheState& cache = LanguageCache();
  ResetLanguageCache();
  std::string contents;
  struct stat seen {};
  const std::string native = platform::NativePath(path);
  if (!EnsureFileExists(path) || ::stat(native.c_str(), &seen) != 0 ||
      !platform::ReadWholeFile(path, &contents)) {
    return false;
  }
  for (LanguageEntry& entry : ReadLanguageEntries(contents)) {
    cache.entries.try_emplace(std::move(entry.key), std::move(entry.translations));
  }
  cache.path = path;
  cache.native = native;
  cache.seen = seen;
  return true;
}

}  // namespace

LanguageCacheState& LanguageCache() {
  static LanguageCacheState state;
  return state;
}

void ResetLanguageCache() { LanguageCache() = LanguageCacheState{}; }

std::string TranslateText(std::string_view text) {
  const std::string& language = Settings().SessionLanguage;
  if (language == "CAT") return std::string(text);
  if (Program().LanguageFileName.empty()) Program().LanguageFileName = Program().ProgramName;

  const std::string path = Settings().RootDir + "LOCALE\\" + Program().LanguageFileName + ".LNG";
  if (!CacheIsCurrent(path) && !LoadCache(path)) return std::string(text);
  const auto found = LanguageCache().entries.find(text);
  if (found == LanguageCache().entries.end()) return std::string(text);
  if (language == "SPA") return found->second[static_cast<int>(LanguageColumn::kSpanish)];
  if (language == "GLG") return found->second[static_cast<int>(LanguageColumn::kGalician)];
  if (language == "OCI") return found->second[static_cast<int>(LanguageColumn::kAranese)];
  return std::string(text);
}

}  // namespace startup
