// recutil register send|status|xml|correct: the register's VERI*FACTU
// billing records, sent to the tax agency, shown with its answers, written
// out as the sending would send them, and corrected after a rejection.
// Each command returns the process exit code, says what went wrong on
// standard error and writes what it did to `out` (standard output) in
// UTF-8.  `now` is the moment the command acts at (std::time on the
// command line).
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "ledger/register.h"

namespace recutil {

// Sends whatever waits (ledger::SendWaiting) and prints its report, a line
// each.  1 when an attempt failed (its records stay waiting and go with a
// later sending), when the settings would refuse VERI*FACTU
// (ledger::BillingSettingsProblem) or there is no register.
int SendRegister(const ledger::RegisterPlace& place, std::time_t now, std::FILE* out);

// Per issuer: the records waiting, accepted, accepted with errors,
// rejected and corrected; the last attempt and what came of it; when the
// next submission may go; then each record rejected or accepted with
// errors, with its code and reason and whether it was corrected since.
int ShowBillingStatus(const ledger::RegisterPlace& place, std::time_t now, std::FILE* out);

// Writes each issuer's waiting records as the submission documents the
// sending would send, at most 1,000 records each: DIR/NIF.xml, then
// DIR/NIF-2.xml and on; a line per file with its record count.
int WriteWaitingXml(const ledger::RegisterPlace& place, const std::string& dir, std::FILE* out);

// Registers a correction of the owner's receipt whose latest registration
// record the agency rejected or accepted with errors: the receipt as
// registered with the tenant's name and tax identifier as the unit's
// record (ROOT/DADES/DepartaV.dat) holds them now, sent by the next
// sending.  1, changing nothing, when the receipt is not there or
// cancelled, has no billing record, its record was accepted without
// errors or not answered yet, or a correction of it waits already.
int CorrectReceipt(const ledger::RegisterPlace& place, const std::string& ownerKey, int64_t number,
                   std::time_t now, std::FILE* out);

}  // namespace recutil
