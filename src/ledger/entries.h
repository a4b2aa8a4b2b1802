// What the register keeps: the receipts issued, the cycles they came from,
// the remittances written and the cancellations.  Amounts are whole cents,
// rates hundredths of a percent; texts are code page 850 in the program
// (the register stores them as UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledger {

// A charge of a receipt: its place 1 to 14 on the unit's charges, its name
// and amount, and the part of it subject to VAT.
struct ConceptLine {
  int code = 0;
  std::string name;
  int64_t cents = 0;
  int64_t vatBaseCents = 0;
};

struct IssuedReceipt {
  std::string ownerKey;  // the owner's number, 4 digits
  std::string ownerName;
  std::string ownerTaxId;
  int64_t number = 0;
  std::string unitKey;  // property and unit, 4 digits each: "00120003"
  std::string reference;
  std::string tenantName;
  std::string tenantTaxId;
  std::string issueDate;  // yyyy-mm-dd
  std::string period;     // 2 digits
  std::string collectionForm;
  std::vector<ConceptLine> lines;
  int64_t baseCents = 0;
  int64_t vatRate = 0;
  int64_t vatCents = 0;
  int64_t withholdingRate = 0;
  int64_t withholdingCents = 0;
  int64_t totalCents = 0;
  std::string currency;  // "EUR"
  std::string layout;    // "boxed", "preprinted", "preprinted2"
  // Set by the register when read back.
  int64_t id = 0;
  int64_t cycle = 0;
  bool cancelled = false;
  bool inRemittance = false;

  // "yyyy-mm": a unit's receipt of one month is one receipt.
  std::string Month() const { return issueDate.substr(0, 7); }
  // The amounts that make two issues of a receipt the same.
  bool SameAmounts(const IssuedReceipt& other) const;
};

struct CycleEntry {
  int64_t number = 0;
  std::string startedAt;  // yyyy-mm-dd hh:mm:ss, local time
  std::string workstation;
  std::string user;
  std::string selection;  // the operator's choices, as text
};

struct RemittanceEntry {
  int64_t id = 0;
  int64_t cycle = 0;
  std::string file;
  std::string collectionDate;  // yyyy-mm-dd
  int64_t count = 0;
  int64_t cents = 0;
  std::vector<int64_t> receipts;  // the receipts' register ids
};

// A VERI*FACTU billing record as the register keeps it: the values its
// fingerprint is computed from, its place in its issuer's chain, and the
// record itself as the XML element that is sent (never changed once
// registered).
struct BillingEntry {
  int64_t id = 0;
  std::string issuerNif;
  int64_t chainSeq = 0;  // 1 for the first record of the issuer's chain
  std::string kind;      // "alta" or "anulacion"
  int64_t receipt = 0;   // the register id of its receipt
  std::string seriesNumber;
  std::string issueDate;    // dd-mm-yyyy
  std::string invoiceType;  // "F1", "F2"; empty for a cancellation
  std::string totalTax;     // as in the record: "21.00"
  std::string totalAmount;
  std::string generatedAt;  // FechaHoraHusoGenRegistro
  std::string fingerprint;
  std::string previousFingerprint;  // empty for the first
  std::string correction;           // "", "S" (amends), "SX"/"SS" (after a rejection)
  std::string xml;                  // the RegistroAlta or RegistroAnulacion element
  int64_t cycle = 0;                // 0: made by recutil
};

// One attempt to send an issuer's waiting records, and what came of it.
struct SubmissionEntry {
  int64_t id = 0;
  std::string issuerNif;
  int64_t attemptedAt = 0;  // seconds since the epoch
  std::string outcome;      // "answered" or "failed"
  std::string message;      // English; empty when answered
  std::string operatorMessage;  // the same in the session language (code page 850)
  std::string csv;              // the agency's secure verification code
  int64_t waitSeconds = 0;
  bool incident = false;
  int64_t records = 0;
};

// The agency's word on one record of a submission: "Correcto",
// "AceptadoConErrores" or "Incorrecto" (a record the agency already held
// carries the state it holds it in).
struct AnswerEntry {
  int64_t record = 0;
  int64_t submission = 0;
  std::string state;
  std::string code;
  std::string text;
};

// When an issuer's next submission may go, how many attempts in a row
// failed, and until when a sender is at work on it.
struct FlowEntry {
  std::string issuerNif;
  int64_t nextAt = 0;
  int64_t failures = 0;
  int64_t claimedUntil = 0;
};

}  // namespace ledger
