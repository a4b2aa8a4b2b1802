// The register's tables.  One SQL for SQLite and PostgreSQL: TEXT and
// BIGINT columns, keys given by the program (ids are the next free number,
// taken under the writer lock).  reg_state keeps the format version.
#include "ledger/register.h"
#include "platform/waits.h"

namespace ledger {

const std::vector<std::pair<std::string, std::vector<std::string>>>& RegisterTables() {
  static const std::vector<std::pair<std::string, std::vector<std::string>>> tables = {
      {"reg_state", {"name", "value"}},
      {"reg_cycles", {"number", "started_at", "workstation", "username", "selection"}},
      {"reg_receipts",
       {"id", "cycle", "owner_key", "owner_name", "owner_tax_id", "number", "unit_key",
        "reference", "tenant_name", "tenant_tax_id", "issue_date", "month", "period",
        "collection_form", "base", "vat_rate", "vat", "withholding_rate", "withholding", "total",
        "currency", "layout"}},
      {"reg_lines", {"receipt", "line", "code", "name", "amount", "vat_base"}},
      {"reg_cancellations", {"receipt", "cancelled_at", "workstation", "username"}},
      {"reg_remittances", {"id", "cycle", "file", "collection_date", "count", "cents"}},
      {"reg_remittance_receipts", {"remittance", "receipt"}},
      {"reg_billing",
       {"id", "issuer_nif", "chain_seq", "kind", "receipt", "series_number", "issue_date",
        "invoice_type", "total_tax", "total_amount", "generated_at", "fingerprint",
        "previous_fingerprint", "correction", "xml", "cycle"}},
      {"reg_submissions",
       {"id", "issuer_nif", "attempted_at", "outcome", "message", "operator_message", "csv",
        "wait_seconds", "incident", "records"}},
      {"reg_answers", {"record", "submission", "state", "code", "text"}},
      {"reg_flow", {"issuer_nif", "next_at", "failures", "claimed_until"}},
  };
  return tables;
}

namespace {

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS reg_state (name TEXT PRIMARY KEY, value TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reg_cycles (number BIGINT PRIMARY KEY, started_at TEXT NOT NULL,"
    " workstation TEXT NOT NULL, username TEXT NOT NULL, selection TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reg_receipts (id BIGINT PRIMARY KEY, cycle BIGINT NOT NULL,"
    " owner_key TEXT NOT NULL, owner_name TEXT NOT NULL, owner_tax_id TEXT NOT NULL,"
    " number BIGINT NOT NULL, unit_key TEXT NOT NULL, reference TEXT NOT NULL,"
    " tenant_name TEXT NOT NULL, tenant_tax_id TEXT NOT NULL, issue_date TEXT NOT NULL,"
    " month TEXT NOT NULL, period TEXT NOT NULL, collection_form TEXT NOT NULL,"
    " base BIGINT NOT NULL, vat_rate BIGINT NOT NULL, vat BIGINT NOT NULL,"
    " withholding_rate BIGINT NOT NULL, withholding BIGINT NOT NULL, total BIGINT NOT NULL,"
    " currency TEXT NOT NULL, layout TEXT NOT NULL, UNIQUE (owner_key, number))",
    "CREATE INDEX IF NOT EXISTS reg_receipts_unit ON reg_receipts (unit_key, month)",
    "CREATE TABLE IF NOT EXISTS reg_lines (receipt BIGINT NOT NULL, line BIGINT NOT NULL,"
    " code BIGINT NOT NULL, name TEXT NOT NULL, amount BIGINT NOT NULL,"
    " vat_base BIGINT NOT NULL, PRIMARY KEY (receipt, line))",
    "CREATE TABLE IF NOT EXISTS reg_cancellations (receipt BIGINT PRIMARY KEY,"
    " cancelled_at TEXT NOT NULL, workstation TEXT NOT NULL, username TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reg_remittances (id BIGINT PRIMARY KEY, cycle BIGINT NOT NULL,"
    " file TEXT NOT NULL, collection_date TEXT NOT NULL, count BIGINT NOT NULL,"
    " cents BIGINT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reg_remittance_receipts (remittance BIGINT NOT NULL,"
    " receipt BIGINT NOT NULL, PRIMARY KEY (remittance, receipt))",
    "CREATE TABLE IF NOT EXISTS reg_billing (id BIGINT PRIMARY KEY, issuer_nif TEXT NOT NULL,"
    " chain_seq BIGINT NOT NULL, kind TEXT NOT NULL, receipt BIGINT NOT NULL,"
    " series_number TEXT NOT NULL, issue_date TEXT NOT NULL, invoice_type TEXT NOT NULL,"
    " total_tax TEXT NOT NULL, total_amount TEXT NOT NULL, generated_at TEXT NOT NULL,"
    " fingerprint TEXT NOT NULL, previous_fingerprint TEXT NOT NULL, correction TEXT NOT NULL,"
    " xml TEXT NOT NULL, cycle BIGINT NOT NULL, UNIQUE (issuer_nif, chain_seq))",
    "CREATE TABLE IF NOT EXISTS reg_submissions (id BIGINT PRIMARY KEY, issuer_nif TEXT NOT NULL,"
    " attempted_at BIGINT NOT NULL, outcome TEXT NOT NULL, message TEXT NOT NULL,"
    " operator_message TEXT NOT NULL, csv TEXT NOT NULL, wait_seconds BIGINT NOT NULL,"
    " incident TEXT NOT NULL, records BIGINT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reg_answers (record BIGINT NOT NULL, submission BIGINT NOT NULL,"
    " state TEXT NOT NULL, code TEXT NOT NULL, text TEXT NOT NULL,"
    " PRIMARY KEY (record, submission))",
    "CREATE TABLE IF NOT EXISTS reg_flow (issuer_nif TEXT PRIMARY KEY, next_at BIGINT NOT NULL,"
    " failures BIGINT NOT NULL, claimed_until BIGINT NOT NULL)",
    "INSERT INTO reg_state (name, value) SELECT 'version', '1' WHERE NOT EXISTS"
    " (SELECT 1 FROM reg_state WHERE name = 'version')",
};

}  // namespace

// Tables are made once, by the first program that finds them missing,
// under the writer lock (two first runs at once on a server would race on
// the catalogue otherwise).  A register made by an earlier version lacks
// the newest table, and gets the tables it lacks.
bool Register::CreateTables() {
  if (db_->Run("SELECT COUNT(*) FROM reg_flow").ok) return true;
  for (int attempt = 0;; ++attempt) {
    const WriteStart start = db_->BeginWrite(&error_);
    if (start == WriteStart::kStarted) break;
    if (start == WriteStart::kFailed || attempt == 600) return Fail(error_);
    platform::SleepMilliseconds(100);
  }
  for (const char* sql : kSchema) {
    const SqlResult r = db_->Run(sql);
    if (!r.ok) {
      db_->Rollback();
      return Fail(r.error);
    }
  }
  return db_->Commit(&error_);
}

}  // namespace ledger
