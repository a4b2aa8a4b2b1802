// The program's identity: its name and customer variant, fixed at start-up
// and read-only afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace config {

struct ProgramIdentity {
  std::string ProgramName;           // "QANTIRES": language, form and help file names
  std::int16_t CustomerVariant = 0;  // 0, 1 or 2
  std::string LanguageFileName;      // ProgramName as the first translation found it
};
// Empty until start-up fills it, and again after the reset of the program
// state (platform/program_state.h).
ProgramIdentity& Program();

inline constexpr const char* kProgramName = "QANTIRES";

// The two customers with their own variant, as the first 17 characters of
// company line 7 ("ES", the cleaned fiscal identifier, spaces).  Variant 1
// widens the collection-code fields; variant 2 prints on the second
// pre-printed form.  Set for each customer's build.
inline constexpr char kCustomerVariant1[] = "ESA08000001      ";
inline constexpr char kCustomerVariant2[] = "ESB08000002      ";
static_assert(sizeof kCustomerVariant1 == 18 && sizeof kCustomerVariant2 == 18);

// 1 or 2 when the first 17 characters of line 7 name one of the two
// customers (exact comparison), else 0.
std::int16_t CustomerVariantFor(const std::string& companyLine7);

}  // namespace config
