// The selection of an issuing cycle: what the operator chose on the
// selection screen (screen 1), in the forms the issuing run works from.
//
// Field values of screen 1 and what they become:
//   1        issue date             packed date (4 bytes)
//   2, 3     first unit             packed property and unit (4 bytes)
//   4, 5     last unit              the same
//   6        period number          1 packed byte
//   7/10/13  form A/B/F wanted      "S"
//   8-9, 11-12, 14-15               collection-code bounds: the form letter
//                                   and the code packed in 2 bytes
//   16..29   concepts 1 to 14       "S"
#pragma once

#include <array>
#include <string>

namespace office {

inline constexpr int kConcepts = 14;
inline constexpr char kFormLetters[] = "ABF";

struct Selection {
  std::string issueDate;  // packed date
  std::string unitLow;    // property (2 packed bytes), unit (2 packed bytes)
  std::string unitHigh;
  std::string period;                  // 1 packed byte
  std::array<bool, 3> formOn{};        // forms A, B, F
  std::array<std::string, 3> codeLow;  // form letter + 2 packed bytes
  std::array<std::string, 3> codeHigh;
  std::array<bool, kConcepts> conceptOn{};
};

// The selection that the issuing run reads; set when screen 1 is left.
Selection& CurrentSelection();

// The selection made of the current field values of screen 1.
Selection SelectionFromScreen();

// Empty when the selection can be issued; otherwise why not, in Catalan (to
// be translated): no issue date or one that is no calendar date (checked as
// a typed date is), the first unit lies after the last, a form switched on
// has its first collection code above its last, no concept or no form is
// switched on.
std::string SelectionProblem(const Selection& s);

// The part of SelectionProblem about the packed issue date alone: empty
// when it is a calendar date.
std::string IssueDateProblem(const std::string& date);

}  // namespace office
