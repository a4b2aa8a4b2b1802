// A written direct-debit file read back with libxml2: its structure checked
// element by element against the pain.008.001.02 message as the SEPA core
// scheme uses it, and its figures taken out for the tests to compare.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct PainDebit {
  std::string endToEndId, amount, mandateId, signatureDate, ultimateCreditor, debtorName,
      debtorIban, text;
};

struct PainBlock {
  std::string id, sequenceType, collectionDate, creditorName, creditorIban, creditorBic, creditorId;
  int count = 0;
  std::string sum;
  std::vector<PainDebit> debits;
};

struct PainFile {
  bool parsed = false;
  // Every breach of the structure: an element out of order, missing or
  // unknown, a value that does not match its pattern or length.
  std::vector<std::string> problems;
  std::string messageId, created, initiatingParty;
  int count = 0;
  std::string sum;
  std::vector<PainBlock> blocks;
};

PainFile ReadPainFile(const std::string& path);

// "1234.50" in cents; -1 when it is not an amount with two decimals.
long long PainCents(const std::string& amount);

}  // namespace testing_support
