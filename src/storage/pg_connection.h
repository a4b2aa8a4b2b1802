// A connection to the PostgreSQL server that holds the record files, with
// the few calls the record manager needs.  Every value travels as a binary
// parameter and comes back in binary form: record bytes are never part of
// the SQL text.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// Parameters of one statement, owned until it has run.
class PgParams {
 public:
  PgParams& Bytes(const std::string& bytes);  // bytea
  PgParams& Null();
  PgParams& Int64(int64_t value);  // int8
  PgParams& Int32(int32_t value);  // int4

  int count() const { return static_cast<int>(lengths_.size()); }
  std::vector<const char*> Values() const;
  const int* lengths() const { return lengths_.data(); }
  const Oid* types() const { return types_.data(); }

 private:
  std::vector<std::string> owned_;
  std::vector<bool> null_;
  std::vector<int> lengths_;
  std::vector<Oid> types_;
};

// A statement's result.
class PgResult {
 public:
  explicit PgResult(PGresult* result = nullptr) : result_(result) {}
  ~PgResult() { PQclear(result_); }
  PgResult(PgResult&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
  PgResult& operator=(PgResult&& other) noexcept;
  PgResult(const PgResult&) = delete;
  PgResult& operator=(const PgResult&) = delete;

  bool ok() const;
  int rows() const { return result_ == nullptr ? 0 : PQntuples(result_); }
  // A binary int2, int4 or int8 column.
  int64_t Int(int row, int column) const;
  // A binary bytea column, copied into *to (its buffer reused).
  void Bytes(int row, int column, std::string* to) const;
  // A boolean column.
  bool Bool(int row, int column) const;
  // The SQLSTATE of a failed statement ("" when none).
  std::string State() const;

 private:
  PGresult* result_;
};

class PgConnection {
 public:
  PgConnection() = default;
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // Connects; false with the server's reason in *message.
  bool Connect(const std::string& conninfo, std::string* message);
  bool connected() const;
  // The server's words for the last failure, on one line, without the
  // connection string's passwords (HidePasswords).
  std::string Message() const;

  // Runs a statement without parameters (several may be given).
  PgResult Run(const std::string& sql);
  // Runs one statement with binary parameters and results.
  PgResult Run(const std::string& sql, const PgParams& params);
  // The same through a statement prepared on its first use under number id
  // (sql is read only then).
  PgResult RunPrepared(int id, const std::string& sql, const PgParams& params);
  bool Prepared(int id) const {
    return static_cast<size_t>(id) < prepared_.size() && prepared_[id];
  }

  // Notifications received since the last call (reads what has arrived
  // without waiting for more).
  int TakeNotifications();

  // The status for a failed result: kStatusManagerInactive when the
  // connection is gone (the server's words go to RecordServerMessage), else
  // by SQLSTATE.
  int16_t StatusOf(const PgResult& result);

 private:
  PGconn* conn_ = nullptr;
  std::string conninfo_;  // whose passwords Message hides
  std::vector<bool> prepared_;
};

}  // namespace storage
