// Reads and writes of a record file kept in PostgreSQL.  Each write is one
// statement (the record with the sort forms of all its keys), so it is
// atomic on its own; inside Begin Transaction a savepoint undoes a failed
// write alone, as the SQLite backend does.
#include "storage/pg_store.h"

#include <limits>

#include "storage/key_sort.h"
#include "storage/status.h"

namespace storage {
namespace {

// A letter and a number: a column's or a parameter's name ("k0", "$2").
std::string Named(char letter, int number) {
  std::string name(1, letter);
  return name += std::to_string(number);
}
std::string Key(int k) {
  return Named('k', k);
}
std::string Seq(int k) {
  return Named('s', k);
}

}  // namespace

PgStore::PgStore(PgConnection& connection, int fileId, FileSpec spec, const RecordLocking& watch)
    : db_(connection),
      table_("qt_r" + std::to_string(fileId)),
      spec_(std::move(spec)),
      watch_(watch) {}

std::string PgStore::Sql(int id) const {
  return id < kFixedCount ? FixedSql(id)
                          : KeySql((id - kFixedCount) / kPerKey, (id - kFixedCount) % kPerKey);
}

// A write also notifies the file's channel (at its commit).
std::string PgStore::FixedSql(int id) const {
  const std::string& t = table_;
  const std::string notify = ", pg_notify('" + t + "', '') AS n";
  const int keys = static_cast<int>(spec_.keys.size());
  std::string columns, values, sets, counts;
  for (int k = 0; k < keys; ++k) {
    const std::string seq = spec_.keys[k].duplicates ? "nextval('" + t + "_dup')" : "0";
    const std::string p = Named('$', k + 2);
    columns += ", " + Key(k) + ", " + Seq(k);
    values += ", " + p + ", " + seq;
    sets += ", " + Key(k) + " = " + p + ", " + Seq(k) + " = CASE WHEN " + Key(k) +
            " IS NOT DISTINCT FROM " + p + " THEN " + Seq(k) + " ELSE " + seq + " END";
    counts += ", count(DISTINCT " + Key(k) + ")";
  }
  switch (id) {
    case kInsert:
      return "WITH w AS (INSERT INTO " + t + " (data" + columns + ") VALUES ($1" + values +
             ") RETURNING pos) SELECT w.pos FROM w" + notify;
    case kUpdate:
      return "WITH w AS (UPDATE " + t + " SET data = $1" + sets + " WHERE pos = $" +
             std::to_string(keys + 2) + " RETURNING pos) SELECT w.pos FROM w" + notify;
    case kDelete:
      return "WITH w AS (DELETE FROM " + t + " WHERE pos = $1 RETURNING pos) SELECT w.pos FROM w" +
             notify;
    case kRecordAt:
      return "SELECT data FROM " + t + " WHERE pos = $1";
    case kStepFirst:
      return "SELECT pos, data FROM " + t + " ORDER BY pos LIMIT 1";
    case kStepLast:
      return "SELECT pos, data FROM " + t + " ORDER BY pos DESC LIMIT 1";
    case kStepNext:
      return "SELECT pos, data FROM " + t + " WHERE pos > $1 ORDER BY pos LIMIT 1";
    case kStepPrevious:
      return "SELECT pos, data FROM " + t + " WHERE pos < $1 ORDER BY pos DESC LIMIT 1";
    default:
      return "SELECT count(*)" + counts + " FROM " + t;
  }
}

std::string PgStore::KeySql(int k, int which) const {
  const std::string& t = table_;
  const std::string kk = Key(k), ss = Seq(k);
  const std::string select = "SELECT " + kk + ", " + ss + ", pos, data FROM " + t + " WHERE ";
  const std::string up = " ORDER BY " + kk + ", " + ss;
  const std::string down = " ORDER BY " + kk + " DESC, " + ss + " DESC";
  switch (which) {
    case kFirst:
      return select + kk + " IS NOT NULL" + up + " LIMIT 1";
    case kLast:
      return select + kk + " IS NOT NULL" + down + " LIMIT 1";
    case kNextBatch:
      return select + "(" + kk + ", " + ss + ") > ($1, $2)" + up + " LIMIT $3";
    case kPreviousBatch:
      return select + "(" + kk + ", " + ss + ") < ($1, $2)" + down + " LIMIT $3";
    case kGe:
      return select + kk + " >= $1" + up + " LIMIT 1";
    case kGt:
      return select + kk + " > $1" + up + " LIMIT 1";
    case kLe:
      return select + kk + " <= $1" + down + " LIMIT 1";
    case kLt:
      return select + kk + " < $1" + down + " LIMIT 1";
    default:
      return "SELECT " + ss + " FROM " + t + " WHERE pos = $1 AND " + kk + " = $2";
  }
}

PgResult PgStore::Query(int id, const PgParams& params) {
  return db_.RunPrepared(id, db_.Prepared(id) ? std::string() : Sql(id), params);
}

int16_t PgStore::Failed(const PgResult& result) {
  return db_.StatusOf(result);
}

void PgStore::AddKeys(const std::string& record, PgParams* params) const {
  for (const KeySpec& key : spec_.keys) {
    const std::string value = KeyFromRecord(key, record);
    const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
    if (IsNullKey(key, bytes)) {
      params->Null();
    } else {
      params->Bytes(SortForm(spec_, key, bytes));
    }
  }
}

int16_t PgStore::ReadKey(int key, Seek how, const std::string& sort, int64_t seq, IndexEntry* out) {
  if (how == Seek::kNext || how == Seek::kPrevious) {
    std::vector<IndexEntry> one;
    const int16_t status = ReadKeyBatch(key, how, sort, seq, 1, &one);
    if (status == kStatusOk) *out = std::move(one.front());
    return status;
  }
  PgParams params;
  if (how != Seek::kFirst && how != Seek::kLast) params.Bytes(sort);
  const PgResult r = Query(kFixedCount + key * kPerKey + static_cast<int>(how), params);
  if (!r.ok()) return Failed(r);
  if (r.rows() == 0) return kStatusEndOfFile;
  r.Bytes(0, 0, &out->sort);
  out->seq = r.Int(0, 1);
  out->position = static_cast<uint32_t>(r.Int(0, 2));
  r.Bytes(0, 3, &out->record);
  return kStatusOk;
}

int16_t PgStore::ReadKeyBatch(int key, Seek how, const std::string& sort, int64_t seq, int limit,
                              std::vector<IndexEntry>* out) {
  PgParams params;
  params.Bytes(sort).Int64(seq).Int64(limit);
  const int which = how == Seek::kNext ? kNextBatch : kPreviousBatch;
  const PgResult r = Query(kFixedCount + key * kPerKey + which, params);
  if (!r.ok()) return Failed(r);
  const int rows = r.rows();
  if (out->size() < static_cast<size_t>(rows)) out->resize(rows);
  for (int i = 0; i < rows; ++i) {
    IndexEntry& e = (*out)[i];
    r.Bytes(i, 0, &e.sort);
    e.seq = r.Int(i, 1);
    e.position = static_cast<uint32_t>(r.Int(i, 2));
    r.Bytes(i, 3, &e.record);
  }
  out->resize(rows);
  return rows == 0 ? kStatusEndOfFile : kStatusOk;
}

int16_t PgStore::ReadStep(Step how, uint32_t from, uint32_t* position, std::string* record) {
  PgParams params;
  if (how == Step::kNext || how == Step::kPrevious) params.Int64(from);
  const PgResult r = Query(kStepFirst + static_cast<int>(how), params);
  if (!r.ok()) return Failed(r);
  if (r.rows() == 0) return kStatusEndOfFile;
  *position = static_cast<uint32_t>(r.Int(0, 0));
  r.Bytes(0, 1, record);
  return kStatusOk;
}

int16_t PgStore::ReadAt(uint32_t position, std::string* record) {
  PgParams params;
  params.Int64(position);
  const PgResult r = Query(kRecordAt, params);
  if (!r.ok()) return Failed(r);
  if (r.rows() == 0) return kStatusInvalidRecordAddress;
  r.Bytes(0, 0, record);
  return kStatusOk;
}

int16_t PgStore::EntryOf(int key, uint32_t position, const std::string& record, IndexEntry* out) {
  const KeySpec& spec = spec_.keys[key];
  const std::string value = KeyFromRecord(spec, record);
  const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
  if (IsNullKey(spec, bytes)) return kStatusKeyNotFound;
  out->sort = SortForm(spec_, spec, bytes);
  out->position = position;
  out->record = record;
  out->seq = 0;
  if (!spec.duplicates) return kStatusOk;
  PgParams params;
  params.Int64(position).Bytes(out->sort);
  const PgResult r = Query(kFixedCount + key * kPerKey + kSeqOf, params);
  if (!r.ok()) return Failed(r);
  if (r.rows() == 0) return kStatusKeyNotFound;
  out->seq = r.Int(0, 0);
  return kStatusOk;
}

int16_t PgStore::Counts(uint32_t* records, std::vector<uint32_t>* distinct) {
  uint64_t change = 0;
  watch_.ChangeCount(&change);
  if (!countsKept_ || change != countsChange_) {
    const PgResult r = Query(kCounts, PgParams());
    if (!r.ok()) return Failed(r);
    keptRecords_ = static_cast<uint32_t>(r.Int(0, 0));
    keptDistinct_.assign(spec_.keys.size(), 0);
    for (size_t k = 0; k < spec_.keys.size(); ++k) {
      keptDistinct_[k] = static_cast<uint32_t>(r.Int(0, static_cast<int>(k) + 1));
    }
    countsKept_ = true;
    countsChange_ = change;
  }
  *records = keptRecords_;
  *distinct = keptDistinct_;
  return kStatusOk;
}

int16_t PgStore::Plain(const char* sql) {
  const PgResult r = db_.Run(sql);
  return r.ok() ? kStatusOk : Failed(r);
}

// Runs a write; inside the outer transaction a savepoint keeps a failed
// write from spoiling it.
int16_t PgStore::Write(int id, const PgParams& params, PgResult* result) {
  if (outer_) {
    const int16_t status = Plain("SAVEPOINT op");
    if (status != kStatusOk) return status;
  }
  *result = Query(id, params);
  const int16_t status = result->ok() ? kStatusOk : Failed(*result);
  if (outer_) {
    if (status != kStatusOk) Plain("ROLLBACK TO op");
    Plain("RELEASE op");
  }
  return status;
}

int16_t PgStore::Insert(const std::string& record, uint32_t* position) {
  PgParams params;
  params.Bytes(record);
  AddKeys(record, &params);
  PgResult r;
  const int16_t status = Write(kInsert, params, &r);
  if (status != kStatusOk) return status;
  const int64_t pos = r.rows() == 1 ? r.Int(0, 0) : 0;
  // A position past 32 bits cannot be named; the file is full.
  if (pos <= 0 || pos > std::numeric_limits<uint32_t>::max()) return kStatusDiskFull;
  *position = static_cast<uint32_t>(pos);
  return kStatusOk;
}

int16_t PgStore::Update(uint32_t position, const std::string& oldRecord,
                        const std::string& newRecord) {
  for (const KeySpec& key : spec_.keys) {
    if (key.modifiable) continue;
    const std::string before = KeyFromRecord(key, oldRecord);
    const std::string after = KeyFromRecord(key, newRecord);
    const auto* b = reinterpret_cast<const uint8_t*>(before.data());
    const auto* a = reinterpret_cast<const uint8_t*>(after.data());
    const bool had = !IsNullKey(key, b), has = !IsNullKey(key, a);
    if (had != has || (had && SortForm(spec_, key, b) != SortForm(spec_, key, a))) {
      return kStatusModifiableKey;
    }
  }
  PgParams params;
  params.Bytes(newRecord);
  AddKeys(newRecord, &params);
  params.Int64(position);
  PgResult r;
  return Write(kUpdate, params, &r);
}

int16_t PgStore::Delete(uint32_t position, const std::string&) {
  PgParams params;
  params.Int64(position);
  PgResult r;
  return Write(kDelete, params, &r);
}

int16_t PgStore::BeginTransaction() {
  if (outer_) return kStatusOk;
  const int16_t status = Plain("BEGIN");
  outer_ = status == kStatusOk;
  return status;
}

int16_t PgStore::EndTransaction(bool commit) {
  if (!outer_) return kStatusOk;
  outer_ = false;
  const int16_t status = Plain(commit ? "COMMIT" : "ROLLBACK");
  if (status != kStatusOk && commit) Plain("ROLLBACK");
  return status;
}

}  // namespace storage
