// Whether the installation keeps the register, read once at start-up from
// Tora.ini in the installation root:
//
//   [Registre]  Actiu  "S": every issuing cycle registers its receipts and
//                      numbers them on from the register; anything else
//                      (or no section) leaves the program as without it
#pragma once

namespace ledger {

struct RegisterSettingsState {
  bool enabled = false;
};
RegisterSettingsState& RegisterSettings();

void ReadRegisterSettings();

}  // namespace ledger
