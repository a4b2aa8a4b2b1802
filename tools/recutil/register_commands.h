// recutil register: the book of receipts issued, read and cancelled in.
// Each command returns the process exit code and says what went wrong on
// standard error; listings go to `out` (standard output), as UTF-8.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "ledger/register.h"

namespace recutil {

// "0012" for "12" or "0012": an owner's number as the register keeps it.
// False for anything but 1 to 4 digits.
bool OwnerKeyOf(const std::string& text, std::string* key);

struct ListOptions {
  ledger::ReceiptFilter filter;
  std::string csv;  // file to write the journal into as CSV (journal.h)
  std::string pdf;  // file to write the journal into as PDF
};
// The journal: on `out` as aligned text, or into the CSV and PDF files
// given (then a line "written FILE" each).  1 when there is no register or
// a file cannot be written.
int ListRegister(const ledger::RegisterPlace& place, const ListOptions& options, std::FILE* out);

// Each remittance written (file, collection date, count, sum, cycle) and
// the receipts it held.
int ListRemittances(const ledger::RegisterPlace& place, std::FILE* out);

// Shows the owner's receipt and cancels it.  Unless `yes`, asks
// "cancel? [y/N]" and reads the answer from `in` when `terminal` (`in` is
// the operator's terminal); without a terminal it cancels nothing and
// returns 2.  1 when the receipt is not there or already cancelled, the
// answer is not "y", or another program is writing the register.
int CancelReceipt(const ledger::RegisterPlace& place, const std::string& ownerKey, int64_t number,
                  bool yes, std::FILE* in, bool terminal, std::FILE* out);

// Register::Check's faults, a line each, then "register: sound" or
// "register: damaged" (exit code 1).
int CheckRegister(const ledger::RegisterPlace& place, std::FILE* out);

}  // namespace recutil
