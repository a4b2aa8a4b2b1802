// Sending the register's VERI*FACTU records to the tax agency: issuer by
// issuer, at most 1,000 records a submission, keeping to the wait the
// agency's last answer gave (unless 1,000 records are waiting), and keeping
// every answer.  A record is marked only by an answer of the agency; on any
// failure it stays waiting and the next attempt comes after a growing
// pause.  Records sent after an attempt failed carry the incident mark.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "ledger/register.h"
#include "verifactu/submission.h"

namespace ledger {

struct SendReport {
  int answered = 0;  // submissions the agency answered
  int failed = 0;    // attempts that failed
  std::vector<std::string> lines;   // what happened, in English, a line each
  std::string operatorMessage;      // the last failure, in the session language
};

// The header of a submission of records (one issuer's, at least one): the
// owner named as on the first record's receipt, the office (Tora.ini
// [Empresa]) as its representative, and the incident mark when records go
// after a failed attempt.
verifactu::Header SubmissionHeader(Register& reg, const std::vector<BillingEntry>& records,
                                   bool incident);

// Sends what is waiting, as the settings of [VeriFactu] say, at `now`.
SendReport SendWaiting(Register& reg, std::time_t now);

}  // namespace ledger
