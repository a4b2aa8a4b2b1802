// The register's part of moving an installation: recutil export writes it
// to REGISTRE.txt (register_file.h) beside the NAME.seq files, recutil
// import loads it from there, and recutil copy carries it between the
// SQLite file under the root and the PostgreSQL database with the record
// files.  A register is always loaded whole, in one transaction.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/register.h"
#include "office_transfer.h"

namespace recutil {

// The register of the installation at root (ROOT/REGISTRE.DB) written to
// folder/REGISTRE.txt; no row when the installation has no register.
std::optional<TransferRow> ExportRegister(const std::string& root, const std::string& folder);

// folder/REGISTRE.txt (any case) loaded into ROOT/REGISTRE.DB; no row when
// the folder has none.  A register that holds receipts is left alone
// unless replace is set, as a record file of ours is.
std::optional<TransferRow> ImportRegister(const std::string& root, const std::string& folder,
                                          bool replace);

// A register on its way from one place to another.
struct RegisterCopy {
  bool any = false;  // the source has a register
  std::vector<ledger::Register::Table> tables;
};

// Reads the register at `from` (none: nothing to carry) and makes sure the
// one at `to` loses nothing by being replaced: every entry it holds must be
// in the source, which is so when the source has gone on from an earlier
// copy of it.  False with the reason in *problem otherwise, or when either
// cannot be read.
bool PlanRegisterCopy(const ledger::RegisterPlace& from, const ledger::RegisterPlace& to,
                      RegisterCopy* plan, std::string* problem);
// Replaces the content of the register at `to` (made when missing) with
// the plan's.
bool CarryRegister(const ledger::RegisterPlace& to, const RegisterCopy& plan, std::string* problem);

}  // namespace recutil
