// REGISTRE.txt: a register's whole content as text, written by recutil
// export and read by recutil import.  UTF-8 (the register's own texts),
// lines ended by LF:
//
//   QANTIRES REGISTER 1
//   TABLE <TAB> name <TAB> rows <TAB> column <TAB> column ...
//   value <TAB> value ...          (rows lines, a value per column)
//   ...                            (every table of the register, in turn)
//   END
//
// In a value a backslash, a tab, a line feed and a carriage return are
// written "\\", "\t", "\n" and "\r"; no other escape exists.  The row
// counts and the END line let a cut file be told from a whole one.
#pragma once

#include <string>
#include <vector>

#include "ledger/register.h"

namespace recutil {

std::string RegisterText(const std::vector<ledger::Register::Table>& tables);

// The tables of a REGISTRE.txt.  False with the fault and its line number
// in *error for anything but a whole file of the register's tables and
// columns.
bool ParseRegisterText(const std::string& text, std::vector<ledger::Register::Table>* tables,
                       std::string* error);

}  // namespace recutil
