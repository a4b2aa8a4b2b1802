// The register: the program's own book of every receipt issued, shared by
// every workstation of an office.  It lives with the record files: an SQLite
// file REGISTRE.DB in the installation root when the record files are
// SQLite files, tables reg_* in the PostgreSQL database of KELDB otherwise.
// The record files are never written.
//
// A cycle writes in one transaction holding the register's one writer lock:
// BeginCycle, then Add for each receipt, then Commit once the spool is
// complete (Abandon, or a killed process, leaves nothing of it).  Nothing
// registered is changed or deleted afterwards; a cancellation is a new
// entry.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ledger/entries.h"
#include "ledger/sql_database.h"

namespace ledger {

// Where an installation's register is: conninfo empty for the SQLite file
// under root (the installation root as the system names it).
struct RegisterPlace {
  std::string conninfo;
  std::string root;
};
// The register of the record files the program uses now.
RegisterPlace CurrentRegisterPlace();

// Whether a register is there, asked without making one (opening a
// register creates it).  False with the reason in *error when the database
// cannot be asked.
bool RegisterExists(const RegisterPlace& place, bool* exists, std::string* error);

struct ReceiptFilter {
  int64_t cycle = 0;       // 0: any
  std::string month;       // "yyyy-mm"; empty: any
  std::string ownerKey;    // 4 digits; empty: any
  bool withCancelled = true;
};

enum class CancelOutcome { kCancelled, kNotFound, kAlreadyCancelled, kBusy, kFailed };

class Register {
 public:
  // Opens the register, creating its tables when missing.  nullptr with
  // the reason in *error when it cannot be opened.
  static std::unique_ptr<Register> Open(const RegisterPlace& place, std::string* error);

  // The reason for the last failure.
  const std::string& error() const { return error_; }

  // Starts a cycle's transaction, or says kBusy at once when another
  // process writes.  cycle->number is set to the cycle's number.
  WriteStart BeginCycle(CycleEntry* cycle);
  // In a cycle: the highest number the owner's receipts have (0 for none).
  bool HighestNumber(const std::string& ownerKey, int64_t* number);
  // In a cycle: the unit's receipt of that month that is not cancelled.
  bool FindIssued(const std::string& unitKey, const std::string& month,
                  std::optional<IssuedReceipt>* found);
  // In a cycle: registers the receipt (its id and cycle set).
  bool Add(IssuedReceipt* receipt);
  bool AddRemittance(RemittanceEntry* remittance);
  // Ends the transaction: all of it kept, or none.
  bool Commit();
  void Abandon();

  // Starts a write transaction of a tool (cancel, correct, send), or kBusy.
  WriteStart BeginWrite();

  // VERI*FACTU billing records.  In a write transaction: the issuer's last
  // `count` records, the newest first; a new record at the end of a chain.
  bool LastBilling(const std::string& issuerNif, int count, std::vector<BillingEntry>* last);
  bool AddBilling(BillingEntry* entry);
  // Whether the receipt with register id `receipt` has a registration record.
  bool HasRegistration(int64_t receipt, bool* has);
  // Whether the register holds any billing record.
  bool HoldsBilling(bool* holds);
  // The records of one issuer ("" for all), by issuer and place in the chain.
  bool Billing(const std::string& issuerNif, std::vector<BillingEntry>* out);

  // Sending.  The records no answer was kept for, in chain order, at most
  // limit; the issuers that have such records.
  bool WaitingBilling(const std::string& issuerNif, int limit, std::vector<BillingEntry>* out);
  bool IssuersWaiting(std::vector<std::string>* out);
  // The answers kept for a record, the latest first.
  bool AnswersFor(int64_t record, std::vector<AnswerEntry>* out);
  // In a write transaction: an issuer's flow (all zero when none is kept),
  // its new value, a submission attempt (id set) and one record's answer.
  bool Flow(const std::string& issuerNif, FlowEntry* out);
  bool SetFlow(const FlowEntry& flow);
  bool AddSubmission(SubmissionEntry* entry);
  bool AddAnswer(const AnswerEntry& entry);
  // Each issuer's latest attempt.
  bool LatestAttempts(std::vector<SubmissionEntry>* out);
  // The issuer's attempts, the latest first, at most limit.
  bool Submissions(const std::string& issuerNif, int limit, std::vector<SubmissionEntry>* out);

  // Reading, each in one read transaction.
  bool Receipts(const ReceiptFilter& filter, std::vector<IssuedReceipt>* out);
  bool Remittances(std::vector<RemittanceEntry>* out);
  // The receipt with register id `id`, as out's one element.
  bool ReceiptById(int64_t id, std::vector<IssuedReceipt>* out);
  bool Cycles(std::vector<CycleEntry>* out);

  // Cancels the owner's receipt (a new entry).  kBusy when another process
  // writes.  alsoWrite, when given, runs in the same transaction with the
  // receipt (its failure cancels nothing).
  CancelOutcome Cancel(const std::string& ownerKey, int64_t number, const CycleEntry& who,
                       const std::function<bool(const IssuedReceipt&)>& alsoWrite = {});

  // What is wrong with the register: a line per fault, none when sound.
  bool Check(std::vector<std::string>* faults);

  // The raw contents for moving a register (export, import, copy): each
  // table's rows, every value as text.
  struct Table {
    std::string name;
    std::vector<std::vector<std::string>> rows;
  };
  bool Dump(std::vector<Table>* tables);
  // Replaces the whole content with tables (one transaction).
  bool Load(const std::vector<Table>& tables);

 private:
  explicit Register(std::unique_ptr<SqlDatabase> db) : db_(std::move(db)) {}
  bool CreateTables();
  bool Fail(const std::string& reason);
  bool ReadLines(IssuedReceipt* r);

  // Forgets what a write transaction learnt (its end drops it).
  void ForgetWrites();

  std::unique_ptr<SqlDatabase> db_;
  std::string error_;
  int64_t cycle_ = 0;
  int64_t nextId_ = 0;
  // Within a write transaction, which holds the writer lock: the next
  // billing id, and each issuer's last two records as this transaction
  // left them, so that a cycle of many records reads each chain's end once.
  int64_t nextBillingId_ = 0;
  std::map<std::string, std::vector<BillingEntry>> chainEnds_;
};

// Opens the register that is there: nullptr with the reason in *error when
// there is none or it cannot be opened.
std::unique_ptr<Register> OpenExistingRegister(const RegisterPlace& place, std::string* error);

// The tables and their columns, in the order Dump gives them.
const std::vector<std::pair<std::string, std::vector<std::string>>>& RegisterTables();

}  // namespace ledger
