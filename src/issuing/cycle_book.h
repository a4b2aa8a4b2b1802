// The register's part of an issuing cycle.  With the register on, a cycle
// holds the register's writer lock from its first receipt to its end, so
// two workstations never give one number twice; each owner's receipts are
// numbered on from the greater of the owner's stored number and the
// register's highest; and a unit's receipt of a month already registered is
// printed again as a copy (same amounts) or refused (amounts changed).
// Off, none of this happens and the cycle is as without a register.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/tell_operator.h"
#include "issuing/receipt.h"
#include "ledger/register.h"
#include "office/selection.h"
#include "remittance/cycle.h"

namespace issuing {

// A receipt registered before whose amounts are now different: not
// printed.
struct Refusal {
  std::string unit;       // "0012.0003"
  std::string issuedOn;   // yyyy-mm-dd
  long long number = 0;
  double issuedTotal = 0;  // cents
  double newTotal = 0;
};

class CycleBook {
 public:
  CycleBook() = default;
  ~CycleBook() { Abandon(); }
  CycleBook(const CycleBook&) = delete;
  CycleBook& operator=(const CycleBook&) = delete;

  enum class StartOutcome {
    kReady,    // on and holding the register, or off
    kRefused,  // the register and VERI*FACTU settings cannot be used
    kFailed,   // the register could not be opened, or stayed busy
  };
  // Opens the register when it is on and starts the cycle's transaction,
  // waiting while another workstation issues: with the lock message on
  // screen, and no longer than a batch run's lock wait.  What stops it is
  // told through tell.
  StartOutcome Start(const office::Selection& s, const config::TellOperator& tell);
  bool on() const { return register_ != nullptr; }

  // The number the owner's receipts go on from.  False on a register fault.
  bool FirstNumber(const std::string& ownerKey, long long stored, long long* counter);

  enum class Seen { kNew, kCopy, kRefused };
  // How the unit's receipt r for the month of issueDate stands in the
  // register.  A copy gets the registered number, the copy mark and (when
  // its invoice has a billing record) the QR text; a refusal is described in
  // *refusal.
  bool Look(Receipt& r, const std::string& issueDate, Seen* seen, Refusal* refusal,
            bool* alreadyInRemittance);
  // Registers a new receipt, its values read from r and the current owner
  // and unit records, with its VERI*FACTU billing record in that mode (and
  // then r's QR text).  False on a register fault, or (billingRefused()
  // then) when the record could not be made.
  bool Add(Receipt& r, const office::Selection& s);
  bool billingRefused() const { return billingRefused_; }

  // Registers the remittance written (if any; ids: the register ids of the
  // receipts it was made from, in their order) and commits the cycle.
  bool Finish(const remittance::RemittanceResult& remittance, const std::vector<int64_t>& ids);
  // Drops everything the cycle registered.
  void Abandon();

  // The register id of the receipt last added or found (the remittance
  // names its receipts by it).
  int64_t lastId() const { return lastId_; }
  const std::string& error() const { return error_; }

 private:
  bool Failed();

  std::unique_ptr<ledger::Register> register_;
  std::string error_;
  int64_t lastId_ = 0;
  bool billingRefused_ = false;
};

// "2026-12-01" from a packed date.
std::string IsoDateOf(const std::string& packed);

}  // namespace issuing
