// Grouping the register's receipts by owner, and the journal as text.
#include "journal.h"

#include "text_table.h"

namespace recutil {
namespace {

// "cycle 3, month 2026-12", or "all receipts" when nothing is chosen.
std::string ScopeOf(const ledger::ReceiptFilter& filter) {
  std::string scope;
  auto add = [&](const std::string& part) { scope += (scope.empty() ? "" : ", ") + part; };
  if (filter.cycle != 0) add("cycle " + std::to_string(filter.cycle));
  if (!filter.month.empty()) add("month " + filter.month);
  if (!filter.ownerKey.empty()) add("owner " + filter.ownerKey);
  return scope.empty() ? "all receipts" : scope;
}

}  // namespace

void Totals::Add(const ledger::IssuedReceipt& r) {
  if (r.cancelled) return;
  ++receipts;
  base += r.baseCents;
  vat += r.vatCents;
  withholding += r.withholdingCents;
  total += r.totalCents;
}

Journal MakeJournal(std::vector<ledger::IssuedReceipt> receipts,
                    const ledger::ReceiptFilter& filter) {
  Journal journal;
  journal.scope = ScopeOf(filter);
  for (ledger::IssuedReceipt& r : receipts) {
    if (journal.owners.empty() || journal.owners.back().key != r.ownerKey) {
      journal.owners.push_back({r.ownerKey, "", "", {}, {}});
    }
    OwnerJournal& owner = journal.owners.back();
    owner.name = r.ownerName;
    owner.taxId = r.ownerTaxId;
    owner.totals.Add(r);
    journal.totals.Add(r);
    owner.receipts.push_back(std::move(r));
  }
  return journal;
}

std::string JournalHeading(const Journal& journal) {
  return "Receipts of the register: " + journal.scope +
         " (cancelled receipts are shown but not counted in the totals)";
}

std::string Amount(int64_t cents, bool thousands) {
  const bool negative = cents < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cents) : cents;
  std::string whole = std::to_string(magnitude / 100);
  if (thousands) {
    for (size_t at = whole.size(); at > 3; at -= 3) whole.insert(at - 3, 1, '.');
  }
  const unsigned fraction = static_cast<unsigned>(magnitude % 100);
  return (negative ? "-" : "") + whole + "," + static_cast<char>('0' + fraction / 10) +
         static_cast<char>('0' + fraction % 10);
}

std::vector<std::string> TotalCells(const Totals& t) {
  return {Amount(t.base), Amount(t.vat), Amount(t.withholding), Amount(t.total)};
}

std::string ReceiptCount(int64_t receipts) {
  return std::to_string(receipts) + (receipts == 1 ? " receipt" : " receipts");
}

std::string UnitText(const std::string& unitKey) {
  return unitKey.size() == 8 ? unitKey.substr(0, 4) + "." + unitKey.substr(4) : unitKey;
}

const char* StateText(const ledger::IssuedReceipt& r) {
  return r.cancelled ? "cancelled" : "issued";
}

std::vector<std::string> JournalLines(const Journal& journal) {
  TextTable table({{"Owner"},
                   {"Number", true},
                   {"Date"},
                   {"Unit"},
                   {"Tenant"},
                   {"Base", true},
                   {"VAT", true},
                   {"Withholding", true},
                   {"Total", true},
                   {"State"}});
  for (const OwnerJournal& owner : journal.owners) {
    for (const ledger::IssuedReceipt& r : owner.receipts) {
      table.Row({r.ownerKey, std::to_string(r.number), r.issueDate, UnitText(r.unitKey),
                 r.tenantName, Amount(r.baseCents), Amount(r.vatCents), Amount(r.withholdingCents),
                 Amount(r.totalCents), StateText(r)});
      const auto notes = journal.notes.find(r.id);
      if (notes == journal.notes.end()) continue;
      for (const std::string& note : notes->second) table.Note("  " + note);
    }
    std::vector<std::string> total = {"Total owner " + owner.key + " " + owner.name + ": " +
                                      ReceiptCount(owner.totals.receipts)};
    for (std::string& cell : TotalCells(owner.totals)) total.push_back(std::move(cell));
    table.Spanned(5, std::move(total));
    table.Gap();
  }
  std::vector<std::string> grand = {"Grand total: " + ReceiptCount(journal.totals.receipts)};
  for (std::string& cell : TotalCells(journal.totals)) grand.push_back(std::move(cell));
  table.Spanned(5, std::move(grand));
  std::vector<std::string> lines = {JournalHeading(journal), ""};
  for (std::string& line : table.Lines()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace recutil
