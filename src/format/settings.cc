// Storage of the formatters' state and the calls through the providers.
#include "format/settings.h"

namespace format {

FormatSettings& Formats() {
  static FormatSettings settings;
  return settings;
}

void ResetFormats() {
  Formats() = FormatSettings{};
}

std::string UserSetting(std::string_view key) {
  const auto& provider = Formats().UserSetting;
  return provider ? provider(key) : std::string();
}

char UserCharacter(std::string_view key, char fallback) {
  const std::string value = UserSetting(key);
  return value.empty() || value[0] == ' ' ? fallback : value[0];
}

std::string SessionLanguage() {
  const auto& provider = Formats().SessionLanguage;
  return provider ? provider() : std::string();
}

}  // namespace format
