// The walk over owners, properties and units, and the issuing cycle.
#include "issuing/issuing_run.h"

#include <optional>

#include "btrieve/btrcall.h"
#include "config/ini.h"
#include "config/language.h"
#include "config/session_settings.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "format/amounts.h"
#include "format/dates.h"
#include "format/packed.h"
#include "format/text.h"
#include "issuing/domiciled.h"
#include "issuing/layouts.h"
#include "issuing/receipt.h"
#include "ledger/register_settings.h"
#include "office/receipt_settings.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "print/spool.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "screens/input_screen.h"
#include "storage/record_backend.h"
#include "terminal/cell_buffer.h"
#include "terminal/hand_over.h"

namespace issuing {
namespace {

// A read's status seen by the walk: 0 goes on; the end of the file ends a
// loop, and a key that is not there answers a lookup.  Any other status is
// a fault of the record file: it is noted (the first one only) and the
// cycle stops, rather than end the walk as if the file had ended there.
bool Faulty(IssueSummary& summary, std::int16_t fileId, std::int16_t status, bool lookup) {
  if (status == 0 || status == btrieve::kStatusEndOfFile) return false;
  if (lookup && status == btrieve::kStatusKeyNotFound) return false;
  if (summary.faultFile == 0) {
    summary.faultFile = fileId;
    summary.faultStatus = status;
  }
  return true;
}

// The walk stops at a read fault and at a receipt it must not print.
bool Stopped(const IssueSummary& summary) {
  return summary.faultFile != 0 || !summary.cutUnit.empty() || summary.registerFailed;
}

void LookUpConceptType(IssueSummary& summary, const std::string& key) {
  std::int16_t status = 0;
  records::FindByKey(kConceptTypeFile, 0, key, 0, status);
  if (status != 0) office::ResetConceptType(office::Areas().conceptType);
  Faulty(summary, kConceptTypeFile, status, true);
}

bool IsDomiciled(IssueSummary& summary, const std::string& unitKey) {
  std::int16_t status = 0;
  records::FindByKey(kMandateFile, 0, unitKey, 0, status);
  while (status == 0 && office::MandateView(office::Areas().mandate).UnitKey() == unitKey) {
    const unsigned char kind = office::MandateView(office::Areas().mandate).Kind();
    if (kind == 'P' || kind == 'D') return true;
    records::SkipRecords(kMandateFile, 1, status);
  }
  Faulty(summary, kMandateFile, status, true);
  return false;
}

std::string UnitNumbers(const std::string& unitKey) {
  std::string digits = format::UnpackDigits(unitKey);
  return digits.substr(0, 4) + "." + digits.substr(4, 4);
}

// Rates of the owner's VAT class for this unit.
void ApplyTaxes(int vatClass, const office::UnitView& unit, Receipt& r) {
  const office::ReceiptSettingsState& settings = office::ReceiptSettings();
  const office::VatClass& vat = settings.vat[static_cast<size_t>(vatClass)];
  r.vatName = format::TrimRight(vat.name);
  r.vatRate = unit.IsPremises() ? vat.premisesRate : vat.dwellingsRate;
  r.withholdingRate =
      unit.HasWithholding() ? settings.withholdingRate[static_cast<size_t>(vatClass)] : 0;
  r.vatAmount = PercentOf(r.vatRate, r.vatBase);
  r.withholdingAmount = PercentOf(r.withholdingRate, r.withholdingBase);
}

struct OwnerWalk {
  const office::Selection& selection;
  int month;
  long long counter;
  IssueSummary& summary;
  CycleBook* book;
};

// How the register stands on the unit's receipt; a new one when there is
// no register.  False when the register failed.
bool Look(OwnerWalk& walk, Receipt& r, CycleBook::Seen* seen, bool* inRemittance) {
  *seen = CycleBook::Seen::kNew;
  if (walk.book == nullptr) return true;
  Refusal refusal;
  if (!walk.book->Look(r, walk.selection.issueDate, seen, &refusal, inRemittance)) return false;
  if (*seen == CycleBook::Seen::kRefused) walk.summary.refused.push_back(refusal);
  return true;
}

void HandleUnit(OwnerWalk& walk, int vatClass) {
  office::RecordAreas& areas = office::Areas();
  office::UnitView unit(areas.unit);
  const office::Selection& s = walk.selection;
  if (!IsDue(unit.Periodicity(), unit.Timing(), walk.month)) return;
  if (!InUnitRange(unit.Key(), s) || !PassesCollection(areas.unit, s)) return;

  Receipt r;
  IssueSummary& summary = walk.summary;
  ComputeConcepts(
      areas.unit, s, [&summary](const std::string& key) { LookUpConceptType(summary, key); }, r);
  if (r.base == 0 || summary.faultFile != 0) return;
  if (vatClass != 0 && vatClass != 1) {
    summary.leftOut.push_back(UnitNumbers(unit.Key()));
    return;
  }
  ApplyTaxes(vatClass, unit, r);
  r.reference = ReceiptReference(unit.Key(), s.period);
  ComputeAddress(areas.property, areas.unit, r);
  r.domiciled = unit.CollectionForm() == 'B' && IsDomiciled(summary, unit.Key());
  if (summary.faultFile != 0) return;
  CycleBook::Seen seen;
  bool inRemittance = false;
  if (!Look(walk, r, &seen, &inRemittance)) {
    summary.registerFailed = true;
    return;
  }
  if (seen == CycleBook::Seen::kRefused) return;
  if (seen == CycleBook::Seen::kNew) r.number = format::ZeroPad(static_cast<double>(++walk.counter), 8);
  if (const std::optional<MaskedAmount> cut = FirstCutAmount(r)) {
    summary.cutUnit = UnitNumbers(unit.Key());
    summary.cutCents = cut->cents;
    summary.cutMask = cut->mask;
    return;
  }
  if (seen == CycleBook::Seen::kNew && walk.book != nullptr && !walk.book->Add(r, s)) {
    summary.registerFailed = true;
    return;
  }
  PrintReceipt({r, s.issueDate});
  // A copy already sent to the bank is not debited again.
  if (r.domiciled && remittance::RemittanceWanted() && !inRemittance) {
    summary.domiciled.push_back(DomiciledOf(r, s));
    if (walk.book != nullptr) summary.domiciledIds.push_back(walk.book->lastId());
  }
  if (r.copy) ++summary.copies;
  ++summary.receipts;
  summary.total += r.Total();
}

void HandleOwner(OwnerWalk& walk) {
  const office::Selection& s = walk.selection;
  const std::string lowProperty = s.unitLow.substr(0, 2);
  const std::string highProperty = s.unitHigh.substr(0, 2);
  for (int k = 1; k <= office::OwnerView::kPropertyEntries && !Stopped(walk.summary); ++k) {
    const office::PropertyEntry entry = office::OwnerView(office::Areas().owner).Entry(k);
    if (entry.propertyNumber < lowProperty || entry.propertyNumber > highProperty) continue;
    std::int16_t status = 0;
    records::FindByKey(kPropertyFile, 0, entry.propertyNumber, 0, status);
    if (Faulty(walk.summary, kPropertyFile, status, true) || status != 0) continue;
    records::FindByKey(kUnitFile, 0, entry.propertyNumber, 1, status);
    while (status == 0 && !Stopped(walk.summary) &&
           office::UnitView(office::Areas().unit).Key().substr(0, 2) == entry.propertyNumber) {
      HandleUnit(walk, entry.vatClass);
      records::SkipRecords(kUnitFile, 1, status);
    }
    Faulty(walk.summary, kUnitFile, status, false);
  }
}

}  // namespace

namespace {

// The folder of the programs the cycle starts: ExeDir, or without it the
// folder of this program's own executable file (where the build and the
// installation put them); never looked up in PATH.
std::string ProgramsFolder() {
  const std::string& folder = config::Settings().ExeDir;
  return folder.empty() ? platform::ProgramFolder() : folder;
}

}  // namespace

std::string PrintProgramPath() {
  return ProgramsFolder() + "KELPRINT";
}

void StartSending() {
  if (!ledger::RegisterSettings().verifactu) return;
  platform::StartInBackground(ProgramsFolder() + "recutil",
                              {"register", "send", platform::NativePath(config::Settings().RootDir)});
}

IssueSummary IssueSelection(const office::Selection& s, CycleBook* book) {
  IssueSummary summary;
  const int month = format::MonthOf(s.issueDate);
  if (book != nullptr && !book->on()) book = nullptr;
  std::int16_t status = 0;
  records::FindByKey(kOwnerFile, 0, "", 1, status);
  while (status == 0 && !Stopped(summary)) {
    OwnerWalk walk{s, month, LastReceiptNumber(office::Areas().owner), summary, book};
    if (book != nullptr &&
        !book->FirstNumber(office::OwnerView(office::Areas().owner).Key(), walk.counter,
                           &walk.counter)) {
      summary.registerFailed = true;
      break;
    }
    HandleOwner(walk);
    records::SkipRecords(kOwnerFile, 1, status);
  }
  Faulty(summary, kOwnerFile, status, false);
  return summary;
}

void ShowOperatorMessage(const std::string& text) {
  const bool shown = console::ShowMessage(22, text);
  terminal::Beep();
  int key = 0;
  console::WaitKey(key);
  if (shown) console::CloseWindow();
}

void IssueReceipts() {
  console::SetColour("n");
  for (;;) {
    int key = 0;
    screens::InputScreen(1, 0, 0, key);
    if (key == 27) return;
    IssueSummary summary;
    if (RunIssuingCycle(office::CurrentSelection(), true, ShowOperatorMessage, &summary) ==
        CycleOutcome::kPrinted) {
      ShowOperatorMessage(CycleDoneMessage(summary));
    }
  }
}

CycleOutcome RunIssuingCycle(const office::Selection& s, bool startPrinter,
                             const config::TellOperator& tell, IssueSummary* summary) {
  *summary = IssueSummary{};
  for (const config::UnwritableSetting& u : config::TakeUnwritableSettings()) {
    tell(UnwritableSettingMessage(u));
  }
  const office::SettingsProblem& settingsProblem = office::ReceiptSettings().problem;
  if (settingsProblem.kind != office::SettingsProblem::Kind::kNone) {
    tell(SettingsMessage(settingsProblem));
    return CycleOutcome::kSettingsRefused;
  }
  CycleBook book;
  switch (book.Start(s, tell)) {
    case CycleBook::StartOutcome::kReady:
      break;
    case CycleBook::StartOutcome::kRefused:
      return CycleOutcome::kSettingsRefused;
    case CycleBook::StartOutcome::kFailed:
      return CycleOutcome::kRegisterFailed;
  }
  if (!print::OpenSpool(config::Settings().OutputDevice)) {
    tell(SpoolFailedMessage());
    return CycleOutcome::kSpoolFailed;
  }
  const uint64_t serverFailures = storage::RecordServerFailures();
  format::SetCurrency("p");
  ForgetWords();
  {
    const config::LanguageCycle oneCheck;
    *summary = IssueSelection(s, &book);
  }
  format::SetCurrency("");
  if (storage::RecordServerFailures() != serverFailures) {
    // The walk ended where the server went away, not at its end.
    print::AbandonSpool();
    tell(RecordsLostMessage());
    return CycleOutcome::kRecordsLost;
  }
  if (summary->registerFailed) {
    print::AbandonSpool();
    tell(RegisterFailedMessage(book.error()));
    // A billing record that cannot be made is the installation's problem
    // (an owner's tax identifier, the clock, a damaged chain), not the run's.
    return book.billingRefused() ? CycleOutcome::kSettingsRefused : CycleOutcome::kRegisterFailed;
  }
  if (!summary->cutUnit.empty()) {
    // The receipts before it are right, but a cycle is printed whole or
    // not at all.
    print::AbandonSpool();
    tell(CutAmountMessage(*summary));
    return CycleOutcome::kAmountTooLarge;
  }
  const bool written = print::CloseSpool();
  if (summary->faultFile != 0) {
    // Part of the selection was never read: no print program for it.
    tell(records::OpenFailureMessage(records::OpenFileName(summary->faultFile),
                                     summary->faultStatus));
    return CycleOutcome::kRecordsFailed;
  }
  if (!summary->leftOut.empty()) tell(LeftOutMessage(summary->leftOut));
  for (const Refusal& refusal : summary->refused) tell(RefusalMessage(refusal));
  if (!written) {
    tell(SpoolFailedMessage());
    return CycleOutcome::kSpoolFailed;
  }
  summary->remittance = remittance::WriteCycleRemittance(summary->domiciled, s.issueDate, tell);
  if (!book.Finish(summary->remittance, summary->domiciledIds)) {
    // Registered all or none: none, so none of it may be printed or sent.
    platform::RemoveFile(print::SpoolPath());
    if (summary->remittance.outcome == remittance::RemittanceOutcome::kWritten) {
      platform::RemoveFile(summary->remittance.path);
    }
    tell(RegisterFailedMessage(book.error()));
    return CycleOutcome::kRegisterFailed;
  }
  StartSending();
  if (!startPrinter) return CycleOutcome::kNotPrinted;
  // The print program's own lines are kept for the messages: on the
  // terminal they would land on the screen the program hides.  A preview
  // is the exception: it needs the terminal, handed over for its run.
  const int status =
      print::IsScreenDevice(config::Settings().OutputDevice)
          ? terminal::RunOnTerminal(PrintProgramPath(), {})
          : platform::RunCollectingOutput(PrintProgramPath(), {}, &summary->printerOutput);
  if (status != 0) {
    tell(PrinterFailedMessage(status, summary->printerOutput));
    return CycleOutcome::kPrinterFailed;
  }
  return CycleOutcome::kPrinted;
}

}  // namespace issuing
