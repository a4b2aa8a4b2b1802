// The register of an installation as recutil's commands reach it: ROOT, the
// installation root, for the SQLite file ROOT/REGISTRE.DB, or the reg_*
// tables of the PostgreSQL database --db (default KELDB) names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ledger/register.h"

namespace recutil {

// conninfo empty: the SQLite register under root.
// The office's settings the register's records need (company data,
// [Registre] and [VeriFactu] of root's Tora.ini), as the program reads them.
void LoadOfficeSettings(const std::string& root);

ledger::RegisterPlace RegisterPlaceOf(const std::string& root, const std::string& conninfo);

// Whether a register is there, asked without making one (opening a
// register creates it).  False with the reason in *error when the database
// cannot be asked.
bool RegisterExists(const ledger::RegisterPlace& place, bool* exists, std::string* error);

// Opens the register that is there: nullptr with the reason in *error when
// there is none or it cannot be opened.
std::unique_ptr<ledger::Register> OpenExistingRegister(const ledger::RegisterPlace& place,
                                                       std::string* error);

// The number of receipts in a register's raw contents.
long ReceiptRows(const std::vector<ledger::Register::Table>& tables);

}  // namespace recutil
