// The journal on paper.  The pages are laid out here as lines of text and
// drawn by KELPRINT's own PDF writer, so the journal looks like every other
// printout of the office (same font, same code page 850 glyphs) without a
// spool or a second program in between.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "journal.h"
#include "outputs.h"
#include "platform/new_file.h"
#include "text_table.h"

namespace recutil {
namespace {

// Lines on a page: what fits A4 at the size the writer gives 80 columns.
constexpr size_t kLinesPerPage = 60;

// A part of the journal: lines that head each of its pages, and a table
// whose title row is repeated on each of them.
struct Section {
  std::vector<std::string> heading;
  std::vector<std::string> table;
};

std::vector<kelprint::Page> Paginate(const Section& s) {
  const size_t room = kLinesPerPage - s.heading.size() - 2;  // the page's number, the titles
  std::vector<kelprint::Page> pages;
  for (size_t at = 1; at < s.table.size() || pages.empty(); at += room) {
    kelprint::Page page;
    page.lines = s.heading;
    page.lines.push_back(s.table[0]);
    const size_t end = std::min(s.table.size(), at + room);
    for (size_t i = at; i < end; ++i) page.lines.push_back(s.table[i]);
    pages.push_back(std::move(page));
  }
  return pages;
}

std::vector<std::string> Heading(const Journal& journal, const std::string& what) {
  return {"Receipts of the register: " + journal.scope,
          "Cancelled receipts are shown but not counted in the totals.", what, ""};
}

Section OwnerSection(const Journal& journal, const OwnerJournal& owner) {
  TextTable table({{"Number", true},
                   {"Date"},
                   {"Unit"},
                   {"Tenant"},
                   {"Base", true},
                   {"VAT", true},
                   {"Withholding", true},
                   {"Total", true},
                   {"State"}});
  for (const ledger::IssuedReceipt& r : owner.receipts) {
    table.Row({std::to_string(r.number), r.issueDate, UnitText(r.unitKey), r.tenantName,
               Amount(r.baseCents), Amount(r.vatCents), Amount(r.withholdingCents),
               Amount(r.totalCents), StateText(r)});
  }
  table.Gap();
  std::vector<std::string> total = {"Total: " + ReceiptCount(owner.totals.receipts)};
  for (std::string& cell : TotalCells(owner.totals)) total.push_back(std::move(cell));
  table.Spanned(4, std::move(total));
  const std::string taxId = owner.taxId.empty() ? "" : "  (" + owner.taxId + ")";
  return {Heading(journal, "Owner " + owner.key + "  " + owner.name + taxId), table.Lines()};
}

Section SummarySection(const Journal& journal) {
  TextTable table({{"Owner"},
                   {"Name"},
                   {"Receipts", true},
                   {"Base", true},
                   {"VAT", true},
                   {"Withholding", true},
                   {"Total", true}});
  auto row = [&](const std::string& key, const std::string& name, const Totals& t) {
    std::vector<std::string> cells = {key, name, std::to_string(t.receipts)};
    for (std::string& cell : TotalCells(t)) cells.push_back(std::move(cell));
    table.Row(std::move(cells));
  };
  for (const OwnerJournal& owner : journal.owners) row(owner.key, owner.name, owner.totals);
  table.Gap();
  row("", "Grand total", journal.totals);
  return {Heading(journal, "Summary of the owners"), table.Lines()};
}

// Every page, each numbered on a first line of its own.
std::vector<kelprint::Page> JournalPages(const Journal& journal) {
  std::vector<kelprint::Page> pages;
  for (const OwnerJournal& owner : journal.owners) {
    for (kelprint::Page& page : Paginate(OwnerSection(journal, owner))) {
      pages.push_back(std::move(page));
    }
  }
  for (kelprint::Page& page : Paginate(SummarySection(journal))) pages.push_back(std::move(page));
  for (size_t i = 0; i < pages.size(); ++i) {
    pages[i].lines.insert(pages[i].lines.begin(), "REGISTER OF RECEIPTS - page " +
                                                      std::to_string(i + 1) + " of " +
                                                      std::to_string(pages.size()));
    pages[i].length = static_cast<int>(pages[i].lines.size());
  }
  return pages;
}

}  // namespace

bool WriteJournalPdf(const Journal& journal, const std::string& path, std::string* error) {
  const std::vector<kelprint::Page> pages = JournalPages(journal);
  size_t columns = 0, rows = 0;
  for (const kelprint::Page& page : pages) {
    rows = std::max(rows, page.lines.size());
    for (const std::string& line : page.lines) columns = std::max(columns, line.size());
  }
  platform::NewFile file(path);
  if (!file.ok()) {
    *error = std::strerror(file.error());
    return false;
  }
  std::unique_ptr<kelprint::PageWriter> writer =
      kelprint::MakePdfWriter(file.file(), static_cast<int>(columns), static_cast<int>(rows));
  for (const kelprint::Page& page : pages) writer->AddPage(page);
  if (!writer->Finish(error)) return false;
  if (!file.Commit()) {
    *error = std::strerror(file.error() != 0 ? file.error() : EIO);
    return false;
  }
  return true;
}

}  // namespace recutil
