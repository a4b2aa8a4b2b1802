// RecordStore::Check: the engine's own integrity check, then the record
// manager's rules over the whole file, each fault named for a person; and
// the cheap check of one index's size that the end of a walk makes.
#include <string>
#include <vector>

#include "storage/record_store.h"
#include "storage/sqlite_statement.h"
#include "storage/status.h"

namespace storage {
namespace {

// A query's rows as texts, at most `limit` of them (one column each).
std::vector<std::string> Rows(sqlite3* db, const std::string& sql, size_t limit, int* rc) {
  std::vector<std::string> rows;
  SqliteStatement st;
  *rc = st.Prepare(db, sql.c_str());
  while (*rc == SQLITE_OK && rows.size() < limit && (*rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(st.get(), 0);
    rows.emplace_back(text == nullptr ? "" : reinterpret_cast<const char*>(text));
    *rc = SQLITE_OK;
  }
  if (*rc == SQLITE_DONE || *rc == SQLITE_ROW) *rc = SQLITE_OK;
  return rows;
}

// The engine's integrity check: each line it gives but "ok" is a fault.
void EngineCheck(sqlite3* db, size_t limit, std::vector<std::string>* problems, int* rc) {
  for (const std::string& line : Rows(db, "PRAGMA integrity_check", limit, rc)) {
    if (line != "ok" && problems->size() < limit) problems->push_back("engine: " + line);
  }
}

}  // namespace

int16_t RecordStore::CheckEntryCount(int key) {
  // One statement, so both counts come from one state of the file.
  const std::string sql = "SELECT (SELECT count(*) FROM key" + std::to_string(key) +
                          "), (SELECT n FROM counts WHERE key = -1)";
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(st);
  const int64_t entries = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
  // This connection's own writes in an open transaction are in the index
  // but not yet in the counts table.
  const int64_t records =
      rc == SQLITE_ROW ? sqlite3_column_int64(st, 1) + (outer_ ? txCounts_[0] : 0) : 0;
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW) return StatusOfSqlite(rc);
  const KeySpec& spec = spec_.keys[key];
  const bool mayBeNull = spec.nullAll || spec.nullAny;
  return entries == records || (mayBeNull && entries < records) ? kStatusOk : kStatusDamaged;
}

int16_t RecordStore::CheckEngine(const std::string& path, size_t limit,
                                 std::vector<std::string>* problems) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc == SQLITE_OK) EngineCheck(db, limit, problems, &rc);
  if (rc != SQLITE_OK && problems->size() < limit) {
    problems->push_back(std::string("engine: ") + sqlite3_errstr(rc));
  }
  sqlite3_close(db);
  return problems->empty() ? kStatusOk : kStatusDamaged;
}

int16_t RecordStore::Check(size_t limit, std::vector<std::string>* problems) {
  auto add = [&](const std::string& what) {
    if (problems->size() < limit) problems->push_back(what);
  };
  int rc = SQLITE_OK;
  // One read transaction: every query sees the same state of the file.
  sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
  EngineCheck(db_, limit, problems, &rc);
  const std::string length = std::to_string(spec_.recordLength);
  const bool variable = spec_.fileFlags & 0x0001;
  for (const std::string& line :
       Rows(db_,
            "SELECT 'record at position ' || pos || ': ' || length(data) ||"
            " ' bytes, the record length is " +
                length + "' FROM records WHERE length(data) " + (variable ? "< " : "<> ") + length,
            limit, &rc)) {
    add(line);
  }
  for (size_t k = 0; k < spec_.keys.size() && rc == SQLITE_OK; ++k) {
    const std::string t = "key" + std::to_string(k);
    for (const std::string& line : Rows(db_,
                                        "SELECT 'key " + std::to_string(k) +
                                            ": the entry for position ' || i.pos ||"
                                            " ' has no record' FROM " +
                                            t +
                                            " AS i LEFT JOIN records AS r ON r.pos = i.pos"
                                            " WHERE r.pos IS NULL",
                                        limit, &rc)) {
      add(line);
    }
  }
  if (rc == SQLITE_OK) CheckEntries(limit, problems, &rc);
  sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) add(std::string("engine: ") + sqlite3_errstr(rc));
  return problems->empty() ? kStatusOk : kStatusDamaged;
}

void RecordStore::CheckEntries(size_t limit, std::vector<std::string>* problems, int* rc) {
  // Every record is in each key's index under its own key value, and the
  // indexes hold nothing else: the entries found this way are counted
  // against the size of each index.
  std::vector<int64_t> found(spec_.keys.size(), 0);
  std::vector<SqliteStatement> lookups(spec_.keys.size());
  for (size_t k = 0; k < spec_.keys.size() && *rc == SQLITE_OK; ++k) {
    const std::string sql = "SELECT 1 FROM key" + std::to_string(k) + " WHERE k = ?1 AND pos = ?2";
    *rc = lookups[k].Prepare(db_, sql.c_str());
  }
  SqliteStatement all;
  if (*rc == SQLITE_OK) *rc = all.Prepare(db_, "SELECT pos, data FROM records ORDER BY pos");
  std::string record, sort;
  while (*rc == SQLITE_OK && (*rc = sqlite3_step(all.get())) == SQLITE_ROW) {
    *rc = SQLITE_OK;
    const int64_t pos = sqlite3_column_int64(all.get(), 0);
    const void* p = sqlite3_column_blob(all.get(), 1);
    record.assign(p == nullptr ? "" : static_cast<const char*>(p),
                  static_cast<size_t>(sqlite3_column_bytes(all.get(), 1)));
    if (!Whole(record)) continue;  // reported above
    for (size_t k = 0; k < spec_.keys.size(); ++k) {
      if (!KeyEntry(static_cast<int>(k), record, &sort)) continue;
      sqlite3_stmt* q = lookups[k].get();
      sqlite3_bind_blob(q, 1, sort.data(), static_cast<int>(sort.size()), SQLITE_STATIC);
      sqlite3_bind_int64(q, 2, pos);
      if (sqlite3_step(q) == SQLITE_ROW) {
        ++found[k];
      } else if (problems->size() < limit) {
        problems->push_back("key " + std::to_string(k) + ": the record at position " +
                            std::to_string(pos) + " is not indexed under its key value");
      }
      sqlite3_reset(q);
    }
  }
  if (*rc == SQLITE_DONE) *rc = SQLITE_OK;
  for (size_t k = 0; k < spec_.keys.size() && *rc == SQLITE_OK; ++k) {
    const std::vector<std::string> n =
        Rows(db_, "SELECT count(*) FROM key" + std::to_string(k), 1, rc);
    if (!n.empty() && std::stoll(n[0]) != found[k] && problems->size() < limit) {
      problems->push_back("key " + std::to_string(k) + ": " + n[0] + " entries for " +
                          std::to_string(found[k]) + " records with a key value");
    }
  }
}

}  // namespace storage
