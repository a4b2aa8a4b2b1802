// The remittance of one issuing cycle: the domiciled receipts the cycle
// issued become the direct debits of one file for the bank.
//
// A receipt whose account is blank or fails the IBAN check, whose tenant
// has no name left in the SEPA character set, or whose total is not above 0
// is left out of the file (it is still printed) and named at the end of the
// cycle.  Missing or wrong creditor settings refuse the whole file.  Every
// message is in the session language.
#pragma once

#include <string>
#include <vector>

#include "config/tell_operator.h"

namespace remittance {

// What the issuing run hands over for each domiciled receipt it printed.
struct DomiciledReceipt {
  std::string unitKey;     // 4 packed bytes: property, unit
  std::string ownerKey;    // 2 packed bytes
  std::string number;      // 8 digits
  std::string reference;   // "012003V07"
  std::string period;      // 2 digits
  double total = 0;        // cents
  std::string tenantName;  // display form
  std::string account;     // the unit's 34 bytes, as stored
  std::string ownerName;   // display form
};

// Overrides of one run (qantires --batch): the file and the collection date
// (packed); empty: the settings' file, the default collection date
// (collection_date.h).
struct RunOverrides {
  std::string file;
  std::string collectionDate;
};
RunOverrides& Overrides();

// Takes the options of a batch run: the file, and the collection date as
// typed on the screens.  Empty when they are sound, else what is wrong.
// Whether the date suits the issue date is CollectionDateProblem's to say,
// once the selection is known.
std::string SetOverrides(const std::string& file, const std::string& typedDate);

// True when this cycle writes a file: [Remesa] Emetre=S, or a file named
// for the run.
bool RemittanceWanted();

enum class LeftOutReason { kBlankAccount, kBadAccount, kNoName, kNoAmount };
struct LeftOut {
  std::string unit;  // "0012.0003"
  LeftOutReason reason;
};

// kEmpty: no receipt could be a debit, so nothing was written (a file
// already under the name is from an earlier remittance).
enum class RemittanceOutcome { kNotWanted, kWritten, kEmpty, kRefused, kWriteFailed };
struct RemittanceResult {
  RemittanceOutcome outcome = RemittanceOutcome::kNotWanted;
  std::string path;  // the file written or meant
  int debits = 0;
  long long cents = 0;
  std::vector<LeftOut> leftOut;
  std::string collectionDate;  // yyyy-mm-dd
  std::vector<size_t> held;    // the receipts that became debits, by their place
};

// Builds and writes the file for the receipts of a cycle issued on
// issueDate (packed), when one is wanted, and tells what became of it and
// of the receipts left out.  A collection date given for the run must have
// passed CollectionDateProblem.
RemittanceResult WriteCycleRemittance(const std::vector<DomiciledReceipt>& receipts,
                                      const std::string& issueDate,
                                      const config::TellOperator& tell);

}  // namespace remittance
