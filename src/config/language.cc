// TranslateText: the language file parsed once and kept open; each lookup
// (or, within a cycle, the first) checks with fstat that it is still the
// same file, unchanged.
#include "config/language.h"

#include <cstdio>

#include "config/language_file.h"
#include "config/program_identity.h"
#include "config/session_settings.h"
#include "platform/paths.h"
#include "platform/program_state.h"
#include "platform/timing.h"

namespace config {
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

// Whether the cache holds the language file of these settings as it is now.
bool CacheIsCurrent() {
  const LanguageCacheState& cache = LanguageCache();
  struct stat now {};
  return cache.file != nullptr && cache.rootDir == Settings().RootDir &&
         cache.fileName == Program().LanguageFileName && ::fstat(fileno(cache.file), &now) == 0 &&
         now.st_nlink > 0 && now.st_size == cache.seen.st_size &&
         SameTime(now.st_mtim, cache.seen.st_mtim) && SameTime(now.st_ctim, cache.seen.st_ctim);
}

// Closes the file and empties the cache.  A LanguageCycle that exists stays
// known: the flag goes with that object, which the reset of the program
// state does not end.
void ForgetLanguageFile() {
  if (LanguageCache().file != nullptr) std::fclose(LanguageCache().file);
  const bool inCycle = LanguageCache().inCycle;
  LanguageCache() = LanguageCacheState{};
  LanguageCache().inCycle = inCycle;
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConfig, "config::LanguageCache", ForgetLanguageFile);

// The rest of an open file; false when it cannot be read.
bool ReadRest(std::FILE* f, std::string* contents) {
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents->append(buffer, n);
  return !std::ferror(f);
}

// Opens, reads and parses the file into the cache; false (cache emptied)
// when it cannot be read.  The file is looked at before it is read, so a
// change made while reading shows as a change at the next lookup.
bool LoadCache() {
  ForgetLanguageFile();
  LanguageCacheState& cache = LanguageCache();
  const std::string path = Settings().RootDir + "LOCALE\\" + Program().LanguageFileName + ".LNG";
  if (!EnsureFileExists(path)) return false;
  cache.file = platform::OpenFile(path, "rbe");  // not inherited by the print program
  std::string contents;
  if (cache.file == nullptr || ::fstat(fileno(cache.file), &cache.seen) != 0 ||
      !ReadRest(cache.file, &contents)) {
    ForgetLanguageFile();
    return false;
  }
  for (LanguageEntry& entry : ReadLanguageEntries(contents)) {
    cache.entries.try_emplace(std::move(entry.key), std::move(entry.translations));
  }
  cache.rootDir = Settings().RootDir;
  cache.fileName = Program().LanguageFileName;
  return true;
}

}  // namespace

LanguageCacheState& LanguageCache() {
  static LanguageCacheState state;
  return state;
}

LanguageCycle::LanguageCycle() {
  LanguageCache().inCycle = true;
  LanguageCache().checked = false;
}

LanguageCycle::~LanguageCycle() {
  LanguageCache().inCycle = false;
  LanguageCache().checked = false;
}

std::string TranslateText(std::string_view text) {
  const platform::TimedStepScope timed(platform::TimedStep::kTranslation);
  const std::string& language = Settings().SessionLanguage;
  if (language == "CAT") return std::string(text);
  if (Program().LanguageFileName.empty()) Program().LanguageFileName = Program().ProgramName;

  LanguageCacheState& cache = LanguageCache();
  if (!cache.checked) {
    if (!CacheIsCurrent() && !LoadCache()) return std::string(text);
    cache.checked = cache.inCycle;
  }
  const auto found = cache.entries.find(text);
  if (found == cache.entries.end()) return std::string(text);
  if (language == "SPA") return found->second[static_cast<int>(LanguageColumn::kSpanish)];
  if (language == "GLG") return found->second[static_cast<int>(LanguageColumn::kGalician)];
  if (language == "OCI") return found->second[static_cast<int>(LanguageColumn::kAranese)];
  return std::string(text);
}

}  // namespace config
