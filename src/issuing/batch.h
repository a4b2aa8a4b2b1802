// Unattended issuing: one cycle with the presets of the selection screen,
// each overridable, for scheduled runs and tests (qantires --batch).
//
// The overrides are written into the fields of screen 1 as an operator
// would type them, so the selection is built exactly as the screen builds
// it.
#pragma once

#include <string>
#include <vector>

#include "config/tell_operator.h"

namespace issuing {

struct BatchOptions {
  std::string date;      // issue date as typed: 5/1/2027, 05012027...
  std::string from;      // first unit: "property" or "property.unit"
  std::string to;        // last unit
  std::string period;    // period number
  std::string forms;     // the collection forms switched on: letters of "ABF"
  std::vector<std::string> codes;  // collection-code bounds: "B:5-7"
  std::string concepts;  // concepts switched on: "1-10,12"
  bool print = true;     // start the print program after the cycle
  std::string remittance;      // write the remittance to this file
  std::string collectionDate;  // the remittance's collection date, as typed
};

// Exit codes of a batch run.
inline constexpr int kBatchIssued = 0;
// The installation cannot issue: Tora.ini lacks what a cycle needs, a
// record file failed a read, or one stayed locked past the wait allowed; or
// a receipt has an amount that its mask can show only cut.
inline constexpr int kBatchInstallationFailed = 1;
inline constexpr int kBatchBadOptions = 2;
inline constexpr int kBatchCycleFailed = 3;
// The receipts were issued but the remittance asked for was not written:
// refused, without a single valid debit, or failed to write.
inline constexpr int kBatchRemittanceFailed = 4;
// The receipts were issued, but some registered before now have other
// amounts: those were not printed (each is named on standard error).
inline constexpr int kBatchReceiptsRefused = 5;

// Writes the overrides into screen 1.  Empty when they are sound; otherwise
// what is wrong with them.
std::string ApplyBatchOptions(const BatchOptions& options);

// Applies the options, checks the selection, runs one issuing cycle and,
// when it issued, prints a one-line summary ("12 receipts issued, total
// 3.456,78 EUR") on standard output.  Problems go to `tell`; a cycle that
// failed prints no summary.  Returns one of the codes above.
// Without --date the preset issue date (the working date of ToraTerm.ini)
// must be a calendar date; when it is not, the refusal also names what is
// missing or wrong: KELTMP, the file, or its [Sistema] Data.  A collection
// date given for the remittance that the bank could not take
// (remittance::CollectionDateProblem) refuses the run as well.
int RunBatchCycle(const BatchOptions& options, const config::TellOperator& tell);

}  // namespace issuing
