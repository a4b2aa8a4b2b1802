// The VERI*FACTU commands of recutil register.  Sending and the documents
// it sends come from the ledger layer, so that what `xml` writes and what
// `send` sends are the same; the correction reads the unit's record
// read-only, as the program's own files are never written here.
#include "verifactu_commands.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "billing_answers.h"
#include "format/packed.h"
#include "format/text.h"
#include "ledger/billing_records.h"
#include "ledger/billing_settings.h"
#include "ledger/sending.h"
#include "office/record_layouts.h"
#include "platform/cp850.h"
#include "record_handle.h"
#include "register_access.h"
#include "verifactu/submission.h"

namespace recutil {
namespace {

int Fail(const std::string& what) {
  std::fprintf(stderr, "recutil: register: %s\n", platform::Cp850ToUtf8(what).c_str());
  return 1;
}

void Print(std::FILE* out, const std::string& line) {
  std::fprintf(out, "%s\n", platform::Cp850ToUtf8(line).c_str());
}

// "yyyy-mm-dd hh:mm:ss", local time.
std::string LocalTime(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string Which(const std::string& ownerKey, int64_t number) {
  return "receipt " + std::to_string(number) + " of owner " + ownerKey;
}

struct IssuerCounts {
  int waiting = 0, accepted = 0, withErrors = 0, rejected = 0, corrected = 0;
};

IssuerCounts Count(const std::vector<const AnsweredRecord*>& records) {
  IssuerCounts c;
  for (const AnsweredRecord* r : records) {
    if (!r->answer)
      ++c.waiting;
    else if (r->Rejected())
      ++c.rejected;
    else if (r->WithErrors())
      ++c.withErrors;
    else
      ++c.accepted;
    if (r->corrected) ++c.corrected;
  }
  return c;
}

std::string LastAttempt(ledger::Register& reg, const std::string& issuer) {
  std::vector<ledger::SubmissionEntry> last;
  if (!reg.Submissions(issuer, 1, &last)) return "unknown: " + reg.error();
  if (last.empty()) return "none";
  const ledger::SubmissionEntry& s = last[0];
  return LocalTime(s.attemptedAt) + ", " +
         (s.outcome == "answered" ? "answered, CSV " + s.csv : "failed: " + s.message);
}

// When the sending would send the issuer's waiting records (as SendWaiting
// decides it).
std::string NextSubmission(ledger::Register& reg, const std::string& issuer, int waiting,
                           std::time_t now) {
  ledger::FlowEntry flow;
  if (waiting == 0) return "nothing waiting";
  if (!reg.Flow(issuer, &flow)) return "unknown: " + reg.error();
  if (flow.claimedUntil > now) return "another sender is at work on it";
  if (flow.nextAt <= now || waiting >= static_cast<int>(verifactu::kMaxRecordsPerSubmission)) {
    return "now";
  }
  return LocalTime(flow.nextAt) + " (in " + std::to_string(flow.nextAt - now) + " s)";
}

void ShowIssuer(ledger::Register& reg, const std::vector<const AnsweredRecord*>& records,
                std::time_t now, std::FILE* out) {
  const std::string& issuer = records.front()->entry.issuerNif;
  std::vector<ledger::IssuedReceipt> receipt;
  const std::string owner =
      reg.ReceiptById(records.front()->entry.receipt, &receipt) ? receipt[0].ownerName : "";
  const IssuerCounts c = Count(records);
  Print(out, issuer + " " + owner);
  Print(out, "  waiting " + std::to_string(c.waiting) + ", accepted " + std::to_string(c.accepted) +
                 ", accepted with errors " + std::to_string(c.withErrors) + ", rejected " +
                 std::to_string(c.rejected) + ", corrected " + std::to_string(c.corrected));
  Print(out, "  last attempt: " + LastAttempt(reg, issuer));
  Print(out, "  next submission: " + NextSubmission(reg, issuer, c.waiting, now));
  for (const AnsweredRecord* r : records) {
    if (r->Rejected() || r->WithErrors()) {
      Print(out, "  " + r->entry.seriesNumber + " " + r->entry.issueDate + " " + AnswerNote(*r));
    }
  }
}

// The unit's tenant as its record holds it now.  Empty when read; else why
// it could not be.
std::string ReadTenant(const std::string& root, const std::string& unitKey, std::string* name,
                       std::string* taxId) {
  const std::string file = root + "DADES/DepartaV.dat";
  Handle h;
  int16_t status = h.Open(file, btrieve::kOpenReadOnly);
  if (status != btrieve::kStatusOk) {
    return "cannot open " + file + " (status " + std::to_string(status) + ")";
  }
  std::vector<char> data(kBufferSize);
  uint32_t length = kBufferSize;
  char key[256] = {};
  const std::string packed = format::PackDigits(unitKey);
  std::copy(packed.begin(), packed.end(), key);
  status = BTRCALL(btrieve::kBtrGetEqual, h.block, data.data(), &length, key, 255, 0);
  if (status != btrieve::kStatusOk) {
    return "no unit " + unitKey + " in " + file + " (status " + std::to_string(status) + ")";
  }
  office::RecordArea<office::kUnitLength> area{};
  std::copy_n(data.begin(), std::min<size_t>(length, area.size()), area.begin());
  const office::UnitView unit(area);
  *name = format::TrimRight(unit.TenantName());
  *taxId = format::Trim(unit.FiscalId());
  return {};
}

// Why the receipt's latest registration record cannot be corrected; empty
// when it can.  *rejected tells a rejection from an acceptance with errors.
std::string Uncorrectable(const std::vector<AnsweredRecord>& records, int64_t receipt,
                          bool* rejected) {
  const AnsweredRecord* latest = nullptr;
  for (const AnsweredRecord& r : records) {
    if (r.entry.receipt == receipt && r.entry.kind == "alta") latest = &r;
  }
  if (latest == nullptr) return "has no billing record";
  if (!latest->answer) {
    return latest->entry.correction.empty() ? "has a billing record the agency has not answered yet"
                                            : "has a correction waiting to be sent already";
  }
  *rejected = latest->Rejected();
  if (!*rejected && !latest->WithErrors()) {
    return "has a billing record the agency accepted without errors";
  }
  return {};
}

}  // namespace

int SendRegister(const ledger::RegisterPlace& place, std::time_t now, std::FILE* out) {
  if (const std::string problem = ledger::BillingSettingsProblem(place); !problem.empty()) {
    return Fail("nothing sent: " + problem);
  }
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  const ledger::SendReport report = ledger::SendWaiting(*reg, now);
  for (const std::string& line : report.lines) Print(out, line);
  if (report.failed == 0) return 0;
  return Fail(std::to_string(report.failed) +
              " attempt(s) failed: their records wait for the next sending");
}

int ShowBillingStatus(const ledger::RegisterPlace& place, std::time_t now, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  std::vector<AnsweredRecord> records;
  if (!AnsweredRecords(*reg, "", &records)) return Fail(reg->error());
  if (records.empty()) Print(out, "no billing records in the register");
  std::map<std::string, std::vector<const AnsweredRecord*>> byIssuer;
  for (const AnsweredRecord& r : records) byIssuer[r.entry.issuerNif].push_back(&r);
  for (const auto& [issuer, ofIssuer] : byIssuer) ShowIssuer(*reg, ofIssuer, now, out);
  return 0;
}

int WriteWaitingXml(const ledger::RegisterPlace& place, const std::string& dir, std::FILE* out) {
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  std::vector<std::string> issuers;
  if (!reg->IssuersWaiting(&issuers)) return Fail(reg->error());
  if (issuers.empty()) Print(out, "nothing waiting");
  const std::string folder = dir.empty() || dir.back() == '/' ? dir : dir + "/";
  for (const std::string& issuer : issuers) {
    std::vector<ledger::BillingEntry> waiting;
    ledger::FlowEntry flow;
    if (!reg->WaitingBilling(issuer, std::numeric_limits<int>::max(), &waiting) ||
        !reg->Flow(issuer, &flow)) {
      return Fail(reg->error());
    }
    const size_t size = verifactu::kMaxRecordsPerSubmission;
    for (size_t first = 0; first < waiting.size(); first += size) {
      const std::vector<ledger::BillingEntry> part(
          waiting.begin() + first, waiting.begin() + std::min(first + size, waiting.size()));
      // Only the first document goes after the failures: an answer to it
      // clears them before the next.
      verifactu::Submission document{
          ledger::SubmissionHeader(*reg, part, first == 0 && flow.failures > 0), {}};
      for (const ledger::BillingEntry& e : part) document.records.push_back(e.xml);
      std::string suffix;
      if (first > 0) suffix = '-' + std::to_string(first / size + 1);
      const std::string path = folder + issuer + suffix + ".xml";
      if (!verifactu::WriteSubmission(path, document)) return Fail("cannot write " + path);
      Print(out, path + ": " + std::to_string(part.size()) + " records");
    }
  }
  return 0;
}

int CorrectReceipt(const ledger::RegisterPlace& place, const std::string& ownerKey, int64_t number,
                   std::time_t now, std::FILE* out) {
  if (const std::string problem = ledger::BillingSettingsProblem(place); !problem.empty()) {
    return Fail("not corrected: " + problem);
  }
  std::string error;
  std::unique_ptr<ledger::Register> reg = OpenExistingRegister(place, &error);
  if (reg == nullptr) return Fail(error);
  ledger::ReceiptFilter filter;
  filter.ownerKey = ownerKey;
  std::vector<ledger::IssuedReceipt> receipts;
  if (!reg->Receipts(filter, &receipts)) return Fail(reg->error());
  const auto found =
      std::find_if(receipts.begin(), receipts.end(),
                   [&](const ledger::IssuedReceipt& r) { return r.number == number; });
  if (found == receipts.end()) return Fail("no " + Which(ownerKey, number));
  if (found->cancelled) return Fail(Which(ownerKey, number) + " is cancelled");
  ledger::IssuedReceipt corrected = *found;
  error = ReadTenant(place.root, found->unitKey, &corrected.tenantName, &corrected.tenantTaxId);
  if (!error.empty()) return Fail("not corrected: " + error);
  switch (reg->BeginWrite()) {
    case ledger::WriteStart::kStarted:
      break;
    case ledger::WriteStart::kBusy:
      return Fail("another program is writing the register (an issuing cycle?); try again later");
    case ledger::WriteStart::kFailed:
      return Fail(reg->error());
  }
  // Checked in the write transaction, so that two corrections of one
  // receipt cannot both pass.
  std::vector<AnsweredRecord> records;
  bool rejected = false;
  if (!AnsweredRecords(*reg, ledger::IssuerNif(*found), &records)) {
    error = reg->error();
  } else if (const std::string why = Uncorrectable(records, found->id, &rejected); !why.empty()) {
    error = Which(ownerKey, number) + " " + why;
  } else {
    error = ledger::AppendRegistration(*reg, corrected, now, {true, rejected ? "S" : ""});
  }
  if (!error.empty() || !reg->Commit()) {
    reg->Abandon();
    return Fail("not corrected: " + (error.empty() ? reg->error() : error));
  }
  Print(out, "correction of " + Which(ownerKey, number) + " registered for tenant " +
                 corrected.tenantName + " (" + corrected.tenantTaxId +
                 "); the next sending sends it");
  return 0;
}

}  // namespace recutil
