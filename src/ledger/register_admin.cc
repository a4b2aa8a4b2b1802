// Cancelling a receipt, checking the register, and its raw contents for
// moving it between installations and databases.
#include <map>

#include "ledger/register.h"
#include "platform/cp850.h"

namespace ledger {
namespace {

std::string ColumnList(const std::vector<std::string>& columns) {
  std::string list;
  for (const std::string& c : columns) list += (list.empty() ? "" : ", ") + c;
  return list;
}

}  // namespace

WriteStart Register::BeginWrite() {
  ForgetWrites();
  return db_->BeginWrite(&error_);
}

CancelOutcome Register::Cancel(const std::string& ownerKey, int64_t number, const CycleEntry& who,
                               const std::function<bool(const IssuedReceipt&)>& alsoWrite) {
  const WriteStart start = BeginWrite();
  if (start == WriteStart::kBusy) return CancelOutcome::kBusy;
  if (start == WriteStart::kFailed) return CancelOutcome::kFailed;
  const SqlResult r = db_->Run(
      "SELECT r.id, (SELECT COUNT(*) FROM reg_cancellations c WHERE c.receipt = r.id)"
      " FROM reg_receipts r WHERE r.owner_key = ? AND r.number = ?",
      {ownerKey, number});
  CancelOutcome outcome = CancelOutcome::kFailed;
  if (!r.ok) {
    error_ = r.error;
  } else if (r.rows.empty()) {
    outcome = CancelOutcome::kNotFound;
  } else if (SqlNumber(r.At(0, 1)) > 0) {
    outcome = CancelOutcome::kAlreadyCancelled;
  } else {
    const SqlResult added = db_->Run(
        "INSERT INTO reg_cancellations (receipt, cancelled_at, workstation, username)"
        " VALUES (?, ?, ?, ?)",
        {SqlNumber(r.At(0, 0)), who.startedAt, platform::Cp850ToUtf8(who.workstation),
         platform::Cp850ToUtf8(who.user)});
    std::vector<IssuedReceipt> receipt;
    if (!added.ok) {
      error_ = added.error;
    } else if (alsoWrite && (!ReceiptById(SqlNumber(r.At(0, 0)), &receipt) || !alsoWrite(receipt[0]))) {
      if (error_.empty()) error_ = "the receipt's cancellation could not be recorded";
    } else if (db_->Commit(&error_)) {
      return CancelOutcome::kCancelled;
    }
  }
  db_->Rollback();
  return outcome;
}

// Every receipt's lines add up to its base, base + VAT - withholding is its
// total, and no owner has a number twice (the unique key keeps that, but a
// register loaded from elsewhere is checked, not trusted).
bool Register::Check(std::vector<std::string>* faults) {
  faults->clear();
  if (!db_->BeginRead(&error_)) return false;
  const SqlResult sums = db_->Run(
      "SELECT r.owner_key, r.number, r.base, r.vat, r.withholding, r.total,"
      " (SELECT COALESCE(SUM(l.amount), 0) FROM reg_lines l WHERE l.receipt = r.id)"
      " FROM reg_receipts r ORDER BY r.owner_key, r.number");
  const SqlResult twice = db_->Run(
      "SELECT owner_key, number, COUNT(*) FROM reg_receipts GROUP BY owner_key, number"
      " HAVING COUNT(*) > 1 ORDER BY owner_key, number");
  db_->Rollback();
  if (!sums.ok) return Fail(sums.error);
  if (!twice.ok) return Fail(twice.error);
  for (const auto& v : sums.rows) {
    const std::string which = "owner " + v[0] + " receipt " + v[1];
    if (SqlNumber(v[6]) != SqlNumber(v[2])) {
      faults->push_back(which + ": its lines add up to " + v[6] + " cents, its base is " + v[2]);
    }
    if (SqlNumber(v[2]) + SqlNumber(v[3]) - SqlNumber(v[4]) != SqlNumber(v[5])) {
      faults->push_back(which + ": base + VAT - withholding is not its total " + v[5]);
    }
  }
  for (const auto& v : twice.rows) {
    faults->push_back("owner " + v[0] + " receipt " + v[1] + ": registered " + v[2] + " times");
  }
  return true;
}

bool Register::Dump(std::vector<Table>* tables) {
  tables->clear();
  if (!db_->BeginRead(&error_)) return false;
  bool ok = true;
  for (const auto& [name, columns] : RegisterTables()) {
    const SqlResult r =
        db_->Run("SELECT " + ColumnList(columns) + " FROM " + name + " ORDER BY 1, 2");
    ok = r.ok || Fail(r.error);
    if (!ok) break;
    tables->push_back({name, r.rows});
  }
  db_->Rollback();
  return ok;
}

bool Register::Load(const std::vector<Table>& tables) {
  if (BeginWrite() != WriteStart::kStarted) {
    if (error_.empty()) error_ = "another program is writing the register";
    return false;
  }
  std::map<std::string, const std::vector<std::string>*> known;
  for (const auto& [name, columns] : RegisterTables()) known[name] = &columns;
  bool ok = true;
  for (const auto& [name, columns] : RegisterTables()) {
    const SqlResult cleared = db_->Run("DELETE FROM " + name);
    ok = ok && (cleared.ok || Fail(cleared.error));
  }
  for (const Table& t : tables) {
    auto columns = known.find(t.name);
    if (!ok) break;
    if (columns == known.end()) {
      ok = Fail("the register has no table " + t.name);
      break;
    }
    std::string marks;
    for (size_t i = 0; i < columns->second->size(); ++i) marks += i == 0 ? "?" : ", ?";
    const std::string sql =
        "INSERT INTO " + t.name + " (" + ColumnList(*columns->second) + ") VALUES (" + marks + ")";
    for (const auto& row : t.rows) {
      if (row.size() != columns->second->size()) {
        ok = Fail("a row of " + t.name + " has " + std::to_string(row.size()) + " values");
        break;
      }
      const SqlResult added = db_->Run(sql, std::vector<SqlValue>(row.begin(), row.end()));
      if (!added.ok) {
        ok = Fail(added.error);
        break;
      }
    }
  }
  if (ok) return db_->Commit(&error_);
  db_->Rollback();
  return false;
}

}  // namespace ledger
