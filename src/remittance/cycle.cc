// From the domiciled receipts of a cycle to the file: which receipts go,
// which are left out and why, where the file goes, and what the operator
// is told.
#include "remittance/cycle.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "config/session_settings.h"
#include "format/dates.h"
#include "format/packed.h"
#include "office/remittance_settings.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/program_state.h"
#include "remittance/check_digits.h"
#include "remittance/collection_date.h"
#include "remittance/creditor.h"
#include "remittance/document.h"
#include "remittance/messages.h"
#include "remittance/sepa_text.h"

namespace remittance {
namespace {

// "2026-12-01" from a packed date.
std::string IsoDate(const std::string& packed) {
  const std::string digits = format::UnpackDigits(packed);
  return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
}

std::string UnitNumbers(const std::string& unitKey) {
  const std::string digits = format::UnpackDigits(unitKey);
  return digits.substr(0, 4) + "." + digits.substr(4, 4);
}

// Why the receipt cannot be a debit from that account for those cents;
// nothing when it can.
std::optional<LeftOutReason> Refusal(const DomiciledReceipt& r, const std::string& account,
                                     long long cents) {
  if (account.empty()) return LeftOutReason::kBlankAccount;
  if (!IsValidIban(account)) return LeftOutReason::kBadAccount;
  if (SepaText(r.tenantName, kNameLength).empty()) return LeftOutReason::kNoName;
  if (cents <= 0) return LeftOutReason::kNoAmount;
  return std::nullopt;
}

Debit MakeDebit(const DomiciledReceipt& r, const std::string& account, long long cents) {
  Debit d;
  d.debtorAccount = account;
  d.cents = cents;
  d.endToEndId = format::UnpackDigits(r.ownerKey) + "-" + r.number;
  d.mandateId = "DEP" + format::UnpackDigits(r.unitKey);
  d.debtorName = r.tenantName;
  d.ultimateCreditor = r.ownerName;
  d.remittanceText = "REBUT " + r.number + " PERIODE " + r.period + " REF " + r.reference;
  return d;
}

std::string FilePath(const std::string& collectionDate) {
  const std::string& file =
      Overrides().file.empty() ? office::RemittanceSettings().file : Overrides().file;
  if (!file.empty()) return platform::NativePath(file);
  return platform::NativePath(config::Settings().SessionDir + "Remesa-" +
                              format::UnpackDigits(collectionDate) + ".xml");
}

// Unique per second and office: the program's name and the creation time.
std::string MessageId(const platform::DateTime& t) {
  char id[40];
  std::snprintf(id, sizeof id, "QANTIRES-%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return id;
}

// The debits of the receipts that can go into the file; the others into
// result.leftOut.
std::vector<Debit> SortReceipts(const std::vector<DomiciledReceipt>& receipts,
                                const std::string& collection, RemittanceResult& result) {
  std::vector<Debit> debits;
  result.collectionDate = IsoDate(collection);
  for (size_t i = 0; i < receipts.size(); ++i) {
    const DomiciledReceipt& r = receipts[i];
    const std::string account = CompactAccount(r.account);
    const long long cents = std::llround(r.total);
    if (const auto why = Refusal(r, account, cents)) {
      result.leftOut.push_back({UnitNumbers(r.unitKey), *why});
      continue;
    }
    debits.push_back(MakeDebit(r, account, cents));
    debits.back().collectionDate = result.collectionDate;
    result.held.push_back(i);
  }
  return debits;
}

void Write(Document& doc, RemittanceResult& result, const config::TellOperator& tell) {
  doc.created = platform::Today();
  doc.messageId = MessageId(doc.created);
  result.debits = static_cast<int>(doc.debits.size());
  for (const Debit& d : doc.debits) result.cents += d.cents;
  const bool written = WriteDocument(result.path, doc);
  result.outcome = written ? RemittanceOutcome::kWritten : RemittanceOutcome::kWriteFailed;
  tell(written ? WrittenMessage(result.debits, result.cents, result.path)
               : WriteFailedMessage(result.path));
}

}  // namespace

RunOverrides& Overrides() {
  static RunOverrides overrides;
  return overrides;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kRemittance, "remittance::Overrides", [] { Overrides() = RunOverrides{}; });
}  // namespace

std::string SetOverrides(const std::string& file, const std::string& typedDate) {
  Overrides().file = file;
  Overrides().collectionDate.clear();
  if (typedDate.empty()) return {};
  if (format::IsInvalidDate(typedDate)) return "not a valid collection date: " + typedDate;
  Overrides().collectionDate = format::ParseDate(typedDate);
  return {};
}

bool RemittanceWanted() {
  return office::RemittanceSettings().enabled || !Overrides().file.empty();
}

RemittanceResult WriteCycleRemittance(const std::vector<DomiciledReceipt>& receipts,
                                      const std::string& issueDate,
                                      const config::TellOperator& tell) {
  RemittanceResult result;
  if (!RemittanceWanted()) return result;
  // A DiesPrevis that is no number of days refuses the file below; the
  // usual notice only names the file meant.
  const std::optional<int> noticeDays = NoticeDays();
  const std::string collection = Overrides().collectionDate.empty()
                                     ? DefaultCollectionDate(issueDate, noticeDays.value_or(2))
                                     : Overrides().collectionDate;
  result.path = FilePath(collection);
  Document doc;
  doc.debits = SortReceipts(receipts, collection, result);
  std::vector<std::string> problems;
  doc.creditor = CreditorFromSettings(&problems);
  if (!noticeDays) problems.push_back("[Remesa] DiesPrevis");
  if (!result.leftOut.empty()) tell(LeftOutMessage(result.leftOut));
  if (!problems.empty()) {
    result.outcome = RemittanceOutcome::kRefused;
    tell(RefusedMessage(problems));
  } else if (doc.debits.empty()) {
    result.outcome = RemittanceOutcome::kEmpty;
    tell(EmptyMessage(result.path, platform::FileExists(result.path)));
  } else {
    Write(doc, result, tell);
  }
  return result;
}

}  // namespace remittance
