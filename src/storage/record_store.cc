// Creating and opening record-file databases, and the statement cache.
#include "storage/record_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/new_file.h"
#include "storage/status.h"

namespace storage {
namespace {

constexpr int kApplicationId = 0x51544231;  // "QTB1"
constexpr int kBusyWaitMs = 10 * 60 * 1000;

const char* const kFixedSql[] = {
    "BEGIN IMMEDIATE",
    "BEGIN",
    "COMMIT",
    "ROLLBACK",
    "SAVEPOINT op",
    "RELEASE op",
    "ROLLBACK TO op",
    "INSERT INTO records (data) VALUES (?1)",
    "UPDATE records SET data = ?2 WHERE pos = ?1",
    "DELETE FROM records WHERE pos = ?1",
    "SELECT pos, data FROM records WHERE pos = ?1",
    "SELECT pos, data FROM records ORDER BY pos LIMIT 1",
    "SELECT pos, data FROM records ORDER BY pos DESC LIMIT 1",
    "SELECT pos, data FROM records WHERE pos > ?1 ORDER BY pos LIMIT 1",
    "SELECT pos, data FROM records WHERE pos < ?1 ORDER BY pos DESC LIMIT 1",
    "SELECT key, n FROM counts ORDER BY key",
    "UPDATE counts SET n = n + ?2 WHERE key = ?1",
};

std::string KeySql(int key, int which) {
  const std::string t = "key" + std::to_string(key);
  // An index entry without its record comes back with a null record, so
  // the damage is reported rather than the entry silently skipped.
  const std::string select = "SELECT i.k, i.seq, i.pos, r.data FROM " + t +
                             " AS i LEFT JOIN records AS r ON r.pos = i.pos ";
  const std::string up = " ORDER BY i.k, i.seq LIMIT 1";
  const std::string down = " ORDER BY i.k DESC, i.seq DESC LIMIT 1";
  switch (which) {
    case 0:
      return select + up;
    case 1:
      return select + down;
    case 2:
      return select + "WHERE i.k = ?1 AND i.seq > ?2 ORDER BY i.k, i.seq LIMIT ?3";
    case 3:
      return select + "WHERE i.k = ?1 AND i.seq < ?2 ORDER BY i.k DESC, i.seq DESC LIMIT ?3";
    case 4:
      return select + "WHERE i.k >= ?1" + up;
    case 5:
      return select + "WHERE i.k > ?1" + up;
    case 6:
      return select + "WHERE i.k <= ?1" + down;
    case 7:
      return select + "WHERE i.k < ?1" + down;
    case 8:
      return "INSERT INTO " + t + " (k, seq, pos) VALUES (?1, ?2, ?3)";
    case 9:
      return "DELETE FROM " + t + " WHERE k = ?1";
    case 10:
      return "DELETE FROM " + t + " WHERE k = ?1 AND pos = ?2";
    case 11:
      return "SELECT max(seq) FROM " + t + " WHERE k = ?1";
    case 12:
      return "SELECT 1 FROM " + t + " WHERE k = ?1 LIMIT 1";
    case 14:
      return select + "WHERE i.k > ?1 ORDER BY i.k, i.seq LIMIT ?2";
    case 15:
      return select + "WHERE i.k < ?1 ORDER BY i.k DESC, i.seq DESC LIMIT ?2";
    default:
      return "SELECT seq FROM " + t + " WHERE k = ?1 AND pos = ?2";
  }
}

std::string SchemaSql(const FileSpec& spec) {
  std::string sql =
      "PRAGMA application_id = " + std::to_string(kApplicationId) +
      ";"
      "PRAGMA user_version = 1;"
      "CREATE TABLE file_spec (id INTEGER PRIMARY KEY CHECK (id = 1), create_buffer BLOB NOT NULL);"
      "CREATE TABLE counts (key INTEGER PRIMARY KEY, n INTEGER NOT NULL);"
      "CREATE TABLE records (pos INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB NOT NULL);"
      "INSERT INTO counts VALUES (-1, 0);";
  for (size_t k = 0; k < spec.keys.size(); ++k) {
    sql += "CREATE TABLE key" + std::to_string(k) +
           " (k BLOB NOT NULL, seq INTEGER NOT NULL, pos INTEGER NOT NULL,"
           " PRIMARY KEY (k, seq)) WITHOUT ROWID;"
           "INSERT INTO counts VALUES (" +
           std::to_string(k) + ", 0);";
  }
  return sql;
}

// Writes the new database at tmp, to take the place of path; false when
// anything fails.  The file is made here, without access for others (it
// holds tenants' data), and SQLite builds the database in it; it takes the
// mode, owner and group of a record file it replaces.
bool BuildDatabase(const std::string& tmp, const std::string& path, const FileSpec& spec) {
  const int made = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          platform::kPrivateFileMode);
  if (made < 0) return false;
  platform::TakeOverFrom(path, made);
  ::close(made);
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  // Nobody sees the file before it is complete: build it without syncing
  // and sync it once at the end.
  ok = ok && sqlite3_exec(db, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY; BEGIN",
                          nullptr, nullptr, nullptr) == SQLITE_OK;
  ok = ok && sqlite3_exec(db, SchemaSql(spec).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  {
    SqliteStatement st;
    ok = ok && st.Prepare(db, "INSERT INTO file_spec VALUES (1, ?1)") == SQLITE_OK;
    const std::string buffer = EncodeFileSpec(spec);
    ok = ok && sqlite3_bind_blob(st.get(), 1, buffer.data(), static_cast<int>(buffer.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    ok = ok && sqlite3_step(st.get()) == SQLITE_DONE;
  }  // finalised before the connection closes
  ok = ok && sqlite3_exec(db, "COMMIT; PRAGMA journal_mode = WAL;", nullptr, nullptr, nullptr) ==
                 SQLITE_OK;
  ok = sqlite3_close(db) == SQLITE_OK && ok;
  int fd = ::open(tmp.c_str(), O_RDWR | O_CLOEXEC);
  ok = fd >= 0 && ::fsync(fd) == 0 && ok;
  if (fd >= 0) ::close(fd);
  return ok;
}

// Syncs the file or folder at path to the disk.
bool Sync(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  const bool ok = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  return ok;
}

// Takes a database's write-ahead log into the database, which SQLite syncs,
// and removes the log (the last connection's close does both), so that the
// log of one file is never applied to another put under its name.
bool CheckpointLog(const std::string& path) {
  const std::string log = path + "-wal";
  if (::access(log.c_str(), F_OK) != 0) return true;
  sqlite3* db = nullptr;
  bool ok =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
      sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) == SQLITE_OK;
  ok = sqlite3_close(db) == SQLITE_OK && ok;
  return ok && ::access(log.c_str(), F_OK) != 0;
}

// Whether the file starts with a SQLite header carrying our application id
// (big-endian at offset 68).  Anything else is another program's file, for
// example one of the record manager the office used before.
int16_t CheckOurHeader(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES ? kStatusAccessDenied : kStatusIoError;
  unsigned char header[72] = {};
  ssize_t got = ::read(fd, header, sizeof header);
  ::close(fd);
  if (got != static_cast<ssize_t>(sizeof header)) return kStatusNotARecordFile;
  const uint32_t id = (uint32_t{header[68]} << 24) | (uint32_t{header[69]} << 16) |
                      (uint32_t{header[70]} << 8) | header[71];
  return std::memcmp(header, "SQLite format 3", 16) == 0 && id == kApplicationId
             ? kStatusOk
             : kStatusNotARecordFile;
}

// Reads the file specification of an open database into *spec.  Another
// application's database, even with a table of that name, is not a record
// file: its application id tells.
int16_t ReadFileSpec(sqlite3* db, FileSpec* spec) {
  const std::string sql =
      "SELECT create_buffer FROM file_spec, pragma_application_id WHERE id = 1 AND "
      "application_id = " +
      std::to_string(kApplicationId);
  SqliteStatement st;
  int rc = st.Prepare(db, sql.c_str());
  if (rc != SQLITE_OK) return StatusOfSqlite(rc);
  rc = sqlite3_step(st.get());
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? kStatusNotARecordFile : StatusOfSqlite(rc);
  const void* blob = sqlite3_column_blob(st.get(), 0);
  return ParseFileSpec(static_cast<const uint8_t*>(blob),
                       static_cast<size_t>(sqlite3_column_bytes(st.get(), 0)), spec) == kStatusOk
             ? kStatusOk
             : kStatusNotARecordFile;
}

}  // namespace

int16_t StatusOfSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return kStatusOk;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return kStatusFileLocked;
    case SQLITE_FULL:
      return kStatusDiskFull;
    case SQLITE_CONSTRAINT:
      return kStatusDuplicateKey;
    case SQLITE_CORRUPT:  // a damaged file
      return kStatusDamaged;
    case SQLITE_NOTADB:
    case SQLITE_ERROR:  // a missing table or column
      // Damage: Open has already told a foreign file (status 30) by its header.
      return kStatusIoError;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return kStatusAccessDenied;
    default:
      return kStatusIoError;
  }
}

