// The VERI*FACTU billing records of the register's receipts: built from the
// values the register keeps, checked against the end of their issuer's
// chain, and appended to it in the caller's write transaction.
#pragma once

#include <ctime>
#include <string>

#include "ledger/register.h"
#include "verifactu/records.h"

namespace ledger {

// "Serie" + the 8-digit receipt number: the invoice's number.
std::string SeriesNumber(const IssuedReceipt& receipt);
// The issuer's tax identifier as the records carry it ("" when the owner's
// is not a valid Spanish one).
std::string IssuerNif(const IssuedReceipt& receipt);

// The agency's verification address of the receipt, for its QR code.
std::string QrTextFor(const IssuedReceipt& receipt);

// The registration record of receipt (a correction of an earlier one when
// correction says so), appended to its issuer's chain at `now`.  Empty when
// made; otherwise why no record could be made (in English): the issuer has
// no valid tax identifier, the chain's last record is missing or does not
// match its fingerprint or its predecessor, or the clock is more than a
// minute behind the last record.
std::string AppendRegistration(Register& reg, const IssuedReceipt& receipt, std::time_t now,
                               const verifactu::Correction& correction = {});
// The cancellation record of a cancelled receipt, with the same checks, for
// the invoice its registration record names; none (and empty) for a receipt
// without a registration record.
std::string AppendCancellation(Register& reg, const IssuedReceipt& receipt, std::time_t now);

// The record's generation time back as a moment; -1 when it is not one.
std::time_t GenerationMoment(const std::string& generationTime);

}  // namespace ledger
