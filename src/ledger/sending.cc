// One submission per issuer at a time: the records are claimed in a short
// write transaction, sent with no lock held (an answer may take minutes),
// and the answer kept in another.  A sender killed in between leaves its
// records waiting; its claim runs out after the longest the exchange may
// take, and another sender takes them up.
#include "ledger/sending.h"

#include <algorithm>

#include "config/company.h"
#include "format/text.h"
#include "ledger/register_settings.h"
#include "platform/waits.h"
#include "submission/answer.h"
#include "submission/password.h"
#include "submission/send.h"
#include "verifactu/tax_id.h"

namespace ledger {
namespace {

constexpr int64_t kFirstPause = 60;   // seconds after a first failure, doubled after each
constexpr int64_t kLongestPause = 3600;

submission::SendSettings SettingsForSending() {
  const RegisterSettingsState& s = RegisterSettings();
  submission::SendSettings out;
  out.entorn = submission::EntornFromName(s.environment).value_or(submission::Entorn::kProves);
  out.url = s.url;
  out.certificateFile = s.certificate;
  out.certificatePassword = submission::CertificatePassword(s.certificatePasswordFile).value_or("");
  out.authorityFile = s.authorities;
  return out;
}

// A write transaction, waited for while a cycle holds the register (at
// most a minute).
bool BeginWriting(Register& reg) {
  for (int attempt = 0; attempt < 120; ++attempt) {
    const WriteStart start = reg.BeginWrite();
    if (start == WriteStart::kStarted) return true;
    if (start == WriteStart::kFailed) return false;
    platform::SleepMilliseconds(500);
  }
  return false;
}

std::string StateName(const submission::AnswerLine& line) {
  using submission::HeldState;
  using submission::RecordState;
  if (line.held) {
    return line.held->state == HeldState::kAceptadaConErrores ? "AceptadoConErrores" : "Correcto";
  }
  switch (line.state) {
    case RecordState::kCorrecto:
      return "Correcto";
    case RecordState::kAceptadoConErrores:
      return "AceptadoConErrores";
    case RecordState::kIncorrecto:
      return "Incorrecto";
  }
  return "Incorrecto";
}

// The sent record an answer line is about, or nullptr.
const BillingEntry* SentRecord(const std::vector<BillingEntry>& sent,
                               const submission::AnswerLine& line) {
  const std::string kind =
      line.operation == submission::Operation::kAnulacion ? "anulacion" : "alta";
  for (const BillingEntry& e : sent) {
    if (e.seriesNumber == line.invoice.seriesNumber && e.kind == kind) return &e;
  }
  return nullptr;
}

// Keeps what came of one attempt; the flow's next time follows from it.
bool KeepOutcome(Register& reg, FlowEntry flow, const std::vector<BillingEntry>& sent,
                 const submission::Outcome& outcome, SubmissionEntry attempt) {
  if (!BeginWriting(reg)) return false;
  attempt.records = static_cast<int64_t>(sent.size());
  if (outcome.answered()) {
    attempt.outcome = "answered";
    attempt.csv = outcome.answer->csv;
    attempt.waitSeconds = outcome.answer->waitSeconds > 0 ? outcome.answer->waitSeconds : 60;
    flow.failures = 0;
    flow.nextAt = attempt.attemptedAt + attempt.waitSeconds;
  } else {
    attempt.outcome = "failed";
    attempt.message = submission::EnglishMessage(outcome.failure);
    attempt.operatorMessage = submission::OperatorMessage(outcome.failure);
    flow.failures += 1;
    const int64_t shift = std::min<int64_t>(flow.failures - 1, 6);
    flow.nextAt = attempt.attemptedAt + std::min(kFirstPause << shift, kLongestPause);
  }
  flow.claimedUntil = 0;
  bool ok = reg.AddSubmission(&attempt) && reg.SetFlow(flow);
  if (ok && outcome.answered()) {
    for (const submission::AnswerLine& line : outcome.answer->lines) {
      const BillingEntry* record = SentRecord(sent, line);
      if (record == nullptr) continue;
      ok = ok && reg.AddAnswer({record->id, attempt.id, StateName(line), line.errorCode,
                                line.errorDescription});
    }
  }
  if (ok) return reg.Commit();
  reg.Abandon();
  return false;
}

// One submission of the issuer's waiting records, when the flow lets it go.
// False when nothing more is to be sent for this issuer now.
bool SendOnce(Register& reg, const std::string& issuer, std::time_t now, SendReport* report) {
  if (!BeginWriting(reg)) {
    report->lines.push_back(issuer + ": the register is busy or failed: " + reg.error());
    return false;
  }
  FlowEntry flow;
  std::vector<BillingEntry> waiting;
  if (!reg.Flow(issuer, &flow) ||
      !reg.WaitingBilling(issuer, verifactu::kMaxRecordsPerSubmission, &waiting)) {
    reg.Abandon();
    report->lines.push_back(issuer + ": " + reg.error());
    return false;
  }
  const bool full = waiting.size() == verifactu::kMaxRecordsPerSubmission;
  std::string held;
  if (waiting.empty()) {
    held = "nothing waiting";
  } else if (flow.claimedUntil > now) {
    held = "another sender is at work on it";
  } else if (now < flow.nextAt && !full) {
    held = std::to_string(waiting.size()) + " records wait; the next submission may go in " +
           std::to_string(flow.nextAt - now) + " s";
  }
  const submission::SendSettings settings = SettingsForSending();
  flow.claimedUntil = now + (settings.connectTimeoutMs + settings.totalTimeoutMs) / 1000 + 60;
  if (!held.empty()) {
    reg.Abandon();
    report->lines.push_back(issuer + ": " + held);
    return false;
  }
  if (!reg.SetFlow(flow) || !reg.Commit()) {
    reg.Abandon();
    report->lines.push_back(issuer + ": " + reg.error());
    return false;
  }
  verifactu::Submission document{SubmissionHeader(reg, waiting, flow.failures > 0), {}};
  for (const BillingEntry& e : waiting) document.records.push_back(e.xml);
  const submission::Outcome outcome =
      submission::SendSubmission(settings, verifactu::SubmissionXml(document));
  SubmissionEntry attempt;
  attempt.issuerNif = issuer;
  attempt.attemptedAt = now;
  attempt.incident = document.header.incident;
  if (!KeepOutcome(reg, flow, waiting, outcome, attempt)) {
    report->lines.push_back(issuer + ": the answer could not be kept: " + reg.error());
    return false;
  }
  if (!outcome.answered()) {
    ++report->failed;
    report->lines.push_back(issuer + ": " + submission::EnglishMessage(outcome.failure));
    report->operatorMessage = submission::OperatorMessage(outcome.failure);
    return false;
  }
  ++report->answered;
  report->lines.push_back(issuer + ": " + std::to_string(waiting.size()) +
                          " records sent, CSV " + outcome.answer->csv);
  return full;
}

}  // namespace

verifactu::Header SubmissionHeader(Register& reg, const std::vector<BillingEntry>& records,
                                   bool incident) {
  std::vector<IssuedReceipt> first;
  const std::string name =
      reg.ReceiptById(records.front().receipt, &first) ? first[0].ownerName : std::string();
  return {{name, records.front().issuerNif},
          {format::Trim(config::CompanyLine(1)), verifactu::SpanishTaxId(config::CompanyLine(7))},
          incident};
}

SendReport SendWaiting(Register& reg, std::time_t now) {
  SendReport report;
  std::vector<std::string> issuers;
  if (!reg.IssuersWaiting(&issuers)) {
    report.lines.push_back(reg.error());
    ++report.failed;
    return report;
  }
  for (const std::string& issuer : issuers) {
    while (SendOnce(reg, issuer, now, &report)) {
    }
  }
  if (issuers.empty()) report.lines.push_back("nothing waiting");
  return report;
}

}  // namespace ledger
