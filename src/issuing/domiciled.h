// What the remittance needs of a domiciled receipt, taken when the receipt
// is printed (the record areas still hold its owner and unit).
#pragma once

#include "issuing/receipt.h"
#include "office/selection.h"
#include "remittance/cycle.h"

namespace issuing {

// The printed receipt r of the current owner and unit, for the selection s.
remittance::DomiciledReceipt DomiciledOf(const Receipt& r, const office::Selection& s);

}  // namespace issuing
