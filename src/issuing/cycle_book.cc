// The register's part of an issuing cycle: the cycle's transaction, the
// numbers, copies and refusals, and the receipt as the register keeps it.
#include "issuing/cycle_book.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "config/session_settings.h"
#include "console/window.h"
#include "format/packed.h"
#include "format/text.h"
#include "issuing/layout_common.h"
#include "issuing/issuing_run.h"
#include "issuing/layouts.h"
#include "ledger/billing_records.h"
#include "ledger/billing_settings.h"
#include "ledger/register_settings.h"
#include "office/record_layouts.h"
#include "platform/clock.h"
#include "platform/identity.h"
#include "platform/waits.h"
#include "records/record_reads.h"
#include "records/record_table.h"

namespace issuing {
namespace {

constexpr int kLockMessageRow = 22;

std::string Digits(const std::string& packed) {
  return format::UnpackDigits(packed);
}

std::string Now() {
  const platform::DateTime t = platform::Today();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

// The operator's choices, as the journal shows them.
std::string SelectionText(const office::Selection& s) {
  std::string text = "date " + IsoDateOf(s.issueDate) + " units " + Digits(s.unitLow) + "-" +
                     Digits(s.unitHigh) + " period " + Digits(s.period) + " forms ";
  for (int f = 0; f < 3; ++f) {
    if (s.formOn[f]) text += office::kFormLetters[f];
  }
  text += " concepts ";
  for (int i = 0; i < office::kConcepts; ++i) text += s.conceptOn[i] ? "S" : "N";
  return text;
}

const char* LayoutName() {
  switch (ChosenLayout()) {
    case Layout::kBoxed:
      return "boxed";
    case Layout::kPreprinted:
      return "preprinted";
    case Layout::kPreprinted2:
      return "preprinted2";
  }
  return "";
}

int64_t Cents(double amount) {
  return std::llround(amount);
}

int64_t Hundredths(float rate) {
  return std::llround(static_cast<double>(rate) * 100);
}

// The receipt as the register keeps it: r's values, the current owner and
// unit records, the selection's date and period.
ledger::IssuedReceipt RegisterForm(const Receipt& r, const office::Selection& s) {
  office::OwnerView owner(office::Areas().owner);
  office::UnitView unit(office::Areas().unit);
  ledger::IssuedReceipt e;
  e.ownerKey = Digits(owner.Key());
  e.ownerName = format::StarredDisplay(owner.Name());
  e.ownerTaxId = format::Trim(owner.FiscalId());
  e.number = std::atoll(r.number.c_str());
  e.unitKey = Digits(unit.Key());
  e.reference = r.reference;
  e.tenantName = format::StarredDisplay(unit.TenantName());
  e.tenantTaxId = format::Trim(unit.FiscalId());
  e.issueDate = IsoDateOf(s.issueDate);
  e.period = Digits(s.period);
  e.collectionForm = std::string(1, static_cast<char>(unit.CollectionForm()));
  for (int i = 0; i < office::kConcepts; ++i) {
    if (r.conceptAmount[i] == 0) continue;
    e.lines.push_back({i + 1, format::TrimRight(r.conceptText[i]), Cents(r.conceptAmount[i]),
                       r.conceptSubjectToVat[i] ? Cents(r.conceptAmount[i]) : 0});
  }
  e.baseCents = Cents(r.base);
  e.vatRate = Hundredths(r.vatRate);
  e.vatCents = Cents(r.vatAmount);
  e.withholdingRate = Hundredths(r.withholdingRate);
  e.withholdingCents = Cents(r.withholdingAmount);
  e.totalCents = Cents(r.Total());
  e.currency = CurrencyCode();
  e.layout = LayoutName();
  return e;
}

// Waits for the writer lock as a held record file is waited for.
ledger::WriteStart WaitToWrite(ledger::Register& reg, ledger::CycleEntry* cycle) {
  int waited = 0;
  bool shown = false;
  ledger::WriteStart start;
  while ((start = reg.BeginCycle(cycle)) == ledger::WriteStart::kBusy) {
    if (!shown) shown = console::ShowMessage(kLockMessageRow, records::LockMessage());
    const int wait = records::NextLockWait(1000, waited);
    if (wait < 0) break;
    platform::SleepMilliseconds(wait);
    waited += wait;
  }
  if (shown) console::CloseWindow();
  return start;
}

// The last sending of an issuer's records failed: they wait, and the
// operator should know before issuing more.
void TellFailedSending(ledger::Register& reg, const config::TellOperator& tell) {
  std::vector<ledger::SubmissionEntry> latest;
  if (!ledger::RegisterSettings().verifactu || !reg.LatestAttempts(&latest)) return;
  for (const ledger::SubmissionEntry& attempt : latest) {
    if (attempt.outcome == "failed") tell(SendingFailedMessage(attempt.operatorMessage));
  }
}

}  // namespace

std::string IsoDateOf(const std::string& packed) {
  const std::string d = Digits(packed);
  return d.size() == 8 ? d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) : d;
}

CycleBook::StartOutcome CycleBook::Start(const office::Selection& s,
                                         const config::TellOperator& tell) {
  register_.reset();
  const std::string problem = ledger::BillingSettingsProblem(ledger::CurrentRegisterPlace());
  if (!problem.empty()) {
    tell(RegisterFailedMessage(problem));
    return StartOutcome::kRefused;
  }
  if (!ledger::RegisterSettings().enabled) return StartOutcome::kReady;
  register_ = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error_);
  if (register_ == nullptr) {
    tell(RegisterFailedMessage(error_));
    return StartOutcome::kFailed;
  }
  TellFailedSending(*register_, tell);
  ledger::CycleEntry cycle{0, Now(), platform::HostName(), platform::UserName(), SelectionText(s)};
  const ledger::WriteStart start = WaitToWrite(*register_, &cycle);
  if (start == ledger::WriteStart::kStarted) return StartOutcome::kReady;
  tell(start == ledger::WriteStart::kBusy ? RegisterBusyMessage()
                                          : RegisterFailedMessage(register_->error()));
  register_.reset();
  return StartOutcome::kFailed;
}

