// What the records derive from their values: the invoice type, the totals,
// the chain link, the tenant as recipient.
#include "verifactu/records.h"

#include "format/text.h"
#include "verifactu/tax_id.h"

namespace verifactu {

// Built whole rather than assigned field by field: g++ 12 at -O3 warns
// falsely of overlapping copies when literals are assigned to its strings.
SystemIdentity TestSystemIdentity() {
  return {"QANTIRES TEST",
          "89890001K",
          "QANTIRES",
          "QT",
          QANTIRES_VERSION,
          "1",
          true,   // onlyVerifactu
          true,   // severalTaxpayersPossible
          true,   // severalTaxpayers
          true};  // test
}

std::optional<Recipient> TenantRecipient(std::string_view name, std::string_view taxId) {
  const std::string given = format::Trim(taxId);
  if (given.empty()) return std::nullopt;
  Recipient r;
  r.name = format::Trim(name);
  r.nif = SpanishTaxId(given);
  if (r.nif.empty()) r.other = {"ES", "03", given};
  return r;
}

TaxLine TaxedLine(std::string_view regimeKey, int rate, long long baseCents, long long taxCents) {
  return {std::string(regimeKey), "S1", "", rate, baseCents, taxCents};
}

TaxLine ExemptDwellingRent(long long baseCents) {
  return {kGeneralRegime, "", "E1", 0, baseCents, 0};
}

std::string InvoiceType(const Registration& record) {
  return record.recipient ? "F1" : "F2";
}

long long TotalTax(const Registration& record) {
  long long sum = 0;
  for (const TaxLine& line : record.lines) sum += line.taxCents;
  return sum;
}

long long TotalAmount(const Registration& record) {
  long long sum = TotalTax(record);
  for (const TaxLine& line : record.lines) sum += line.baseCents;
  return sum;
}

PreviousRecord LinkTo(const BillingRecord& record) {
  return std::visit([](const auto& r) { return PreviousRecord{r.invoice, r.fingerprint}; }, record);
}

}  // namespace verifactu
