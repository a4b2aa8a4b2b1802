// Opening the register and writing a cycle into it.
#include "ledger/register.h"

#include "config/session_settings.h"
#include "platform/cp850.h"
#include "platform/paths.h"
#include "storage/record_backend.h"

namespace ledger {
namespace {

std::string Utf8(const std::string& cp850) {
  return platform::Cp850ToUtf8(cp850);
}

}  // namespace

bool IssuedReceipt::SameAmounts(const IssuedReceipt& o) const {
  if (lines.size() != o.lines.size()) return false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].code != o.lines[i].code || lines[i].cents != o.lines[i].cents) return false;
  }
  return baseCents == o.baseCents && vatRate == o.vatRate && vatCents == o.vatCents &&
         withholdingRate == o.withholdingRate && withholdingCents == o.withholdingCents &&
         totalCents == o.totalCents;
}

RegisterPlace CurrentRegisterPlace() {
  const storage::RecordDatabase& db = storage::CurrentRecordDatabase();
  return {db.conninfo, config::Settings().RootDir};
}

bool RegisterExists(const RegisterPlace& place, bool* exists, std::string* error) {
  if (place.conninfo.empty()) {
    *exists = platform::FileExists(place.root + "REGISTRE.DB");
    return true;
  }
  std::unique_ptr<SqlDatabase> db = OpenPgDatabase(place.conninfo, error);
  if (db == nullptr) return false;
  // Looked up along the search path, as the register's own statements are.
  const SqlResult found = db->Run("SELECT to_regclass('reg_state') IS NOT NULL");
  if (!found.ok) {
    *error = found.error;
    return false;
  }
  *exists = found.At(0, 0) == "t";
  return true;
}

std::unique_ptr<Register> OpenExistingRegister(const RegisterPlace& place, std::string* error) {
  bool exists = false;
  if (!RegisterExists(place, &exists, error)) return nullptr;
  if (!exists) {
    *error = place.conninfo.empty() ? "no register in " + place.root + " (REGISTRE.DB)"
                                    : "no register in the database (no table reg_state)";
    return nullptr;
  }
  return Register::Open(place, error);
}

std::unique_ptr<Register> Register::Open(const RegisterPlace& place, std::string* error) {
  std::unique_ptr<SqlDatabase> db =
      place.conninfo.empty()
          ? OpenSqliteDatabase(platform::NativePath(place.root + "REGISTRE.DB"), error)
          : OpenPgDatabase(place.conninfo, error);
  if (db == nullptr) return nullptr;
  std::unique_ptr<Register> reg(new Register(std::move(db)));
  if (!reg->CreateTables()) {
    *error = reg->error();
    return nullptr;
  }
  return reg;
}

bool Register::Fail(const std::string& reason) {
  error_ = reason;
  return false;
}

void Register::ForgetWrites() {
  cycle_ = 0;
  nextBillingId_ = 0;
  chainEnds_.clear();
}

WriteStart Register::BeginCycle(CycleEntry* cycle) {
  ForgetWrites();
  const WriteStart start = db_->BeginWrite(&error_);
  if (start != WriteStart::kStarted) return start;
  const SqlResult last = db_->Run(
      "SELECT (SELECT COALESCE(MAX(number), 0) FROM reg_cycles),"
      " (SELECT COALESCE(MAX(id), 0) FROM reg_receipts)");
  if (last.ok) {
    cycle->number = SqlNumber(last.At(0, 0)) + 1;
    nextId_ = SqlNumber(last.At(0, 1)) + 1;
    const SqlResult added = db_->Run(
        "INSERT INTO reg_cycles (number, started_at, workstation, username, selection)"
        " VALUES (?, ?, ?, ?, ?)",
        {cycle->number, cycle->startedAt, Utf8(cycle->workstation), Utf8(cycle->user),
         Utf8(cycle->selection)});
    if (added.ok) {
      cycle_ = cycle->number;
      return WriteStart::kStarted;
    }
    error_ = added.error;
  } else {
    error_ = last.error;
  }
  db_->Rollback();
  return WriteStart::kFailed;
}

bool Register::HighestNumber(const std::string& ownerKey, int64_t* number) {
  const SqlResult r =
      db_->Run("SELECT COALESCE(MAX(number), 0) FROM reg_receipts WHERE owner_key = ?", {ownerKey});
  if (!r.ok) return Fail(r.error);
  *number = SqlNumber(r.At(0, 0));
  return true;
}

bool Register::Add(IssuedReceipt* r) {
  r->id = nextId_;
  r->cycle = cycle_;
  SqlResult added = db_->Run(
      "INSERT INTO reg_receipts (id, cycle, owner_key, owner_name, owner_tax_id, number,"
      " unit_key, reference, tenant_name, tenant_tax_id, issue_date, month, period,"
      " collection_form, base, vat_rate, vat, withholding_rate, withholding, total, currency,"
      " layout) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {r->id, r->cycle, r->ownerKey, Utf8(r->ownerName), Utf8(r->ownerTaxId), r->number,
       r->unitKey, Utf8(r->reference), Utf8(r->tenantName), Utf8(r->tenantTaxId), r->issueDate,
       r->Month(), r->period, Utf8(r->collectionForm), r->baseCents, r->vatRate, r->vatCents,
       r->withholdingRate, r->withholdingCents, r->totalCents, r->currency, r->layout});
  if (!added.ok) return Fail(added.error);
  int line = 0;
  for (const ConceptLine& l : r->lines) {
    added = db_->Run(
        "INSERT INTO reg_lines (receipt, line, code, name, amount, vat_base)"
        " VALUES (?, ?, ?, ?, ?, ?)",
        {r->id, ++line, l.code, Utf8(l.name), l.cents, l.vatBaseCents});
    if (!added.ok) return Fail(added.error);
  }
  ++nextId_;
  return true;
}

bool Register::AddRemittance(RemittanceEntry* m) {
  const SqlResult last = db_->Run("SELECT COALESCE(MAX(id), 0) FROM reg_remittances");
  if (!last.ok) return Fail(last.error);
  m->id = SqlNumber(last.At(0, 0)) + 1;
  m->cycle = cycle_;
  SqlResult added = db_->Run(
      "INSERT INTO reg_remittances (id, cycle, file, collection_date, count, cents)"
      " VALUES (?, ?, ?, ?, ?, ?)",
      {m->id, m->cycle, Utf8(m->file), m->collectionDate, m->count, m->cents});
  for (size_t i = 0; added.ok && i < m->receipts.size(); ++i) {
    added = db_->Run("INSERT INTO reg_remittance_receipts (remittance, receipt) VALUES (?, ?)",
                     {m->id, m->receipts[i]});
  }
  return added.ok || Fail(added.error);
}

bool Register::Commit() {
  ForgetWrites();
  return db_->Commit(&error_);
}

void Register::Abandon() {
  ForgetWrites();
  db_->Rollback();
}

}  // namespace ledger
