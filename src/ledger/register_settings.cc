#include "ledger/register_settings.h"

#include "config/ini.h"
#include "config/session_settings.h"
#include "format/text.h"
#include "platform/program_state.h"

namespace ledger {
namespace {

const bool kReset = platform::RegisterStateReset(platform::Layer::kLedger, "RegisterSettings",
                                                 [] { RegisterSettings() = {}; });

}  // namespace

RegisterSettingsState& RegisterSettings() {
  static RegisterSettingsState state;
  return state;
}

void ReadRegisterSettings() {
  const std::string tora = config::Settings().RootDir + "Tora.ini";
  auto value = [&tora](const char* section, const char* key) {
    return format::Trim(config::IniRead(tora, section, key));
  };
  RegisterSettingsState& s = RegisterSettings();
  s.enabled = format::UpperCase(value("Registre", "Actiu")) == "S";
  s.verifactu = format::UpperCase(value("VeriFactu", "Actiu")) == "S";
  s.series = value("VeriFactu", "Serie");
  const std::string environment = format::UpperCase(value("VeriFactu", "Entorn"));
  s.environment = environment.empty() ? "PROVES" : environment;
  s.url = value("VeriFactu", "URL");
  s.certificate = format::Trim(config::IniReadRaw(tora, "VeriFactu", "Certificat"));
  s.certificatePasswordFile = format::Trim(config::IniReadRaw(tora, "VeriFactu", "CertificatClau"));
  s.authorities = format::Trim(config::IniReadRaw(tora, "VeriFactu", "Autoritats"));
}

}  // namespace ledger
