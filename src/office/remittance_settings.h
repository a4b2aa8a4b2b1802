// Settings of the bank remittance, the direct-debit file of the domiciled
// receipts, read once at start-up from Tora.ini in the installation root:
//
//   [Remesa]  Emetre      "S": every issuing cycle also writes the file
//             Creditor    creditor identifier; blank: computed from the
//                         company's fiscal identifier (company data line 7)
//             Sufix       business code of the computed identifier ("000")
//             Compte      the creditor's account, IBAN
//             BIC         the creditor bank's BIC (optional)
//             DataMandat  signature date of the mandates, yyyy-mm-dd
//                         ("2009-10-31": mandates carried over from the
//                         former domestic scheme)
//             Sequencia   sequence type: FRST, RCUR, OOFF or FNAL ("RCUR")
//             Fitxer      the file; blank: Remesa-yyyymmdd.xml in the
//                         session folder, by the collection date
//             DiesPrevis  days of notice the bank needs: the collection date
//                         is the first working day at least this many days
//                         after the working date ("2")
//
// Values are kept as written, spaces at either end removed; defaults apply to
// a missing or blank key.  Fitxer is read with its bytes as in the file
// (config::IniReadRaw): it goes to the file system as written.
#pragma once

#include <string>

namespace office {

struct RemittanceSettingsState {
  bool enabled = false;                      // Emetre=S
  std::string creditorId;                    // Creditor
  std::string businessCode = "000";          // Sufix
  std::string account;                       // Compte
  std::string bic;                           // BIC
  std::string signatureDate = "2009-10-31";  // DataMandat
  std::string sequenceType = "RCUR";         // Sequencia
  std::string file;                          // Fitxer
  std::string noticeDays = "2";              // DiesPrevis
};
RemittanceSettingsState& RemittanceSettings();

// Reads section [Remesa] of RootDir + "Tora.ini".
void ReadRemittanceSettings();

}  // namespace office
