// The register's VERI*FACTU billing records with the agency's word on each,
// as recutil's listings and its correction read them.  Texts are code page
// 850.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ledger/register.h"

namespace recutil {

struct AnsweredRecord {
  ledger::BillingEntry entry;
  std::optional<ledger::AnswerEntry> answer;  // the latest; none while it waits
  // A later registration record of the same receipt is a correction.
  bool corrected = false;

  bool Rejected() const { return answer && answer->state == "Incorrecto"; }
  bool WithErrors() const { return answer && answer->state == "AceptadoConErrores"; }
};

// Every record of the issuer ("" for all), in the register's order (issuer,
// then place in the chain).
bool AnsweredRecords(ledger::Register& reg, const std::string& issuerNif,
                     std::vector<AnsweredRecord>* out);

// "rejected 1110: <text>" or "accepted with errors 2000: <text>", with
// ", corrected since" when it was; for a record rejected or accepted with
// errors only.
std::string AnswerNote(const AnsweredRecord& record);

// For each receipt (register id) with a registration record rejected or
// accepted with errors, a note per such record.
bool ReceiptNotes(ledger::Register& reg, std::map<int64_t, std::vector<std::string>>* notes);

}  // namespace recutil
