// What the register keeps of sending: attempts, the agency's answers per
// record, and each issuer's flow (when the next submission may go).  The
// records themselves never change; an answer is a new entry.
#include "ledger/register.h"
#include "platform/cp850.h"

namespace ledger {

bool Register::IssuersWaiting(std::vector<std::string>* out) {
  out->clear();
  const SqlResult r = db_->Run(
      "SELECT DISTINCT issuer_nif FROM reg_billing b WHERE NOT EXISTS"
      " (SELECT 1 FROM reg_answers a WHERE a.record = b.id) ORDER BY issuer_nif");
  if (!r.ok) return Fail(r.error);
  for (const auto& v : r.rows) out->push_back(v[0]);
  return true;
}

bool Register::AnswersFor(int64_t record, std::vector<AnswerEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(
      "SELECT record, submission, state, code, text FROM reg_answers WHERE record = ?"
      " ORDER BY submission DESC",
      {record});
  if (!r.ok) return Fail(r.error);
  for (const auto& v : r.rows) {
    out->push_back({SqlNumber(v[0]), SqlNumber(v[1]), v[2], v[3], platform::Utf8ToCp850(v[4])});
  }
  return true;
}

bool Register::Flow(const std::string& issuerNif, FlowEntry* out) {
  *out = FlowEntry{issuerNif};
  const SqlResult r = db_->Run(
      "SELECT next_at, failures, claimed_until FROM reg_flow WHERE issuer_nif = ?", {issuerNif});
  if (!r.ok) return Fail(r.error);
  if (!r.rows.empty()) {
    out->nextAt = SqlNumber(r.At(0, 0));
    out->failures = SqlNumber(r.At(0, 1));
    out->claimedUntil = SqlNumber(r.At(0, 2));
  }
  return true;
}

bool Register::SetFlow(const FlowEntry& f) {
  SqlResult r = db_->Run("DELETE FROM reg_flow WHERE issuer_nif = ?", {f.issuerNif});
  if (r.ok) {
    r = db_->Run(
        "INSERT INTO reg_flow (issuer_nif, next_at, failures, claimed_until) VALUES (?, ?, ?, ?)",
        {f.issuerNif, f.nextAt, f.failures, f.claimedUntil});
  }
  return r.ok || Fail(r.error);
}

bool Register::AddSubmission(SubmissionEntry* e) {
  const SqlResult last = db_->Run("SELECT COALESCE(MAX(id), 0) FROM reg_submissions");
  if (!last.ok) return Fail(last.error);
  e->id = SqlNumber(last.At(0, 0)) + 1;
  const SqlResult added = db_->Run(
      "INSERT INTO reg_submissions (id, issuer_nif, attempted_at, outcome, message,"
      " operator_message, csv, wait_seconds, incident, records)"
      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {e->id, e->issuerNif, e->attemptedAt, e->outcome, e->message,
       platform::Cp850ToUtf8(e->operatorMessage), e->csv, e->waitSeconds, e->incident ? "S" : "N",
       e->records});
  return added.ok || Fail(added.error);
}

bool Register::AddAnswer(const AnswerEntry& a) {
  const SqlResult added = db_->Run(
      "INSERT INTO reg_answers (record, submission, state, code, text) VALUES (?, ?, ?, ?, ?)",
      {a.record, a.submission, a.state, a.code, platform::Cp850ToUtf8(a.text)});
  return added.ok || Fail(added.error);
}

namespace {

constexpr const char* kSubmissionColumns =
    "id, issuer_nif, attempted_at, outcome, message, operator_message, csv, wait_seconds,"
    " incident, records";

void AddSubmissions(const SqlResult& r, std::vector<SubmissionEntry>* out) {
  for (const auto& v : r.rows) {
    out->push_back({SqlNumber(v[0]), v[1], SqlNumber(v[2]), v[3], v[4], platform::Utf8ToCp850(v[5]),
                    v[6], SqlNumber(v[7]), v[8] == "S", SqlNumber(v[9])});
  }
}

}  // namespace

bool Register::LatestAttempts(std::vector<SubmissionEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(std::string("SELECT ") + kSubmissionColumns +
                               " FROM reg_submissions s WHERE id = (SELECT MAX(id) FROM"
                               " reg_submissions t WHERE t.issuer_nif = s.issuer_nif)"
                               " ORDER BY issuer_nif");
  if (!r.ok) return Fail(r.error);
  AddSubmissions(r, out);
  return true;
}

bool Register::Submissions(const std::string& issuerNif, int limit,
                           std::vector<SubmissionEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(std::string("SELECT ") + kSubmissionColumns +
                                   " FROM reg_submissions WHERE issuer_nif = ?"
                                   " ORDER BY id DESC LIMIT ?",
                               {issuerNif, limit});
  if (!r.ok) return Fail(r.error);
  AddSubmissions(r, out);
  return true;
}

}  // namespace ledger
