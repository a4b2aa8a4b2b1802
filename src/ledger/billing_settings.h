// The VERI*FACTU mode is chosen once: an installation whose register holds
// a billing record cannot turn it off, nor the register under it.
#pragma once

#include <string>

#include "ledger/register.h"

namespace ledger {

// Why the register and VERI*FACTU settings (RegisterSettings) cannot be
// used with the register at place, in English; empty when they can.
// VERI*FACTU on needs the register on; Entorn is PROVES or PRODUCCIO, and a
// test build works only with PROVES; and once the register holds a billing
// record, neither may be off.
std::string BillingSettingsProblem(const RegisterPlace& place);

}  // namespace ledger
