// The company data: the eight lines that identify the issuing firm on every
// receipt, fixed for an installation.
//
// They live in the installation's Tora.ini (under the root named by KELROOT),
// section [Empresa], keys Linia1 to Linia8.  Each line is padded with spaces
// or cut to 35 characters.  Line 7, the fiscal identifier, keeps only spaces,
// capitals A-Z and digits (the rest of the line moves left and spaces fill
// the end) and gets the country prefix "ES": it is 37 characters long.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace config {

struct CompanyData {
  // Lines[0] is line 1: 1 firm name, 2-5 address, 6 optional extra line,
  // 7 fiscal identifier, 8 line printed in capitals by one receipt layout.
  std::array<std::string, 8> Lines;
};
// Empty until LoadInstallationConfig, and again after the reset of the
// program state (platform/program_state.h).
CompanyData& Company();

// Line n (1 to 8) of the company data; the empty text outside 1..8.
std::string CompanyLine(int n);

// The fiscal identifier cleaned of every character but spaces, A-Z and 0-9
// (width kept with spaces at the end), with "ES" in front.
std::string NormaliseFiscalId(std::string_view line);

// Fills the company data, then loads the session settings.  Called once,
// first thing at start-up.
void LoadInstallationConfig();

}  // namespace config
