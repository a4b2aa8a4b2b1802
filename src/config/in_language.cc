#include "config/in_language.h"

#include "config/session_settings.h"

namespace config {

std::string InLanguage(const char* cat, const char* spa, const char* glg, const char* oci) {
  const std::string& language = Settings().SessionLanguage;
  if (language == "SPA") return spa;
  if (language == "GLG") return glg;
  if (language == "OCI") return oci;
  return cat;
}

}  // namespace config
