// The issuing run: the walk over owners, their properties and units that
// prints every receipt due in the month of the issue date, and the cycle
// around it (spool, currency, print program).
//
// The run only reads the record files (identifiers below); it writes
// nothing back, not even receipt numbers.  Without the register, running
// the same selection twice prints the same receipts; with it, the numbers
// move on and a month issued again prints copies (cycle_book.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ini.h"
#include "config/tell_operator.h"
#include "issuing/cycle_book.h"
#include "office/receipt_settings.h"
#include "office/selection.h"
#include "remittance/cycle.h"

namespace issuing {

inline constexpr std::int16_t kRemittanceFile = 502;
inline constexpr std::int16_t kConceptTypeFile = 503;
inline constexpr std::int16_t kOwnerFile = 505;
inline constexpr std::int16_t kPropertyFile = 506;
inline constexpr std::int16_t kUnitFile = 507;
inline constexpr std::int16_t kMandateFile = 509;

struct IssueSummary {
  int receipts = 0;  // printed, copies included
  int copies = 0;    // printed again from the register, with their registered numbers
  // Receipts registered before whose amounts are now different: not printed.
  std::vector<Refusal> refused;
  // A read or write of the register failed: the walk stopped there.
  bool registerFailed = false;
  double total = 0;  // cents, the sum of the receipts' totals
  // Units that were due but were left out because their owner's VAT class
  // for the property is neither 0 nor 1 (no rate is defined for it): the
  // property and unit numbers, "0012.0003".
  std::vector<std::string> leftOut;
  // The first read whose status was neither success, nor the end of the
  // file, nor (for a lookup) a key that is not there: the walk stopped at
  // it.  File 0 when every read went well.
  std::int16_t faultFile = 0;
  std::int16_t faultStatus = 0;
  // The first unit ("0012.0003") whose receipt has an amount that its
  // layout's mask can show only cut (FirstCutAmount), that amount in cents
  // and the mask: the walk stopped before printing it.  Empty unit when
  // every amount fitted.
  std::string cutUnit;
  double cutCents = 0;
  std::string cutMask;
  // What the print program wrote on standard output and standard error.
  std::string printerOutput;
  // The domiciled receipts, kept when the cycle writes a remittance, and
  // what became of it.
  std::vector<remittance::DomiciledReceipt> domiciled;
  std::vector<int64_t> domiciledIds;  // their register ids, with the register on
  remittance::RemittanceResult remittance;
};

// Prints the receipts of the selection into the open spool, numbering and
// registering them through book when it is given and on.
IssueSummary IssueSelection(const office::Selection& s, CycleBook* book = nullptr);

enum class CycleOutcome {
  kPrinted,
  kSpoolFailed,
  kPrinterFailed,
  kNotPrinted,
  kSettingsRefused,  // the receipt settings have a problem: nothing issued
  kRecordsFailed,    // a record file failed a read: the spool is incomplete
  kRecordsLost,      // the database server was lost: the spool is removed
  kAmountTooLarge,   // an amount its mask would cut: the spool is removed
  kRegisterFailed,   // the register could not be read or written: nothing registered or printed
};

// The print program: KELPRINT in ExeDir, or without ExeDir in the folder
// of this program's own executable file (where the build and the
// installation put it); never looked up in PATH.
std::string PrintProgramPath();

// In the VERI*FACTU mode: starts recutil (beside the print program) to send
// the register's waiting records, in the background, so that neither the
// printing nor the next cycle waits for the agency.  What became of it is
// kept in the register (recutil register status), and a failure is told at
// the next cycle.
void StartSending();

// One cycle for a confirmed selection: opens the spool on the session's
// output device, issues in the document currency, closes the spool, and
// (when startPrinter) runs the print program and waits for it, collecting
// its output.  A spool that cannot be written, a print program that cannot
// be started or ends with a non-zero status (the spool stays for another
// try) and units left out are told through `tell`; no print program is
// started on a broken spool.  Settings that lost a character code page 850
// cannot hold (config::TakeUnwritableSettings) are told first, once each:
// they were read at start-up, before the session language and the screen
// were there to say so.  A problem of the receipt settings is told and
// refuses the cycle before the spool is opened; a read fault ends the walk
// and is told with the record-file message naming the file, and the
// incomplete spool is not printed.  When the database server holding the
// record files was lost during the walk, the receipts printed are only part
// of the run: the spool is removed, the loss told, and nothing printed
// (kRecordsLost).  A receipt with an amount that its mask can show only
// with digits cut off stops the walk before it is laid out: the spool is
// removed, and the unit, the amount and the mask told (kAmountTooLarge).
// Once the spool is written, the cycle
// writes the bank remittance of its domiciled receipts when one is wanted
// (remittance/cycle.h).
CycleOutcome RunIssuingCycle(const office::Selection& s, bool startPrinter,
                             const config::TellOperator& tell, IssueSummary* summary);

// The interactive run: the selection screen (screen 1, with its
// confirmation), then a cycle with the print program ended by a message of
// what it did (CycleDoneMessage), again and again until
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
// status: the print program's exit status, -1 when it could not be started;
// output: what it wrote, whose last line says why it failed.
std::string PrinterFailedMessage(int status, const std::string& output);
std::string LeftOutMessage(const std::vector<std::string>& units);
std::string SettingsMessage(const office::SettingsProblem& problem);
// The unit, the amount and the mask of summary.cutUnit.
std::string CutAmountMessage(const IssueSummary& summary);
std::string UnwritableSettingMessage(const config::UnwritableSetting& setting);
// The register's messages.
std::string RegisterFailedMessage(const std::string& reason);
std::string RegisterBusyMessage();
// The last sending of VERI*FACTU records failed, for the reason given.
std::string SendingFailedMessage(const std::string& reason);
std::string RefusalMessage(const Refusal& refusal);
// The word that marks a receipt printed again from the register.
std::string CopyWord();

// The end of a printed cycle: how many receipts, their total and where the
// print program put them; or that none was due.
std::string CycleDoneMessage(const IssueSummary& summary);

// A total in cents as the run shows it: "11.264,02".
std::string TotalText(double cents);

}  // namespace issuing
