// Locks of a record file kept in PostgreSQL: session advisory locks of the
// open's own connection (see pg_store.h), and the write count that tells
// an open to drop what it read ahead.
#include <chrono>
#include <unordered_map>

#include "storage/pg_store.h"
#include "storage/status.h"

namespace storage {
namespace {

// Writes through the opens of this process, by file name: seen at once,
// where the notifications of other processes arrive a moment after their
// commit.
std::unordered_map<std::string, uint64_t>& LocalWrites() {
  static std::unordered_map<std::string, uint64_t> writes;
  return writes;
}

}  // namespace

PgLocks::PgLocks(PgConnection& connection, int fileId, std::string name)
    : db_(connection), fileId_(fileId), name_(std::move(name)) {}

PgLocks::~PgLocks() {
  if (db_.connected()) db_.Run("SELECT pg_advisory_unlock_all()");
}

int16_t PgLocks::Open(bool exclusive) {
  PgParams params;
  params.Int64(fileId_);
  const PgResult r = db_.Run(
      exclusive ? "SELECT pg_try_advisory_lock($1)" : "SELECT pg_try_advisory_lock_shared($1)",
      params);
  if (!r.ok()) return db_.StatusOf(r);
  if (!r.Bool(0, 0)) return kStatusFileLocked;
  const PgResult listen = db_.Run("LISTEN qt_r" + std::to_string(fileId_));
  return listen.ok() ? kStatusOk : db_.StatusOf(listen);
}

bool PgLocks::Ask(const char* sql, uint32_t position) {
  PgParams params;
  params.Int32(fileId_).Int32(static_cast<int32_t>(position));
  const PgResult r = db_.Run(sql, params);
  return r.ok() && r.rows() == 1 && r.Bool(0, 0);
}

bool PgLocks::LockRecord(uint32_t position, bool wait) {
  if (wait) {
    PgParams params;
    params.Int32(fileId_).Int32(static_cast<int32_t>(position));
    return db_.Run("SELECT pg_advisory_lock($1, $2)", params).ok();
  }
  return Ask("SELECT pg_try_advisory_lock($1, $2)", position);
}

void PgLocks::UnlockRecord(uint32_t position) {
  Ask("SELECT pg_advisory_unlock($1, $2)", position);
}

bool PgLocks::HeldElsewhere(uint32_t position) {
  if (!Ask("SELECT pg_try_advisory_lock($1, $2)", position)) return true;
  UnlockRecord(position);
  return false;
}

bool PgLocks::ChangeCount(uint64_t* count) const {
  // Looking for notifications is a system call; a run of Get Next asks for
  // every record, so it looks at most once a millisecond.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastLook_ >= kLookEvery) {
    notified_ += static_cast<uint64_t>(db_.TakeNotifications());
    lastLook_ = now;
  }
  *count = notified_ + LocalWrites()[name_];
  return true;
}

void PgLocks::NoteChange() {
  ++LocalWrites()[name_];
}

}  // namespace storage
