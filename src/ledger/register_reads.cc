// Reading the register: a unit's receipt of a month, the journal's
// receipts, the remittances and the cycles.
#include "ledger/register.h"
#include "platform/cp850.h"

namespace ledger {
namespace {

std::string Cp850(const std::string& utf8) {
  return platform::Utf8ToCp850(utf8);
}

constexpr const char* kReceiptColumns =
    "r.id, r.cycle, r.owner_key, r.owner_name, r.owner_tax_id, r.number, r.unit_key,"
    " r.reference, r.tenant_name, r.tenant_tax_id, r.issue_date, r.period, r.collection_form,"
    " r.base, r.vat_rate, r.vat, r.withholding_rate, r.withholding, r.total, r.currency,"
    " r.layout, (SELECT COUNT(*) FROM reg_cancellations c WHERE c.receipt = r.id),"
    " (SELECT COUNT(*) FROM reg_remittance_receipts m WHERE m.receipt = r.id)";

IssuedReceipt ReceiptOf(const std::vector<std::string>& v) {
  IssuedReceipt r;
  r.id = SqlNumber(v[0]);
  r.cycle = SqlNumber(v[1]);
  r.ownerKey = v[2];
  r.ownerName = Cp850(v[3]);
  r.ownerTaxId = Cp850(v[4]);
  r.number = SqlNumber(v[5]);
  r.unitKey = v[6];
  r.reference = Cp850(v[7]);
  r.tenantName = Cp850(v[8]);
  r.tenantTaxId = Cp850(v[9]);
  r.issueDate = v[10];
  r.period = v[11];
  r.collectionForm = Cp850(v[12]);
  r.baseCents = SqlNumber(v[13]);
  r.vatRate = SqlNumber(v[14]);
  r.vatCents = SqlNumber(v[15]);
  r.withholdingRate = SqlNumber(v[16]);
  r.withholdingCents = SqlNumber(v[17]);
  r.totalCents = SqlNumber(v[18]);
  r.currency = v[19];
  r.layout = v[20];
  r.cancelled = SqlNumber(v[21]) > 0;
  r.inRemittance = SqlNumber(v[22]) > 0;
  return r;
}

}  // namespace

bool Register::ReadLines(IssuedReceipt* r) {
  const SqlResult lines = db_->Run(
      "SELECT code, name, amount, vat_base FROM reg_lines WHERE receipt = ? ORDER BY line",
      {r->id});
  if (!lines.ok) return Fail(lines.error);
  for (const auto& v : lines.rows) {
    r->lines.push_back({static_cast<int>(SqlNumber(v[0])), Cp850(v[1]), SqlNumber(v[2]), SqlNumber(v[3])});
  }
  return true;
}

bool Register::FindIssued(const std::string& unitKey, const std::string& month,
                          std::optional<IssuedReceipt>* found) {
  found->reset();
  const SqlResult r = db_->Run(std::string("SELECT ") + kReceiptColumns +
                                   " FROM reg_receipts r WHERE r.unit_key = ? AND r.month = ?"
                                   " AND NOT EXISTS (SELECT 1 FROM reg_cancellations c"
                                   " WHERE c.receipt = r.id) ORDER BY r.id DESC LIMIT 1",
                               {unitKey, month});
  if (!r.ok) return Fail(r.error);
  if (r.rows.empty()) return true;
  *found = ReceiptOf(r.rows[0]);
  return ReadLines(&**found);
}

bool Register::ReceiptById(int64_t id, std::vector<IssuedReceipt>* out) {
  out->clear();
  const SqlResult r =
      db_->Run(std::string("SELECT ") + kReceiptColumns + " FROM reg_receipts r WHERE r.id = ?", {id});
  if (!r.ok) return Fail(r.error);
  if (r.rows.empty()) return Fail("no receipt " + std::to_string(id) + " in the register");
  out->push_back(ReceiptOf(r.rows[0]));
  return ReadLines(&out->back());
}

bool Register::Receipts(const ReceiptFilter& f, std::vector<IssuedReceipt>* out) {
  out->clear();
  if (!db_->BeginRead(&error_)) return false;
  const SqlResult r = db_->Run(
      std::string("SELECT ") + kReceiptColumns +
          " FROM reg_receipts r WHERE (? = 0 OR r.cycle = ?) AND (? = '' OR r.month = ?)"
          " AND (? = '' OR r.owner_key = ?) ORDER BY r.owner_key, r.number",
      {f.cycle, f.cycle, f.month, f.month, f.ownerKey, f.ownerKey});
  bool ok = r.ok || Fail(r.error);
  for (size_t i = 0; ok && i < r.rows.size(); ++i) {
    IssuedReceipt receipt = ReceiptOf(r.rows[i]);
    if (receipt.cancelled && !f.withCancelled) continue;
    ok = ReadLines(&receipt);
    out->push_back(std::move(receipt));
  }
  db_->Rollback();
  return ok;
}

bool Register::Remittances(std::vector<RemittanceEntry>* out) {
  out->clear();
  if (!db_->BeginRead(&error_)) return false;
  const SqlResult r = db_->Run(
      "SELECT id, cycle, file, collection_date, count, cents FROM reg_remittances ORDER BY id");
  bool ok = r.ok || Fail(r.error);
  for (size_t i = 0; ok && i < r.rows.size(); ++i) {
    const auto& v = r.rows[i];
    RemittanceEntry m{SqlNumber(v[0]), SqlNumber(v[1]), Cp850(v[2]), v[3], SqlNumber(v[4]), SqlNumber(v[5]), {}};
    const SqlResult held = db_->Run(
        "SELECT receipt FROM reg_remittance_receipts WHERE remittance = ? ORDER BY receipt", {m.id});
    ok = held.ok || Fail(held.error);
    for (const auto& h : held.rows) m.receipts.push_back(SqlNumber(h[0]));
    out->push_back(std::move(m));
  }
  db_->Rollback();
  return ok;
}

bool Register::Cycles(std::vector<CycleEntry>* out) {
  out->clear();
  const SqlResult r = db_->Run(
      "SELECT number, started_at, workstation, username, selection FROM reg_cycles"
      " ORDER BY number");
  if (!r.ok) return Fail(r.error);
  for (const auto& v : r.rows) {
    out->push_back({SqlNumber(v[0]), v[1], Cp850(v[2]), Cp850(v[3]), Cp850(v[4])});
  }
  return true;
}

}  // namespace ledger
