// The register's listings, its cancellation and its check.
#include "register_commands.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

#include "billing_answers.h"
#include "journal.h"
#include "ledger/billing_records.h"
#include "platform/clock.h"
#include "platform/cp850.h"
#include "platform/identity.h"
#include "platform/new_file.h"
#include "register_access.h"
#include "text_table.h"

namespace recutil {
namespace {

int Fail(const std::string& what) {
  std::fprintf(stderr, "recutil: register: %s\n", what.c_str());
  return 1;
}

void Print(std::FILE* out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::fprintf(out, "%s\n", platform::Cp850ToUtf8(line).c_str());
  }
}

std::string Now() {
  const platform::DateTime t = platform::Today();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string Which(const std::string& ownerKey, int64_t number) {
  return "receipt " + std::to_string(number) + " of owner " + ownerKey;
}

// One receipt as the journal shows it, with its lines.
std::vector<std::string> ReceiptLines(const ledger::IssuedReceipt& r) {
  TextTable table({{"Owner"}, {"Number", true}, {"Date"}, {"Unit"}, {"Tenant"}, {"Total", true}});
  table.Row({r.ownerKey + " " + r.ownerName, std::to_string(r.number), r.issueDate,
             UnitText(r.unitKey), r.tenantName, Amount(r.totalCents)});
  std::vector<std::string> lines = table.Lines();
  for (const ledger::ConceptLine& l : r.lines) {
    lines.push_back("  " + l.name + ": " + Amount(l.cents));
  }
  return lines;
}

// The answer to "cancel?": yes only for "y" or "yes", in any case.
bool Confirmed(std::FILE* in, std::FILE* out) {
  std::fputs("cancel? [y/N] ", out);
  std::fflush(out);
  char answer[16] = {};
  if (std::fgets(answer, sizeof answer, in) == nullptr) return false;
  std::string word(answer);
  while (!word.empty() && (word.back() == '\n' || word.back() == '\r' || word.back() == ' ')) {
    word.pop_back();
  }
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word == "y" || word == "yes";
}

}  // namespace

bool OwnerKeyOf(const std::string& text, std::string* key) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  *key = std::string(4 - text.size(), '0') + text;
  return true;
}

int ListRegister(const ledger::RegisterPlace& place, const ListOptions& options, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  std::vector<ledger::IssuedReceipt> receipts;
  if (!reg->Receipts(options.filter, &receipts)) return Fail(reg->error());
  Journal journal = MakeJournal(std::move(receipts), options.filter);
  if (options.csv.empty() && options.pdf.empty()) {
    if (!ReceiptNotes(*reg, &journal.notes)) return Fail(reg->error());
    Print(out, JournalLines(journal));
    return 0;
  }
  if (!options.csv.empty()) {
    if (!platform::WriteNewFile(options.csv, JournalCsv(journal))) {
      return Fail("cannot write " + options.csv);
    }
    std::fprintf(out, "written %s\n", options.csv.c_str());
  }
  if (!options.pdf.empty()) {
    if (!WriteJournalPdf(journal, options.pdf, &error)) {
      return Fail("cannot write " + options.pdf + ": " + error);
    }
    std::fprintf(out, "written %s\n", options.pdf.c_str());
  }
  return 0;
}

int ListRemittances(const ledger::RegisterPlace& place, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  // Remittances first: the receipts read after them include every one they
  // name, as a cycle commits its receipts with its remittance.
  std::vector<ledger::RemittanceEntry> remittances;
  std::vector<ledger::IssuedReceipt> receipts;
  if (!reg->Remittances(&remittances) || !reg->Receipts({}, &receipts)) return Fail(reg->error());
  std::map<int64_t, const ledger::IssuedReceipt*> byId;
  for (const ledger::IssuedReceipt& r : receipts) byId[r.id] = &r;
  if (remittances.empty()) std::fputs("no remittances in the register\n", out);
  for (const ledger::RemittanceEntry& m : remittances) {
    Print(out, {"Remittance " + std::to_string(m.id) + ": " + m.file + ", collection " +
                m.collectionDate + ", " + ReceiptCount(m.count) + ", " + Amount(m.cents) +
                ", cycle " + std::to_string(m.cycle)});
    TextTable table({{"Owner"}, {"Number", true}, {"Unit"}, {"Total", true}});
    for (int64_t id : m.receipts) {
      const auto found = byId.find(id);
      if (found == byId.end()) {
        table.Row({"?", "", "", "register id " + std::to_string(id) + " not in the register"});
        continue;
      }
      const ledger::IssuedReceipt& r = *found->second;
      table.Row({r.ownerKey, std::to_string(r.number), UnitText(r.unitKey), Amount(r.totalCents)});
    }
    for (const std::string& line : table.Lines()) Print(out, {"  " + line});
  }
  return 0;
}

int CancelReceipt(const ledger::RegisterPlace& place, const std::string& ownerKey, int64_t number,
                  bool yes, std::FILE* in, bool terminal, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  ledger::ReceiptFilter filter;
  filter.ownerKey = ownerKey;
  std::vector<ledger::IssuedReceipt> receipts;
  if (!reg->Receipts(filter, &receipts)) return Fail(reg->error());
  const ledger::IssuedReceipt* found = nullptr;
  for (const ledger::IssuedReceipt& r : receipts) {
    if (r.number == number) found = &r;
  }
  if (found == nullptr) return Fail("no " + Which(ownerKey, number));
  if (found->cancelled) return Fail(Which(ownerKey, number) + " is cancelled already");
  Print(out, ReceiptLines(*found));
  if (!yes && !terminal) {
    Fail("not cancelled: without a terminal to ask on, give --yes");
    return 2;
  }
  if (!yes && !Confirmed(in, out)) return Fail("not cancelled");
  const ledger::CycleEntry who{0, Now(), platform::HostName(), platform::UserName(), ""};
  // With VERI*FACTU, the cancellation record goes into the invoice's chain
  // in the same step as the cancellation itself.
  std::string billingProblem;
  auto cancellationRecord = [&](const ledger::IssuedReceipt& r) {
    billingProblem = ledger::AppendCancellation(*reg, r, std::time(nullptr));
    return billingProblem.empty();
  };
  switch (reg->Cancel(ownerKey, number, who, cancellationRecord)) {
    case ledger::CancelOutcome::kCancelled:
      std::fprintf(out, "cancelled %s\n", Which(ownerKey, number).c_str());
      return 0;
    case ledger::CancelOutcome::kNotFound:
      return Fail("no " + Which(ownerKey, number));
    case ledger::CancelOutcome::kAlreadyCancelled:
      return Fail(Which(ownerKey, number) + " is cancelled already");
    case ledger::CancelOutcome::kBusy:
      return Fail("another program is writing the register (an issuing cycle?); try again later");
    case ledger::CancelOutcome::kFailed:
      break;
  }
  return Fail(billingProblem.empty() ? reg->error() : "not cancelled: " + billingProblem);
}

int CheckRegister(const ledger::RegisterPlace& place, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  std::vector<std::string> faults;
  if (!reg->Check(&faults)) return Fail(reg->error());
  for (const std::string& fault : faults) std::fprintf(out, "%s\n", fault.c_str());
  std::fprintf(out, "register: %s\n", faults.empty() ? "sound" : "damaged");
  return faults.empty() ? 0 : 1;
}

}  // namespace recutil
