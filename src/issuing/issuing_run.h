// The issuing run: the walk over owners, their properties and units that
// prints every receipt due in the month of the issue date, and the cycle
// around it (spool, currency, print program).
//
// The run only reads the record files (identifiers below); it writes
// nothing back, not even receipt numbers: running the same selection twice
// prints the same receipts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "office/selection.h"

namespace issuing {

inline constexpr std::int16_t kRemittanceFile = 502;
inline constexpr std::int16_t kConceptTypeFile = 503;
inline constexpr std::int16_t kOwnerFile = 505;
inline constexpr std::int16_t kPropertyFile = 506;
inline constexpr std::int16_t kUnitFile = 507;
inline constexpr std::int16_t kMandateFile = 509;

struct IssueSummary {
  int receipts = 0;
  double total = 0;  // cents, the sum of the receipts' totals
  // Units that were due but were left out because their owner's VAT class
  // for the property is neither 0 nor 1 (no rate is defined for it): the
  // property and unit numbers, "0012.0003".
  std::vector<std::string> leftOut;
};

// Prints the receipts of the selection into the open spool.
IssueSummary IssueSelection(const office::Selection& s);

// How a cycle talks to the operator: a message (already in the session
// language) shown and acknowledged.
using OperatorMessage = std::function<void(const std::string& text)>;

enum class CycleOutcome { kPrinted, kSpoolFailed, kPrinterFailed, kNotPrinted, kRecordsLost };

// One cycle for a confirmed selection: opens the spool on the session's
// output device, issues in the document currency, closes the spool, and
// (when startPrinter) runs ExeDir + "KELPRINT" and waits for it.  A spool
// that cannot be written, a print program that cannot be started and units
// left out are told through `tell`; no print program is started on a
// broken spool.  When the database server holding the record files was
// lost during the walk, the receipts printed are only part of the run:
// the spool is removed, the loss told, and nothing printed (kRecordsLost).
CycleOutcome RunIssuingCycle(const office::Selection& s, bool startPrinter,
                             const OperatorMessage& tell, IssueSummary* summary);

// The interactive run: the selection screen (screen 1, with its
// confirmation), then a cycle with the print program, again and again until
// the operator leaves the selection screen with Escape.  Messages appear in
// the message window and wait for a key.
void IssueReceipts();

// The message for a database server lost during the run, with its reason.
std::string RecordsLostMessage();

// A message in the message window near the bottom of the screen, with the
// beep, until a key is pressed.
void ShowOperatorMessage(const std::string& text);

// The run's own messages in the session language.
std::string SpoolFailedMessage();
std::string PrinterFailedMessage();
std::string LeftOutMessage(const std::vector<std::string>& units);

}  // namespace issuing
