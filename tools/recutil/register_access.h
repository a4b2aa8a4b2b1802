// The register of an installation as recutil's commands reach it: ROOT, the
// installation root, for the SQLite file ROOT/REGISTRE.DB, or the reg_*
// tables of the PostgreSQL database --db (default KELDB) names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ledger/register.h"

namespace recutil {

// The office's settings the register's records need (company data,
// [Registre] and [VeriFactu] of root's Tora.ini), as the program reads them.
void LoadOfficeSettings(const std::string& root);

// conninfo empty: the SQLite register under root.
ledger::RegisterPlace RegisterPlaceOf(const std::string& root, const std::string& conninfo);

using ledger::OpenExistingRegister;
using ledger::RegisterExists;

// The number of receipts in a register's raw contents.
long ReceiptRows(const std::vector<ledger::Register::Table>& tables);

}  // namespace recutil
