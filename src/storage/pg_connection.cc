// libpq calls of the record manager.  Integers travel in network byte
// order, as the binary formats of int4 and int8 are.
#include "storage/pg_connection.h"

#include <endian.h>

#include <cstring>

#include "storage/hidden_passwords.h"
#include "storage/record_backend.h"
#include "storage/status.h"

namespace storage {
namespace {

constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt4Oid = 23;

std::string OneLine(const char* text) {
  std::string line = text == nullptr ? "" : text;
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  for (char& c : line) {
    if (c == '\n' || c == '\t') c = ' ';
  }
  return line;
}

// The server's notices (such as "already exists, skipping") are not for
// the operator's screen.
void IgnoreNotice(void*, const char*) {}

}  // namespace

PgParams& PgParams::Bytes(const std::string& bytes) {
  owned_.push_back(bytes);
  null_.push_back(false);
  lengths_.push_back(static_cast<int>(bytes.size()));
  types_.push_back(kByteaOid);
  return *this;
}

PgParams& PgParams::Null() {
  owned_.emplace_back();
  null_.push_back(true);
  lengths_.push_back(0);
  types_.push_back(kByteaOid);
  return *this;
}

PgParams& PgParams::Int64(int64_t value) {
  const uint64_t big = htobe64(static_cast<uint64_t>(value));
  owned_.emplace_back(reinterpret_cast<const char*>(&big), sizeof big);
  null_.push_back(false);
  lengths_.push_back(sizeof big);
  types_.push_back(kInt8Oid);
  return *this;
}

PgParams& PgParams::Int32(int32_t value) {
  const uint32_t big = htobe32(static_cast<uint32_t>(value));
  owned_.emplace_back(reinterpret_cast<const char*>(&big), sizeof big);
  null_.push_back(false);
  lengths_.push_back(sizeof big);
  types_.push_back(kInt4Oid);
  return *this;
}

std::vector<const char*> PgParams::Values() const {
  std::vector<const char*> values;
  for (size_t i = 0; i < owned_.size(); ++i)
    values.push_back(null_[i] ? nullptr : owned_[i].data());
  return values;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept {
  if (this != &other) {
    PQclear(result_);
    result_ = other.result_;
    other.result_ = nullptr;
  }
  return *this;
}

bool PgResult::ok() const {
  if (result_ == nullptr) return false;
  const ExecStatusType s = PQresultStatus(result_);
  return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

int64_t PgResult::Int(int row, int column) const {
  const char* p = PQgetvalue(result_, row, column);
  switch (PQgetlength(result_, row, column)) {
    case 2: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return static_cast<int16_t>(be16toh(v));
    }
    case 4: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return static_cast<int32_t>(be32toh(v));
    }
    case 8: {
      uint64_t v;
      std::memcpy(&v, p, 8);
      return static_cast<int64_t>(be64toh(v));
    }
    default:
      return 0;
  }
}

void PgResult::Bytes(int row, int column, std::string* to) const {
  const size_t n = static_cast<size_t>(PQgetlength(result_, row, column));
  to->resize(n);
  if (n != 0) std::memcpy(to->data(), PQgetvalue(result_, row, column), n);
}

bool PgResult::Bool(int row, int column) const {
  return PQgetlength(result_, row, column) >= 1 && PQgetvalue(result_, row, column)[0] != 0;
}

std::string PgResult::State() const {
  const char* state = result_ == nullptr ? nullptr : PQresultErrorField(result_, PG_DIAG_SQLSTATE);
  return state == nullptr ? std::string() : std::string(state);
}

PgConnection::~PgConnection() {
  if (conn_ != nullptr) PQfinish(conn_);  // the server drops this session's locks
}

bool PgConnection::Connect(const std::string& conninfo, std::string* message) {
  conninfo_ = conninfo;
  conn_ = PQconnectdb(conninfo.c_str());
  if (connected()) {
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
    return true;
  }
  *message = Message();
  return false;
}

bool PgConnection::connected() const {
  return conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK;
}

std::string PgConnection::Message() const {
  return conn_ == nullptr ? "out of memory"
                          : HidePasswords(OneLine(PQerrorMessage(conn_)), conninfo_);
}

PgResult PgConnection::Run(const std::string& sql) {
  return PgResult(PQexec(conn_, sql.c_str()));
}

PgResult PgConnection::Run(const std::string& sql, const PgParams& params) {
  const std::vector<const char*> values = params.Values();
  const std::vector<int> formats(params.count(), 1);
  return PgResult(PQexecParams(conn_, sql.c_str(), params.count(), params.types(), values.data(),
                               params.lengths(), formats.data(), 1));
}

PgResult PgConnection::RunPrepared(int id, const std::string& sql, const PgParams& params) {
  std::string name = "q";
  name += std::to_string(id);
  if (static_cast<size_t>(id) >= prepared_.size()) prepared_.resize(id + 1, false);
  if (!prepared_[id]) {
    PgResult made(PQprepare(conn_, name.c_str(), sql.c_str(), params.count(), params.types()));
    if (!made.ok()) return made;
    prepared_[id] = true;
  }
  const std::vector<const char*> values = params.Values();
  const std::vector<int> formats(params.count(), 1);
  return PgResult(PQexecPrepared(conn_, name.c_str(), params.count(), values.data(),
                                 params.lengths(), formats.data(), 1));
}

int PgConnection::TakeNotifications() {
  if (conn_ == nullptr || PQconsumeInput(conn_) == 0) return 0;
  int count = 0;
  while (PGnotify* n = PQnotifies(conn_)) {
    PQfreemem(n);
    ++count;
  }
  return count;
}

int16_t PgConnection::StatusOf(const PgResult& result) {
  if (!connected()) {
    NoteRecordServerFailure(Message());
    return kStatusManagerInactive;
  }
  const std::string state = result.State();
  if (state == "23505") return kStatusDuplicateKey;
  if (state == "42P01" || state == "42703") return kStatusNotARecordFile;
  if (state == "53100") return kStatusDiskFull;
  if (state == "55P03" || state == "40P01") return kStatusRecordLocked;
  if (state.rfind("42501", 0) == 0) return kStatusAccessDenied;
  return kStatusIoError;
}

}  // namespace storage