int16_t RecordStore::Create(const std::string& path, const FileSpec& spec, bool replace) {
  if (!replace && ::access(path.c_str(), F_OK) == 0) return kStatusFileExists;
  const std::string tmp = path + "-new";
  std::remove(tmp.c_str());
  if (!BuildDatabase(tmp, path, spec)) {
    std::remove(tmp.c_str());
    return kStatusCreateIoError;
  }
  // A leftover log of an older file must never be applied to the new one.
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  int rc = replace ? ::rename(tmp.c_str(), path.c_str()) : ::link(tmp.c_str(), path.c_str());
  int error = errno;
  std::remove(tmp.c_str());
  if (rc != 0) return !replace && error == EEXIST ? kStatusFileExists : kStatusCreateIoError;
  return kStatusOk;
}

int16_t RecordStore::Replace(const std::string& from, const std::string& to) {
  if (!CheckpointLog(from) || !CheckpointLog(to)) return kStatusCreateIoError;
  std::remove((to + "-shm").c_str());  // without its log it holds nothing
  platform::TakeOverFrom(to, from);  // the mode, owner and group the office gave to
  if (!Sync(from, O_RDONLY) || ::rename(from.c_str(), to.c_str()) != 0) {
    return kStatusCreateIoError;
  }
  const std::string folder = std::filesystem::path(to).parent_path().string();
  Sync(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);  // the rename itself
  return kStatusOk;
}

