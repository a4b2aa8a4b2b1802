// Reading the agency's answers beside the records they are about.
#include "billing_answers.h"

#include <algorithm>

namespace recutil {

bool AnsweredRecords(ledger::Register& reg, const std::string& issuerNif,
                     std::vector<AnsweredRecord>* out) {
  out->clear();
  std::vector<ledger::BillingEntry> entries;
  if (!reg.Billing(issuerNif, &entries)) return false;
  std::vector<ledger::AnswerEntry> answers;
  for (ledger::BillingEntry& e : entries) {
    if (!reg.AnswersFor(e.id, &answers)) return false;
    AnsweredRecord record{std::move(e), std::nullopt, false};
    if (!answers.empty()) record.answer = answers.front();
    out->push_back(std::move(record));
  }
  // A correction corrects every registration record of its receipt made
  // before it (ids grow as records are added).
  std::map<int64_t, int64_t> lastCorrection;  // receipt -> its latest correction's id
  for (const AnsweredRecord& r : *out) {
    if (r.entry.kind == "alta" && !r.entry.correction.empty()) {
      lastCorrection[r.entry.receipt] = std::max(lastCorrection[r.entry.receipt], r.entry.id);
    }
  }
  for (AnsweredRecord& r : *out) {
    const auto found = lastCorrection.find(r.entry.receipt);
    r.corrected =
        r.entry.kind == "alta" && found != lastCorrection.end() && found->second > r.entry.id;
  }
  return true;
}

std::string AnswerNote(const AnsweredRecord& record) {
  const ledger::AnswerEntry& a = *record.answer;
  return std::string(record.Rejected() ? "rejected " : "accepted with errors ") + a.code + ": " +
         a.text + (record.corrected ? ", corrected since" : "");
}

bool ReceiptNotes(ledger::Register& reg, std::map<int64_t, std::vector<std::string>>* notes) {
  notes->clear();
  std::vector<AnsweredRecord> records;
  if (!AnsweredRecords(reg, "", &records)) return false;
  for (const AnsweredRecord& r : records) {
    if (r.entry.kind == "alta" && (r.Rejected() || r.WithErrors())) {
      (*notes)[r.entry.receipt].push_back("billing record " + r.entry.seriesNumber + " " +
                                          AnswerNote(r));
    }
  }
  return true;
}

}  // namespace recutil
