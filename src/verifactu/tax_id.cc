// The check characters of DNI, NIE, K/L/M and CIF identifiers.
#include "verifactu/tax_id.h"

namespace verifactu {
namespace {

constexpr std::string_view kDniLetters = "TRWAGMYFPDXBNJZSQVHLCKE";
constexpr std::string_view kCifLetters = "JABCDEFGHI";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// Capitals and digits only; the empty text for any other character.
std::string Compact(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' || c == '-' || c == '.') continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!IsDigit(c) && !(c >= 'A' && c <= 'Z')) return {};
    out += c;
  }
  return out;
}

char DniLetter(std::string_view digits) {
  long number = 0;
  for (char c : digits) number = number * 10 + (c - '0');
  return kDniLetters[static_cast<size_t>(number % 23)];
}

// Digits in odd places (first, third, ...) count doubled, as the sum of
// the product's digits; the control is what brings the sum to a ten.
int CifControl(std::string_view digits) {
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const int d = digits[i] - '0';
    sum += i % 2 == 0 ? (2 * d) / 10 + (2 * d) % 10 : d;
  }
  return (10 - sum % 10) % 10;
}

bool ValidCif(char kind, std::string_view digits, char control) {
  const int expected = CifControl(digits);
  const bool digitOk = control == static_cast<char>('0' + expected);
  const bool letterOk = control == kCifLetters[static_cast<size_t>(expected)];
  if (std::string_view("ABEH").find(kind) != std::string_view::npos) return digitOk;
  if (std::string_view("NPQRSW").find(kind) != std::string_view::npos) return letterOk;
  return digitOk || letterOk;
}

bool Valid(std::string_view id) {
  const char first = id[0];
  const std::string_view digits = id.substr(1, 7);
  const char last = id[8];
  if (!AllDigits(digits)) return false;
  if (IsDigit(first)) return last == DniLetter(id.substr(0, 8));
  if (first >= 'X' && first <= 'Z') {
    return last ==
           DniLetter(std::string(1, static_cast<char>('0' + first - 'X')) + std::string(digits));
  }
  if (first >= 'K' && first <= 'M') return last == DniLetter(digits);
  if (std::string_view("ABCDEFGHJNPQRSUVW").find(first) != std::string_view::npos) {
    return ValidCif(first, digits, last);
  }
  return false;
}

}  // namespace

std::string SpanishTaxId(std::string_view text) {
  std::string id = Compact(text);
  if (id.size() == 11 && id.compare(0, 2, "ES") == 0) id.erase(0, 2);
  if (id.size() >= 2 && id.size() < 9 && AllDigits(std::string_view(id).substr(0, id.size() - 1))) {
    id.insert(0, 9 - id.size(), '0');
  }
  if (id.size() != 9 || !Valid(id)) return {};
  return id;
}

}  // namespace verifactu
