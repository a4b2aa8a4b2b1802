// Check digits of the bank identifiers a direct-debit file carries: the
// IBAN of an account and the SEPA creditor identifier, both ISO 7064
// mod 97-10 with letters counted as A = 10 to Z = 35.
#pragma once

#include <string>
#include <string_view>

namespace remittance {

// The remainder mod 97 of the number written by the text, each letter A-Z
// standing for its two digits 10 to 35; -1 when the text holds anything
// else (or nothing).
int Mod97(std::string_view text);

// An account as typed or stored ("ES91 2100 0418 ...  "): spaces removed,
// letters upper-cased.
std::string CompactAccount(std::string_view account);

// A compact IBAN: two letters, two digits, then 11 to 30 letters or digits,
// whose number (first four characters moved to the end) is 1 mod 97.
bool IsValidIban(std::string_view iban);

// A BIC: 4 letters (bank), 2 letters (country), 2 letters or digits
// (location, the second not "O"), and an optional 3-character branch.
bool IsValidBic(std::string_view bic);

// The creditor identifier of a company: country code, two check digits,
// the 3-character business code, the national identifier.  `fiscalId` is
// the company's identifier with its country in front ("ESB17654321", as
// the company data's line 7 holds it, trailing spaces allowed).  The check
// digits are computed over the national identifier, the country code and
// "00"; the business code does not count.  Empty when the identifier is
// not a country code and letters or digits.
std::string CreditorIdentifier(std::string_view fiscalId, std::string_view businessCode);

// A creditor identifier whose check digits are right.
bool IsValidCreditorIdentifier(std::string_view id);

}  // namespace remittance
