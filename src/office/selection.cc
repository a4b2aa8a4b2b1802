// Screen 1's field values turned into the selection of the issuing run.
#include "office/selection.h"

#include <algorithm>

#include "format/dates.h"
#include "format/packed.h"
#include "office/screen_form.h"
#include "platform/program_state.h"

namespace office {
namespace {

std::string Value(int field) {
  const ScreenField* f = FieldAt(1, field);
  return f == nullptr ? std::string() : f->value;
}

bool IsOn(int field) {
  return Value(field) == "S";
}

// Form letter and the code packed from the last 4 characters of "00" + text
// (zeros in front when the field is shorter than 2 characters).
std::string CodeBound(char letter, const std::string& text) {
  std::string digits = "0000" + text;
  return std::string(1, letter) + format::PackDigits(digits.substr(digits.size() - 4)).substr(0, 2);
}

}  // namespace

Selection& CurrentSelection() {
  static Selection selection;
  return selection;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kOffice, "office::CurrentSelection", [] { CurrentSelection() = Selection{}; });
}  // namespace

Selection SelectionFromScreen() {
  Selection s;
  s.issueDate = format::ParseDate(Value(1));
  s.unitLow = format::DottedCode(Value(2) + "." + Value(3));
  s.unitHigh = format::DottedCode(Value(4) + "." + Value(5));
  s.period = format::PackDigits(Value(6));
  for (int form = 0; form < 3; ++form) {
    s.formOn[form] = IsOn(7 + 3 * form);
    s.codeLow[form] = CodeBound(kFormLetters[form], Value(8 + 3 * form));
    s.codeHigh[form] = CodeBound(kFormLetters[form], Value(9 + 3 * form));
  }
  for (int i = 0; i < kConcepts; ++i) s.conceptOn[i] = IsOn(16 + i);
  return s;
}

std::string IssueDateProblem(const std::string& date) {
  // Checked as a typed date is: a preset from a damaged terminal file would
  // otherwise print a day that does not exist.
  const std::string digits = format::DateDigits(date);
  if (digits.empty()) return "CAP DATA D'EMISSI\xE0";
  if (format::IsInvalidDate(digits)) return "DATA D'EMISSI\xE0 NO V\xB7LIDA";
  return {};
}

std::string SelectionProblem(const Selection& s) {
  std::string dateProblem = IssueDateProblem(s.issueDate);
  if (!dateProblem.empty()) return dateProblem;
  if (s.unitLow > s.unitHigh) return "EL PRIMER DEPARTAMENT \x90S POSTERIOR A L'\xE9LTIM";
  for (int form = 0; form < 3; ++form) {
    if (s.formOn[form] && s.codeLow[form] > s.codeHigh[form]) {
      return "EL PRIMER CODI DE COBRAMENT \x90S POSTERIOR A L'\xE9LTIM";
    }
  }
  if (std::none_of(s.conceptOn.begin(), s.conceptOn.end(), [](bool b) { return b; })) {
    return "CAP CONCEPTE A EMETRE";
  }
  if (std::none_of(s.formOn.begin(), s.formOn.end(), [](bool b) { return b; })) {
    return "CAP FORMA DE COBRAMENT";
  }
  return {};
}

}  // namespace office
