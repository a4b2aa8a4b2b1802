// Reading the remittance settings from Tora.ini.
#include "office/remittance_settings.h"

#include "config/ini.h"
#include "config/session_settings.h"
#include "format/text.h"
#include "platform/program_state.h"

namespace office {

RemittanceSettingsState& RemittanceSettings() {
  static RemittanceSettingsState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered =
    platform::RegisterStateReset(platform::Layer::kOffice, "office::RemittanceSettings",
                                 [] { RemittanceSettings() = RemittanceSettingsState{}; });
}  // namespace

void ReadRemittanceSettings() {
  const std::string tora = config::Settings().RootDir + "Tora.ini";
  RemittanceSettingsState& s = RemittanceSettings();
  s = RemittanceSettingsState{};
  using Reader = std::string (*)(std::string_view, std::string_view, std::string_view);
  auto read = [&tora](const char* key, std::string& value, Reader reader = config::IniRead) {
    const std::string text = format::Trim(reader(tora, "Remesa", key));
    if (!text.empty()) value = text;
  };
  std::string enabled;
  read("Emetre", enabled);
  s.enabled = format::UpperCase(enabled) == "S";
  read("Creditor", s.creditorId);
  read("Sufix", s.businessCode);
  read("Compte", s.account);
  read("BIC", s.bic);
  read("DataMandat", s.signatureDate);
  read("Sequencia", s.sequenceType);
  read("Fitxer", s.file, config::IniReadRaw);
  read("DiesPrevis", s.noticeDays);
}

}  // namespace office
