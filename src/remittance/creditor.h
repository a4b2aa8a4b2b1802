// The creditor of the remittance, from the [Remesa] settings and the
// company data.
#pragma once

#include <string>
#include <vector>

#include "remittance/document.h"

namespace remittance {

// The creditor: the office's name (company line 1), its identifier (the
// setting, or computed from company line 7 with the business code), its
// account and BIC, the mandates' signature date and the sequence type.
// `problems` gets the Tora.ini keys that are missing or wrong
// ("[Remesa] Compte"); the creditor is usable only when it stays empty.
Creditor CreditorFromSettings(std::vector<std::string>* problems);

}  // namespace remittance
