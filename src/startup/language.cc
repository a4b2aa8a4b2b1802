// TranslateText: one open, scan and close of the language file per call.
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

}  // namespace

std::string TranslateText(std::string_view text) {
  const std::string& language = Settings().SessionLanguage;
  if (language == "CAT") return std::string(text);
  if (Program().LanguageFileName.empty()) Program().LanguageFileName = Program().ProgramName;

  const std::string path = Settings().RootDir + "LOCALE\\" + Program().LanguageFileName + ".LNG";
  std::string contents;
  if (!EnsureFileExists(path) || !platform::ReadWholeFile(path, &contents)) {
    return std::string(text);
  }
  LanguageEntry entry;
  if (!FindLanguageEntry(contents, text, &entry)) return std::string(text);
  if (language == "SPA") return entry.translations[static_cast<int>(LanguageColumn::kSpanish)];
  if (language == "GLG") return entry.translations[static_cast<int>(LanguageColumn::kGalician)];
  if (language == "OCI") return entry.translations[static_cast<int>(LanguageColumn::kAranese)];
  return std::string(text);
}

}  // namespace startup
