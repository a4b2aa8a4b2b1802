// Whether the settings of [Registre] and [VeriFactu] may be used: the
// VERI*FACTU mode is chosen once and never switched off.
#include "ledger/billing_settings.h"

#include "ledger/register.h"
#include "ledger/register_settings.h"
#include "verifactu/build_identity.h"

namespace ledger {
namespace {

// Whether the register at place holds a billing record.  A register that
// is not there holds none and is not made by asking.
bool HoldsBillingRecords(const RegisterPlace& place) {
  std::string error;
  std::unique_ptr<Register> reg = OpenExistingRegister(place, &error);
  bool holds = false;
  return reg != nullptr && reg->HoldsBilling(&holds) && holds;
}

}  // namespace

std::string BillingSettingsProblem(const RegisterPlace& place) {
  const RegisterSettingsState& s = RegisterSettings();
  if (!s.verifactu || !s.enabled) {
    if (HoldsBillingRecords(place)) {
      return "the register holds VERI*FACTU billing records: Tora.ini [VeriFactu] Actiu=S and "
             "[Registre] Actiu=S cannot be turned off";
    }
    if (s.verifactu) return "Tora.ini [VeriFactu] Actiu=S needs [Registre] Actiu=S";
    return {};
  }
  if (s.environment != "PROVES" && s.environment != "PRODUCCIO") {
    return "Tora.ini [VeriFactu] Entorn=" + s.environment + " is neither PROVES nor PRODUCCIO";
  }
  if (s.environment == "PRODUCCIO" && verifactu::BuiltIdentity().test) {
    return "this is a test build of the program: Tora.ini [VeriFactu] Entorn=PRODUCCIO needs a "
           "build that names its producer (qantires --version)";
  }
  return {};
}

}  // namespace ledger
