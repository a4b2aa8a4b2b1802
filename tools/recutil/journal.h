// The journal of the register: the receipts a listing asks for, grouped by
// owner, with each owner's totals and the grand total.  Cancelled receipts
// are listed but left out of every total.  Texts are code page 850.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ledger/entries.h"
#include "ledger/register.h"

namespace recutil {

struct Totals {
  int64_t receipts = 0;
  int64_t base = 0;
  int64_t vat = 0;
  int64_t withholding = 0;
  int64_t total = 0;
  // Counts the receipt unless it is cancelled.
  void Add(const ledger::IssuedReceipt& r);
};

struct OwnerJournal {
  std::string key;
  std::string name;  // as on the owner's last receipt listed
  std::string taxId;
  std::vector<ledger::IssuedReceipt> receipts;
  Totals totals;
};

struct Journal {
  std::string scope;  // which receipts: "cycle 3, month 2026-12" or "all receipts"
  std::vector<OwnerJournal> owners;
  Totals totals;
  // Lines shown under a receipt (by register id) in the aligned journal:
  // what the agency found wrong with its billing records.
  std::map<int64_t, std::vector<std::string>> notes;
};

// receipts in the register's order (owner, then number).
Journal MakeJournal(std::vector<ledger::IssuedReceipt> receipts,
                    const ledger::ReceiptFilter& filter);

// The line that opens every form of the journal: what it holds, and that
// cancelled receipts are not counted.
std::string JournalHeading(const Journal& journal);

// Cents with a decimal comma: "1.234,56" with a thousands dot, or
// "1234,56" without (thousands false).
std::string Amount(int64_t cents, bool thousands = true);
// The base, VAT, withholding and total cells of a total line.
std::vector<std::string> TotalCells(const Totals& t);
// "1 receipt", "3 receipts".
std::string ReceiptCount(int64_t receipts);
// "0012.0003" for the unit key "00120003".
std::string UnitText(const std::string& unitKey);
// "issued" or "cancelled".
const char* StateText(const ledger::IssuedReceipt& r);

// The journal as aligned lines: a column per field, each owner's receipts
// followed by its total, then the grand total; a receipt's notes under it.
std::vector<std::string> JournalLines(const Journal& journal);

// The journal as a spreadsheet opens it in a Spanish or Catalan locale:
// UTF-8 with a byte-order mark, ";" between fields, CR LF after each row,
// amounts with a decimal comma and no thousands separator, a field holding
// ";", a quote or a line end in quotes (quotes doubled).  A row per
// receipt, then a row per owner total and one for the grand total, told
// apart by the State column ("issued", "cancelled", "owner total",
// "grand total").
std::string JournalCsv(const Journal& journal);

// The journal as the office files it, through KELPRINT's PDF writer: a
// page per owner (more when its receipts do not fit one) ending with its
// total, then a summary page with every owner's total and the grand total.
// Written through platform::NewFile; false with the cause in *error.
bool WriteJournalPdf(const Journal& journal, const std::string& path, std::string* error);

}  // namespace recutil
