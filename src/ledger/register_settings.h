// Whether the installation keeps the register and makes VERI*FACTU billing
// records, read once at start-up from Tora.ini in the installation root:
//
//   [Registre]   Actiu           "S": every issuing cycle registers its
//                                receipts and numbers them on from the
//                                register; anything else (or no section)
//                                leaves the program as without it
//   [VeriFactu]  Actiu           "S": the installation is a VERI*FACTU one:
//                                every receipt registered gets a billing
//                                record, sent to the tax agency (needs the
//                                register); chosen once, never switched off
//                Serie           the invoice series, written before the
//                                receipt number ("" by default)
//                Entorn          PROVES (the agency's test service, the
//                                default) or PRODUCCIO
//                URL             the service's address instead of the one
//                                of Entorn (a test server)
//                Certificat      the office's certificate, a PKCS#12 file
//                CertificatClau  a file holding its password (the
//                                environment's KELCERTCLAU comes first)
//                Autoritats      a PEM file of the authorities the server's
//                                certificate may come from, in place of the
//                                system's (a test server)
#pragma once

#include <string>

namespace ledger {

struct RegisterSettingsState {
  bool enabled = false;
  bool verifactu = false;
  std::string series;
  std::string environment = "PROVES";
  std::string url;
  std::string certificate;
  std::string certificatePasswordFile;
  std::string authorities;
};
RegisterSettingsState& RegisterSettings();

void ReadRegisterSettings();

}  // namespace ledger
