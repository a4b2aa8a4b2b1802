// Storage of the formatters' state and the calls through the providers.
#include "format/format_settings.h"

#include "platform/program_state.h"

namespace format {

FormatSettings& Formats() {
  static FormatSettings settings;
  return settings;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kFormat, "format::Formats", [] { Formats() = FormatSettings{}; });
}  // namespace

std::string UserSetting(std::string_view key) {
  const auto& provider = Formats().userSettingProvider;
  return provider ? provider(key) : std::string();
}

char UserCharacter(std::string_view key, char fallback) {
  const std::string value = UserSetting(key);
  return value.empty() || value[0] == ' ' ? fallback : value[0];
}

std::string CurrentLanguage() {
  const auto& provider = Formats().languageProvider;
  return provider ? provider() : std::string();
}

}  // namespace format
