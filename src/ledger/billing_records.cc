// Registration and cancellation records from the register's receipts.  A
// receipt's VAT base is one line taxed at its rate; what of its base is not
// subject to VAT is one exempt line (rent of dwellings, exempt by article 20
// of the VAT law).  Withholding is not part of an invoice's record.
#include "ledger/billing_records.h"

#include <cstdio>

#include "config/company.h"
#include "format/text.h"
#include "ledger/register_settings.h"
#include "verifactu/build_identity.h"
#include "verifactu/fingerprint.h"
#include "verifactu/qr.h"
#include "verifactu/submission.h"
#include "verifactu/tax_id.h"
#include "verifactu/values.h"

namespace ledger {
namespace {

using verifactu::BillingRecord;

// "dd-mm-yyyy" from "yyyy-mm-dd".
std::string RecordDate(const std::string& iso) {
  return iso.size() == 10 ? iso.substr(8, 2) + "-" + iso.substr(5, 2) + "-" + iso.substr(0, 4)
                          : iso;
}

// Each issuer is an installation of its own: the office's tax identifier
// with the issuer's, which no other issuer of any office shares.
verifactu::SystemIdentity IdentityFor(const std::string& issuerNif) {
  verifactu::SystemIdentity id = verifactu::BuiltIdentity();
  const std::string office = verifactu::SpanishTaxId(config::CompanyLine(7));
  id.installationNumber = (office.empty() ? "0" : office) + "-" + issuerNif;
  return id;
}

std::vector<verifactu::TaxLine> TaxLines(const IssuedReceipt& r) {
  std::vector<verifactu::TaxLine> lines;
  int64_t taxedBase = 0;
  for (const ConceptLine& l : r.lines) taxedBase += l.vatBaseCents;
  if (r.vatRate == 0) taxedBase = 0;
  if (taxedBase != 0) {
    lines.push_back(verifactu::TaxedLine(verifactu::kGeneralRegime, static_cast<int>(r.vatRate),
                                         taxedBase, r.vatCents));
  }
  if (r.baseCents - taxedBase != 0 || lines.empty()) {
    lines.push_back(verifactu::ExemptDwellingRent(r.baseCents - taxedBase));
  }
  return lines;
}

verifactu::InvoiceId InvoiceOf(const IssuedReceipt& r) {
  return {IssuerNif(r), SeriesNumber(r), RecordDate(r.issueDate)};
}

// The fingerprint of a registered entry, from the values it keeps.
std::string RecomputedFingerprint(const BillingEntry& e) {
  if (e.kind == "anulacion") {
    return verifactu::Fingerprint(verifactu::CancellationFields{
        e.issuerNif, e.seriesNumber, e.issueDate, e.previousFingerprint, e.generatedAt});
  }
  return verifactu::Fingerprint(verifactu::RegistrationFields{
      e.issuerNif, e.seriesNumber, e.issueDate, e.invoiceType, e.totalTax, e.totalAmount,
      e.previousFingerprint, e.generatedAt});
}

// Where the issuer's chain ends, checked: its last entry matches its own
// fingerprint and follows the one before it.  Empty when sound.
std::string CheckChainEnd(const std::vector<BillingEntry>& last, std::time_t now) {
  if (last.empty()) return {};
  const BillingEntry& end = last[0];
  const std::string which = "the last billing record of " + end.issuerNif + " (" +
                            end.seriesNumber + ")";
  if (RecomputedFingerprint(end) != end.fingerprint) return which + " does not match its fingerprint";
  const bool linked = last.size() > 1 ? end.previousFingerprint == last[1].fingerprint &&
                                            end.chainSeq == last[1].chainSeq + 1
                                      : end.chainSeq == 1 && end.previousFingerprint.empty();
  if (!linked) return which + " does not follow the record before it";
  const std::time_t then = GenerationMoment(end.generatedAt);
  if (then < 0) return which + " has no valid generation time";
  if (now < then - 60) {
    return "the clock is behind " + which + ", made at " + end.generatedAt +
           ": set the computer's clock right";
  }
  return {};
}

// Seals record as the next of its issuer's chain and appends it.
template <typename Record>
std::string Append(Register& reg, Record record, const IssuedReceipt& r, std::time_t now,
                   BillingEntry entry) {
  if (entry.issuerNif.empty()) {
    return "the owner " + r.ownerKey + " has no valid Spanish tax identifier (" + r.ownerTaxId +
           ")";
  }
  std::vector<BillingEntry> last;
  if (!reg.LastBilling(entry.issuerNif, 2, &last)) return reg.error();
  if (std::string problem = CheckChainEnd(last, now); !problem.empty()) return problem;
  if (!last.empty()) {
    record.previous = verifactu::PreviousRecord{
        {last[0].issuerNif, last[0].seriesNumber, last[0].issueDate}, last[0].fingerprint};
  }
  record.system = IdentityFor(entry.issuerNif);
  record.generationTime = verifactu::GenerationTime(now);
  record.fingerprint = verifactu::Fingerprint(record);
  entry.chainSeq = last.empty() ? 1 : last[0].chainSeq + 1;
  entry.receipt = r.id;
  entry.generatedAt = record.generationTime;
  entry.fingerprint = record.fingerprint;
  entry.previousFingerprint = last.empty() ? "" : last[0].fingerprint;
  entry.xml = verifactu::RecordXml(BillingRecord(record));
  if (entry.xml.empty() || entry.generatedAt.empty()) return "the billing record could not be made";
  return reg.AddBilling(&entry) ? "" : reg.error();
}

}  // namespace

std::string SeriesNumber(const IssuedReceipt& r) {
  char number[24];
  std::snprintf(number, sizeof number, "%08lld", static_cast<long long>(r.number));
  return RegisterSettings().series + number;
}

std::string IssuerNif(const IssuedReceipt& r) {
  return verifactu::SpanishTaxId(r.ownerTaxId);
}

std::string QrTextFor(const IssuedReceipt& r) {
  return verifactu::QrUrl(InvoiceOf(r), r.baseCents + r.vatCents,
                          RegisterSettings().environment != "PRODUCCIO");
}

std::string AppendRegistration(Register& reg, const IssuedReceipt& r, std::time_t now,
                               const verifactu::Correction& correction) {
  verifactu::Registration record;
  record.invoice = InvoiceOf(r);
  record.issuerName = r.ownerName;
  record.recipient = verifactu::TenantRecipient(r.tenantName, r.tenantTaxId);
  record.description = "Alquiler y gastos, recibo " + format::Trim(r.reference);
  record.lines = TaxLines(r);
  record.correction = correction;
  BillingEntry entry;
  entry.issuerNif = record.invoice.issuerNif;
  entry.kind = "alta";
  entry.seriesNumber = record.invoice.seriesNumber;
  entry.issueDate = record.invoice.issueDate;
  entry.invoiceType = verifactu::InvoiceType(record);
  entry.totalTax = verifactu::DecimalText(verifactu::TotalTax(record));
  entry.totalAmount = verifactu::DecimalText(verifactu::TotalAmount(record));
  entry.correction = correction.amends ? "S" + correction.previousRejection : "";
  return Append(reg, record, r, now, entry);
}

std::string AppendCancellation(Register& reg, const IssuedReceipt& r, std::time_t now) {
  // The invoice as its registration record named it (the series may have
  // changed since); a receipt issued before it had one needs none.
  std::vector<BillingEntry> chain;
  if (!reg.Billing(IssuerNif(r), &chain)) return reg.error();
  const BillingEntry* registration = nullptr;
  for (const BillingEntry& e : chain) {
    if (e.receipt == r.id && e.kind == "alta") registration = &e;
  }
  if (registration == nullptr) return {};
  verifactu::Cancellation record;
  record.invoice = {registration->issuerNif, registration->seriesNumber, registration->issueDate};
  BillingEntry entry;
  entry.issuerNif = record.invoice.issuerNif;
  entry.kind = "anulacion";
  entry.seriesNumber = record.invoice.seriesNumber;
  entry.issueDate = record.invoice.issueDate;
  return Append(reg, record, r, now, entry);
}

std::time_t GenerationMoment(const std::string& t) {
  int y, mo, d, h, mi, s, oh, om;
  char sign;
  if (t.size() != 25 || std::sscanf(t.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d", &y, &mo, &d, &h,
                                    &mi, &s, &sign, &oh, &om) != 9 ||
      (sign != '+' && sign != '-')) {
    return -1;
  }
  std::tm utc{};
  utc.tm_year = y - 1900;
  utc.tm_mon = mo - 1;
  utc.tm_mday = d;
  utc.tm_hour = h;
  utc.tm_min = mi;
  utc.tm_sec = s;
  const std::time_t local = timegm(&utc);
  const int offset = (oh * 60 + om) * 60;
  return sign == '+' ? local - offset : local + offset;
}

}  // namespace ledger
