// Choosing the backend of the record files: SQLite files unless KELDB names
// a PostgreSQL database.  The choice is read once, at the first open or
// create, as the office's menu program sets it for the whole session.
#include "storage/record_backend.h"

#include <cstdlib>

#include "platform/paths.h"

namespace storage {
namespace {

struct DatabaseState {
  bool known = false;
  RecordDatabase database;
  std::string serverMessage;
  uint64_t serverFailures = 0;
};

DatabaseState& State() {
  static DatabaseState state;
  return state;
}

// A Windows-style or native name as one text: "/" separators, no drive,
// no repeated separators, ASCII lower case (names match whatever their case).
std::string Normalised(const std::string& name) {
  std::string p;
  size_t from = name.size() >= 2 && name[1] == ':' ? 2 : 0;
  for (size_t i = from; i < name.size(); ++i) {
    char c = name[i] == '\\' ? '/' : name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/' && !p.empty() && p.back() == '/') continue;
    p += c;
  }
  return p;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

const RecordDatabase& CurrentRecordDatabase() {
  DatabaseState& s = State();
  if (!s.known) {
    s.database = {Environment("KELDB"), Environment("KELROOT")};
    s.known = true;
  }
  return s.database;
}

void SetRecordDatabase(const RecordDatabase& database) {
  State().database = database;
  State().known = true;
}

const std::string& RecordServerMessage() {
  return State().serverMessage;
}

uint64_t RecordServerFailures() {
  return State().serverFailures;
}

void NoteRecordServerFailure(const std::string& message) {
  State().serverMessage = message;
  ++State().serverFailures;
}

std::string DatabaseFileName(const std::string& name, const std::string& root) {
  const std::string path = Normalised(name);
  std::string prefix = Normalised(root);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  if (prefix.size() > 1 && path.size() > prefix.size() &&
      path.compare(0, prefix.size(), prefix) == 0)
    return path.substr(prefix.size());
  return path;
}

int16_t OpenBackendFile(const std::string& name, bool exclusive,
                        std::unique_ptr<OpenedRecordFile>* out) {
  const RecordDatabase& db = CurrentRecordDatabase();
  if (db.conninfo.empty()) return OpenSqliteFile(platform::NativePath(name), exclusive, out);
  return OpenPgFile(db.conninfo, DatabaseFileName(name, db.root), exclusive, out);
}

int16_t CreateBackendFile(const std::string& name, const FileSpec& spec, bool replace) {
  const RecordDatabase& db = CurrentRecordDatabase();
  if (db.conninfo.empty()) return CreateSqliteFile(platform::NativePath(name), spec, replace);
  return CreatePgFile(db.conninfo, DatabaseFileName(name, db.root), spec, replace);
}

int16_t ReplaceBackendFile(const std::string& from, const std::string& to) {
  const RecordDatabase& db = CurrentRecordDatabase();
  if (db.conninfo.empty()) {
    return ReplaceSqliteFile(platform::NativePath(from), platform::NativePath(to));
  }
  return ReplacePgFile(db.conninfo, DatabaseFileName(from, db.root), DatabaseFileName(to, db.root));
}

}  // namespace storage
