// A customer direct-debit initiation (ISO 20022 pain.008.001.02, SEPA core
// scheme) and its writer.
//
// The document holds one payment information block per collection date,
// in the order the dates first appear, each with the direct debits of that
// date in the order given.  Texts are code page 850 and are reduced to the
// SEPA character set and cut to the message's lengths when written;
// identifiers and accounts are expected already checked.
#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"

namespace remittance {

struct Debit {
  std::string collectionDate;    // yyyy-mm-dd
  long long cents = 0;           // above 0
  std::string endToEndId;        // unique in the document, up to 35 characters
  std::string mandateId;         // the same for a unit from month to month
  std::string debtorName;        // the tenant
  std::string debtorAccount;     // compact IBAN
  std::string ultimateCreditor;  // the owner the office collects for; may be blank
  std::string remittanceText;    // receipt number, period, reference
};

struct Creditor {
  std::string name;           // the office
  std::string id;             // creditor identifier
  std::string account;        // compact IBAN
  std::string bic;            // empty: not given
  std::string signatureDate;  // yyyy-mm-dd, for every mandate
  std::string sequenceType;   // FRST, RCUR, OOFF, FNAL
};

struct Document {
  std::string messageId;  // up to 35 characters
  platform::DateTime created;
  Creditor creditor;
  std::vector<Debit> debits;
};

// "1234.50": cents as euros with two decimals.
std::string EuroAmount(long long cents);

// Writes the document as UTF-8 XML under a new name beside path and renames
// it to path once it is complete and synced (platform::NewFile); a file
// already at path is replaced only then.  False, with nothing left behind
// and path as it was, when any part of it cannot be written.
bool WriteDocument(const std::string& path, const Document& document);

}  // namespace remittance
