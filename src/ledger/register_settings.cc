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
  RegisterSettings().enabled =
      format::UpperCase(format::Trim(config::IniRead(tora, "Registre", "Actiu"))) == "S";
}

}  // namespace ledger
