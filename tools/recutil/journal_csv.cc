// The journal for a spreadsheet.  Amounts go without thousands separators:
// with the decimal comma alone a Spanish or Catalan locale reads them as
// numbers, and nothing can be taken for a date or a thousands group.
#include "journal.h"
#include "platform/cp850.h"

namespace recutil {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A code page 850 text as a UTF-8 field, quoted when it holds a separator,
// a quote or a line end.  A text that a spreadsheet would take for a
// formula (a tenant's name typed as "=..." say) gets an apostrophe before
// it, so that it is shown, never evaluated.
std::string Field(const std::string& cp850) {
  std::string text = platform::Cp850ToUtf8(cp850);
  const bool number = text.size() > 1 && text[0] == '-' &&
                      text.find_first_not_of("0123456789,", 1) == std::string::npos;
  if (!text.empty() && std::string("=+-@").find(text[0]) != std::string::npos && !number) {
    text = "'" + text;
  }
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Row(const std::vector<std::string>& fields) {
  std::string row;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ';';
    row += Field(fields[i]);
  }
  return row + "\r\n";
}

std::string TotalRow(const std::string& owner, const std::string& name, const std::string& label,
                     const Totals& t, const char* state) {
  return Row({owner, name, "", "", "", label, Amount(t.base, false), Amount(t.vat, false),
              Amount(t.withholding, false), Amount(t.total, false), state});
}

std::string TotalLabel(const Totals& t) {
  return "Total: " + ReceiptCount(t.receipts) + " (cancelled ones not counted)";
}

}  // namespace

std::string JournalCsv(const Journal& journal) {
  std::string csv = kByteOrderMark;
  csv += Row({"Owner", "Owner name", "Number", "Date", "Unit", "Tenant", "Base", "VAT",
              "Withholding", "Total", "State"});
  for (const OwnerJournal& owner : journal.owners) {
    for (const ledger::IssuedReceipt& r : owner.receipts) {
      csv +=
          Row({r.ownerKey, r.ownerName, std::to_string(r.number), r.issueDate, UnitText(r.unitKey),
               r.tenantName, Amount(r.baseCents, false), Amount(r.vatCents, false),
               Amount(r.withholdingCents, false), Amount(r.totalCents, false), StateText(r)});
    }
  }
  for (const OwnerJournal& owner : journal.owners) {
    csv += TotalRow(owner.key, owner.name, TotalLabel(owner.totals), owner.totals, "owner total");
  }
  return csv + TotalRow("", "", TotalLabel(journal.totals), journal.totals, "grand total");
}

}  // namespace recutil
