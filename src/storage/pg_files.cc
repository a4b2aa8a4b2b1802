// Opening and creating record files kept in PostgreSQL: the catalogue
// qt_files names each file's table and keeps its Create description.
#include <memory>

#include "storage/pg_store.h"
#include "storage/status.h"

namespace storage {
namespace {

// Serialises the creates of all processes (an advisory lock of its own
// key, outside the file ids, which are positive).
constexpr const char* kCreateLock = "SELECT pg_advisory_xact_lock(-1)";

constexpr const char* kCatalogue =
    "CREATE TABLE IF NOT EXISTS qt_files (id serial PRIMARY KEY, name bytea UNIQUE NOT NULL,"
    " create_buffer bytea NOT NULL)";

std::string TableSql(int id, const FileSpec& spec) {
  const std::string t = "qt_r" + std::to_string(id);
  std::string sql = "CREATE TABLE " + t + " (pos bigserial PRIMARY KEY, data bytea NOT NULL";
  for (size_t k = 0; k < spec.keys.size(); ++k) {
    sql += ", k" + std::to_string(k) + " bytea, s" + std::to_string(k) + " bigint";
  }
  sql += "); CREATE SEQUENCE " + t + "_dup OWNED BY " + t + ".pos;";
  for (size_t k = 0; k < spec.keys.size(); ++k) {
    const std::string n = std::to_string(k);
    sql += "CREATE UNIQUE INDEX " + t + "_k" + n + " ON " + t + " (k" + n + ", s" + n + ");";
  }
  return sql;
}

std::unique_ptr<PgConnection> Connect(const std::string& conninfo, int16_t* status) {
  auto db = std::make_unique<PgConnection>();
  std::string message;
  if (db->Connect(conninfo, &message)) {
    *status = kStatusOk;
    return db;
  }
  NoteRecordServerFailure(message);
  *status = kStatusManagerInactive;
  return nullptr;
}

// The file's id and Create description: 0, 12 when there is no such file.
int16_t FindFile(PgConnection& db, const std::string& name, int* id, std::string* buffer) {
  PgParams params;
  params.Bytes(name);
  const PgResult r = db.Run("SELECT id, create_buffer FROM qt_files WHERE name = $1", params);
  if (!r.ok()) {
    return r.State() == "42P01" ? kStatusFileNotFound : db.StatusOf(r);  // no catalogue yet
  }
  if (r.rows() == 0) return kStatusFileNotFound;
  *id = static_cast<int>(r.Int(0, 0));
  if (buffer != nullptr) r.Bytes(0, 1, buffer);
  return kStatusOk;
}

// Takes file id's lock exclusively until the end of db's transaction, so
// that nobody has the file open while it is replaced: 0, 85 when somebody
// has.  The lock is the transaction's, gone at the commit (a session's
// would linger until the server noticed the connection closed, and a quick
// open would meet it).
int16_t LockForReplacing(PgConnection& db, int id) {
  PgParams params;
  params.Int64(id);
  const PgResult r = db.Run("SELECT pg_try_advisory_xact_lock($1)", params);
  if (!r.ok()) return db.StatusOf(r);
  return r.Bool(0, 0) ? kStatusOk : kStatusFileLocked;
}

// Ends db's transaction: the commit when status is 0, else the rollback.
int16_t Finish(PgConnection& db, int16_t status) {
  if (status == kStatusOk) {
    const PgResult r = db.Run("COMMIT");
    if (!r.ok()) status = db.connected() ? kStatusCreateIoError : db.StatusOf(r);
  }
  if (status != kStatusOk) db.Run("ROLLBACK");
  return status;
}

// Drops file id, its tables and its name, inside the open transaction of
// db, once nobody has it open.
int16_t DropFile(PgConnection& db, int id) {
  int16_t status = LockForReplacing(db, id);
  if (status != kStatusOk) return status;
  PgParams params;
  params.Int64(id);
  PgResult r = db.Run("DROP TABLE qt_r" + std::to_string(id));
  if (r.ok()) r = db.Run("DELETE FROM qt_files WHERE id = $1", params);
  if (!r.ok()) status = db.connected() ? kStatusCreateIoError : db.StatusOf(r);
  return status;
}

// Makes the file's tables inside the open transaction of db: a new file,
// or the replacement of file id.
int16_t BuildFile(PgConnection& db, const std::string& name, const FileSpec& spec, int* id,
                  bool replacing) {
  PgParams params;
  params.Bytes(EncodeFileSpec(spec));
  PgResult r;
  if (replacing) {
    r = db.Run("DROP TABLE qt_r" + std::to_string(*id));
    if (!r.ok()) return kStatusCreateIoError;
    params.Int64(*id);
    r = db.Run("UPDATE qt_files SET create_buffer = $1 WHERE id = $2", params);
  } else {
    params.Bytes(name);
    r = db.Run(
        "INSERT INTO qt_files (create_buffer, name) VALUES ($1, $2)"
        " RETURNING id",
        params);
    if (r.ok()) *id = static_cast<int>(r.Int(0, 0));
  }
  if (!r.ok()) return db.connected() ? kStatusCreateIoError : db.StatusOf(r);
  r = db.Run(TableSql(*id, spec));
  if (!r.ok()) return db.connected() ? kStatusCreateIoError : db.StatusOf(r);
  return kStatusOk;
}

}  // namespace

PgFile::PgFile(std::unique_ptr<PgConnection> connection, int fileId, const std::string& name,
               FileSpec spec)
    : db_(std::move(connection)),
      name_("pg:" + name),
      locks_(*db_, fileId, name_),
      store_(*db_, fileId, std::move(spec), locks_) {}

int16_t OpenPgFile(const std::string& conninfo, const std::string& name, bool exclusive,
                   std::unique_ptr<OpenedRecordFile>* out) {
  int16_t status;
  std::unique_ptr<PgConnection> db = Connect(conninfo, &status);
  if (db == nullptr) return status;
  int id = 0;
  std::string buffer;
  status = FindFile(*db, name, &id, &buffer);
  if (status != kStatusOk) return status;
  FileSpec spec;
  if (ParseFileSpec(reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size(), &spec) !=
      kStatusOk) {
    return kStatusNotARecordFile;
  }
  auto file = std::make_unique<PgFile>(std::move(db), id, name, std::move(spec));
  status = file->locks().Open(exclusive);
  if (status == kStatusOk) *out = std::move(file);
  return status;
}

int16_t ListPgFiles(const std::string& conninfo, std::vector<std::string>* names) {
  int16_t status;
  std::unique_ptr<PgConnection> db = Connect(conninfo, &status);
  if (db == nullptr) return status;
  names->clear();
  const PgResult r = db->Run("SELECT name FROM qt_files ORDER BY name", PgParams());
  if (!r.ok()) return r.State() == "42P01" ? kStatusOk : db->StatusOf(r);  // no files yet
  names->resize(r.rows());
  for (int i = 0; i < r.rows(); ++i) r.Bytes(i, 0, &(*names)[i]);
  return kStatusOk;
}

int16_t CreatePgFile(const std::string& conninfo, const std::string& name, const FileSpec& spec,
                     bool replace) {
  int16_t status;
  std::unique_ptr<PgConnection> db = Connect(conninfo, &status);
  if (db == nullptr) return status;
  PgResult r = db->Run(std::string("BEGIN; ") + kCreateLock + "; " + kCatalogue);
  if (!r.ok()) return db->connected() ? kStatusCreateIoError : db->StatusOf(r);
  int id = 0;
  status = FindFile(*db, name, &id, nullptr);
  const bool exists = status == kStatusOk;
  if (status == kStatusFileNotFound) status = kStatusOk;
  if (status == kStatusOk && exists && !replace) status = kStatusFileExists;
  if (status == kStatusOk && exists) status = LockForReplacing(*db, id);
  if (status == kStatusOk) status = BuildFile(*db, name, spec, &id, exists);
  return Finish(*db, status);
}

int16_t ReplacePgFile(const std::string& conninfo, const std::string& from, const std::string& to) {
  int16_t status;
  std::unique_ptr<PgConnection> db = Connect(conninfo, &status);
  if (db == nullptr) return status;
  const PgResult begun = db->Run(std::string("BEGIN; ") + kCreateLock);
  if (!begun.ok()) return db->connected() ? kStatusCreateIoError : db->StatusOf(begun);
  int fromId = 0, toId = 0;
  status = FindFile(*db, from, &fromId, nullptr);
  bool replacing = false;
  if (status == kStatusOk) {
    const int16_t found = FindFile(*db, to, &toId, nullptr);
    replacing = found == kStatusOk;
    if (found != kStatusOk && found != kStatusFileNotFound) status = found;
  }
  // The old file's tables go in the same transaction that gives its name
  // to the new one.
  if (status == kStatusOk && replacing) status = DropFile(*db, toId);
  if (status == kStatusOk) {
    PgParams params;
    params.Bytes(to).Int64(fromId);
    const PgResult r = db->Run("UPDATE qt_files SET name = $1 WHERE id = $2", params);
    if (!r.ok()) status = db->connected() ? kStatusCreateIoError : db->StatusOf(r);
  }
  return Finish(*db, status);
}

}  // namespace storage