bool CycleBook::FirstNumber(const std::string& ownerKey, long long stored, long long* counter) {
  *counter = stored;
  if (!on()) return true;
  int64_t highest = 0;
  if (!register_->HighestNumber(Digits(ownerKey), &highest)) return Failed();
  *counter = std::max<long long>(stored, highest);
  return true;
}

bool CycleBook::Look(Receipt& r, const std::string& issueDate, Seen* seen, Refusal* refusal,
                     bool* alreadyInRemittance) {
  *seen = Seen::kNew;
  if (!on()) return true;
  office::UnitView unit(office::Areas().unit);
  std::optional<ledger::IssuedReceipt> found;
  if (!register_->FindIssued(Digits(unit.Key()), IsoDateOf(issueDate).substr(0, 7), &found)) {
    return Failed();
  }
  if (!found) return true;
  lastId_ = found->id;
  *alreadyInRemittance = found->inRemittance;
  r.number = format::ZeroPad(static_cast<double>(found->number), 8);
  ledger::IssuedReceipt now = RegisterForm(r, {});
  if (now.SameAmounts(*found)) {
    *seen = Seen::kCopy;
    r.copy = true;
    // A copy of an invoice that has its billing record carries its QR code.
    bool recorded = false;
    if (ledger::RegisterSettings().verifactu &&
        !register_->HasRegistration(found->id, &recorded)) {
      return Failed();
    }
    if (recorded) r.qrText = ledger::QrTextFor(*found);
    return true;
  }
  *seen = Seen::kRefused;
  const std::string digits = Digits(unit.Key());
  *refusal = {digits.substr(0, 4) + "." + digits.substr(4, 4), found->issueDate, found->number,
              static_cast<double>(found->totalCents), r.Total()};
  return true;
}

bool CycleBook::Add(Receipt& r, const office::Selection& s) {
  if (!on()) return true;
  ledger::IssuedReceipt entry = RegisterForm(r, s);
  if (!register_->Add(&entry)) return Failed();
  lastId_ = entry.id;
  if (!ledger::RegisterSettings().verifactu) return true;
  error_ = ledger::AppendRegistration(*register_, entry, platform::TodayMoment());
  billingRefused_ = !error_.empty();
  if (!billingRefused_) r.qrText = ledger::QrTextFor(entry);
  return !billingRefused_;
}

bool CycleBook::Finish(const remittance::RemittanceResult& remittance,
                       const std::vector<int64_t>& ids) {
  if (!on()) return true;
  bool ok = true;
  if (remittance.outcome == remittance::RemittanceOutcome::kWritten) {
    ledger::RemittanceEntry entry{0, 0, remittance.path, remittance.collectionDate,
                                  remittance.debits, remittance.cents, {}};
    for (size_t i : remittance.held) entry.receipts.push_back(ids.at(i));
    ok = register_->AddRemittance(&entry);
  }
  ok = ok && register_->Commit();
  if (!ok) error_ = register_->error();
  register_.reset();
  return ok;
}

bool CycleBook::Failed() {
  error_ = register_->error();
  return false;
}

void CycleBook::Abandon() {
  if (register_ != nullptr) register_->Abandon();
  register_.reset();
}

}  // namespace issuing