int16_t RecordStore::Open(const std::string& path) {
  Close();
  if (::access(path.c_str(), F_OK) != 0) return kStatusFileNotFound;
  if (int16_t foreign = CheckOurHeader(path); foreign != kStatusOk) return foreign;
  int rc =
      sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    Close();
    return StatusOfSqlite(rc);
  }
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  int16_t status = ReadFileSpec(db_, &spec_);
  if (status == kStatusOk) {
    // A small page cache (2 MB): the system's file cache holds the pages
    // anyway, a random read over a large file is faster through it than
    // through a large private cache, and the memory of a run stays the same
    // whatever the size of the files.
    sqlite3_exec(db_, "PRAGMA synchronous = NORMAL; PRAGMA cache_size = -2048", nullptr, nullptr,
                 nullptr);
    perKey_.resize(spec_.keys.size());  // empty since the Close above
    // Every table must be there: a foreign or damaged file fails here.
    for (size_t k = 0; k < spec_.keys.size() && status == kStatusOk; ++k) {
      if (KeyStatement(static_cast<int>(k), kInsertKey) == nullptr) status = kStatusNotARecordFile;
    }
    if (Statement(kInsertRecord) == nullptr || Statement(kCountsRead) == nullptr) {
      status = kStatusNotARecordFile;
    }
  }
  // The header says the file is ours: what fails now is damage, not a
  // foreign file, so status 30 stays reserved for files to be converted.
  if (status == kStatusNotARecordFile) status = kStatusIoError;
  if (status != kStatusOk) Close();
  return status;
}

void RecordStore::Close() {
  // The statements go first: the connection closes only without them.
  fixed_ = {};
  perKey_.clear();
  if (db_ != nullptr) sqlite3_close(db_);  // an open transaction is rolled back
  db_ = nullptr;
  outer_ = false;
  holding_ = false;
}

RecordStore::~RecordStore() {
  Close();
}

sqlite3_stmt* RecordStore::Statement(Fixed which) {
  SqliteStatement& st = fixed_[which];
  if (st.get() == nullptr) st.Prepare(db_, kFixedSql[which], SQLITE_PREPARE_PERSISTENT);
  return st.get();
}

sqlite3_stmt* RecordStore::KeyStatement(int key, PerKey which) {
  SqliteStatement& st = perKey_[key][which];
  if (st.get() == nullptr) st.Prepare(db_, KeySql(key, which).c_str(), SQLITE_PREPARE_PERSISTENT);
  return st.get();
}

int16_t RecordStore::Run(sqlite3_stmt* st) {
  if (st == nullptr) return kStatusIoError;
  int rc = sqlite3_step(st);
  sqlite3_reset(st);
  return StatusOfSqlite(rc);
}

}  // namespace storage
