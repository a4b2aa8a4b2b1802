// ISO 7064 mod 97-10 over digits and letters.
#include "remittance/check_digits.h"

namespace remittance {
namespace {

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsAlnum(char c) {
  return IsUpper(c) || IsDigit(c);
}

bool AllAlnum(std::string_view text) {
  for (char c : text) {
    if (!IsAlnum(c)) return false;
  }
  return true;
}

// 98 minus the remainder of body + country + "00": the check digits that
// make body + country + digits 1 mod 97.
std::string CheckDigits(std::string_view body, std::string_view country) {
  const int rest = Mod97(std::string(body) + std::string(country) + "00");
  if (rest < 0) return {};
  const int digits = 98 - rest;  // 2 to 98
  return {static_cast<char>('0' + digits / 10), static_cast<char>('0' + digits % 10)};
}

}  // namespace

int Mod97(std::string_view text) {
  if (text.empty()) return -1;
  int rest = 0;
  for (char c : text) {
    if (IsDigit(c)) {
      rest = (rest * 10 + (c - '0')) % 97;
    } else if (IsUpper(c)) {
      rest = (rest * 100 + (c - 'A' + 10)) % 97;
    } else {
      return -1;
    }
  }
  return rest;
}

std::string CompactAccount(std::string_view account) {
  std::string compact;
  for (char c : account) {
    if (c == ' ') continue;
    compact += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return compact;
}

bool IsValidIban(std::string_view iban) {
  if (iban.size() < 15 || iban.size() > 34) return false;
  if (!IsUpper(iban[0]) || !IsUpper(iban[1]) || !IsDigit(iban[2]) || !IsDigit(iban[3])) {
    return false;
  }
  if (!AllAlnum(iban)) return false;
  return Mod97(std::string(iban.substr(4)) + std::string(iban.substr(0, 4))) == 1;
}

bool IsValidBic(std::string_view bic) {
  if (bic.size() != 8 && bic.size() != 11) return false;
  for (size_t i = 0; i < 6; ++i) {
    if (!IsUpper(bic[i])) return false;
  }
  const char location2 = bic[7];
  const bool location = (IsUpper(bic[6]) || (bic[6] >= '2' && bic[6] <= '9')) &&
                        IsAlnum(location2) && location2 != 'O';
  return location && AllAlnum(bic);
}

std::string CreditorIdentifier(std::string_view fiscalId, std::string_view businessCode) {
  const size_t end = fiscalId.find_last_not_of(' ');
  if (end == std::string_view::npos || end < 2) return {};
  const std::string_view country = fiscalId.substr(0, 2);
  const std::string_view national = fiscalId.substr(2, end - 1);
  if (!IsUpper(country[0]) || !IsUpper(country[1]) || !AllAlnum(national)) return {};
  if (businessCode.size() != 3 || !AllAlnum(businessCode)) return {};
  const std::string digits = CheckDigits(national, country);
  if (digits.empty()) return {};
  return std::string(country) + digits + std::string(businessCode) + std::string(national);
}

bool IsValidCreditorIdentifier(std::string_view id) {
  if (id.size() < 8 || id.size() > 35 || !AllAlnum(id)) return false;
  if (!IsUpper(id[0]) || !IsUpper(id[1]) || !IsDigit(id[2]) || !IsDigit(id[3])) return false;
  return CheckDigits(id.substr(7), id.substr(0, 2)) == id.substr(2, 2);
}

}  // namespace remittance
