// The VERI*FACTU billing records in the register: one chain per issuer,
// appended under the writer lock and never changed.
#include <algorithm>

#include "ledger/register.h"

namespace ledger {
namespace {

constexpr const char* kBillingColumns =
    "id, issuer_nif, chain_seq, kind, receipt, series_number, issue_date, invoice_type,"
    " total_tax, total_amount, generated_at, fingerprint, previous_fingerprint, correction, xml,"
    " cycle";

BillingEntry EntryOf(const std::vector<std::string>& v) {
  return {SqlNumber(v[0]), v[1],  v[2].empty() ? 0 : SqlNumber(v[2]), v[3], SqlNumber(v[4]), v[5], v[6],
          v[7],         v[8],  v[9],  v[10], v[11], v[12], v[13], v[14], SqlNumber(v[15])};
}

}  // namespace

bool Register::LastBilling(const std::string& issuerNif, int count,
                           std::vector<BillingEntry>* last) {
  last->clear();
  if (count <= 2) {
    auto known = chainEnds_.find(issuerNif);
    if (known != chainEnds_.end()) {
      last->assign(known->second.begin(),
                   known->second.begin() + std::min<size_t>(count, known->second.size()));
      return true;
    }
  }
  const SqlResult r = db_->Run(std::string("SELECT ") + kBillingColumns +
                                   " FROM reg_billing WHERE issuer_nif = ?"
                                   " ORDER BY chain_seq DESC LIMIT ?",
                               {issuerNif, count});
  if (!r.ok) return Fail(r.error);
  for (const auto& row : r.rows) last->push_back(EntryOf(row));
  if (count >= 2) {
    chainEnds_[issuerNif].assign(last->begin(),
                                 last->begin() + std::min<size_t>(2, last->size()));
  }
  return true;
}

bool Register::AddBilling(BillingEntry* e) {
  if (nextBillingId_ == 0) {
    const SqlResult last = db_->Run("SELECT COALESCE(MAX(id), 0) FROM reg_billing");
    if (!last.ok) return Fail(last.error);
    nextBillingId_ = SqlNumber(last.At(0, 0)) + 1;
  }
  e->id = nextBillingId_;
  if (e->cycle == 0) e->cycle = cycle_;
  const SqlResult added = db_->Run(
      std::string("INSERT INTO reg_billing (") + kBillingColumns +
          ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {e->id, e->issuerNif, e->chainSeq, e->kind, e->receipt, e->seriesNumber, e->issueDate,
       e->invoiceType, e->totalTax, e->totalAmount, e->generatedAt, e->fingerprint,
       e->previousFingerprint, e->correction, e->xml, e->cycle});
  if (!added.ok) return Fail(added.error);
  ++nextBillingId_;
  std::vector<BillingEntry>& end = chainEnds_[e->issuerNif];
  end.insert(end.begin(), *e);
  end.resize(std::min<size_t>(end.size(), 2));
  return true;
}

bool Register::WaitingBilling(const std::string& issuerNif, int limit,
                              std::vector<BillingEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(std::string("SELECT ") + kBillingColumns +
                                   " FROM reg_billing b WHERE issuer_nif = ? AND NOT EXISTS"
                                   " (SELECT 1 FROM reg_answers a WHERE a.record = b.id)"
                                   " ORDER BY chain_seq LIMIT ?",
                               {issuerNif, limit});
  if (!r.ok) return Fail(r.error);
  for (const auto& row : r.rows) out->push_back(EntryOf(row));
  return true;
}

bool Register::HasRegistration(int64_t receipt, bool* has) {
  const SqlResult r =
      db_->Run("SELECT COUNT(*) FROM reg_billing WHERE receipt = ? AND kind = 'alta'", {receipt});
  if (!r.ok) return Fail(r.error);
  *has = SqlNumber(r.At(0, 0)) > 0;
  return true;
}

bool Register::HoldsBilling(bool* holds) {
  const SqlResult r = db_->Run("SELECT COUNT(*) FROM reg_billing");
  if (!r.ok) return Fail(r.error);
  *holds = SqlNumber(r.At(0, 0)) > 0;
  return true;
}

bool Register::Billing(const std::string& issuerNif, std::vector<BillingEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(std::string("SELECT ") + kBillingColumns +
                                   " FROM reg_billing WHERE (? = '' OR issuer_nif = ?)"
                                   " ORDER BY issuer_nif, chain_seq",
                               {issuerNif, issuerNif});
  if (!r.ok) return Fail(r.error);
  for (const auto& row : r.rows) out->push_back(EntryOf(row));
  return true;
}

}  // namespace ledger
