// FormatDate with its month tables and linking words.
#include "format/long_dates.h"

#include <cstdio>

#include "format/format_settings.h"
#include "format/packed.h"
#include "format/text.h"
#include "platform/timing.h"

namespace format {
namespace {

struct Language {
  const char* consonantMonth;  // before a month name that starts with a consonant
  const char* vowelMonth;      // before a month name that starts with a vowel
  const char* dayOrYear;       // before a day or a year
  const char* months;          // twelve 10-character entries
};

constexpr Language kSpanish = {" de ", " de ", " de ",
                               "enero     febrero   marzo     abril     mayo      junio     "
                               "julio     agosto    septiembreoctubre   noviembre diciembre "};
constexpr Language kGalician = {" de ", " de ", " do ",
                                "janeiro   fevereiro mar\x87o     abril     maio      junho     "
                                "julho     agosto    setembro  outubro   novembro  dezembro  "};
constexpr Language kAranese = {
    " de ", " d'", " deth ",
    "g\x8Ar       hereu\x8Ar   mar\x87      abriu     mai       junh      "
    "junhsega  agost     seteme    octobre   noveme    deseme    "};
constexpr Language kCatalan = {" de ", " d'", " del ",
                               "gener     febrer    mar\x87      abril     maig      juny      "
                               "juliol    agost     setembre  octubre   novembre  desembre  "};

const Language& SessionTables() {
  const std::string code = CurrentLanguage();
  if (code == "SPA") return kSpanish;
  if (code == "GLG") return kGalician;
  if (code == "OCI") return kAranese;
  return kCatalan;
}

void LoadDateSettings() {
  FormatSettings& state = Formats();
  if (state.DatCaracter != '\0' && !state.DatOrdre.empty()) return;
  std::string order = UserSetting("DatOrdre");
  state.DatCaracter = UserCharacter("DatCaracter", '/');
  order.resize(3, ' ');
  state.DatOrdre = Trim(order).empty() ? "DMA" : order;
}

// The month's 10-character table entry; blanks for a month outside 1..12.
std::string MonthEntry(const Language& language, int month) {
  if (month < 1 || month > 12) return std::string(10, ' ');
  return std::string(language.months + 10 * (month - 1), 10);
}

bool StartsWithVowel(std::string_view name) {
  return !name.empty() &&
         std::string_view("AEIOU").find(UpperCase(name.substr(0, 1))[0]) != std::string_view::npos;
}

// The month as the style writes it.
std::string MonthPiece(const Language& language, int month, int style) {
  const std::string entry = MonthEntry(language, month);
  if (style >= 2) return TrimRight(entry);
  if (style == 1) return entry.substr(0, 3);
  return std::to_string(month);
}

// Width of styles 0 and 1, which depends on the parts asked for only.
size_t FixedWidth(int style, const std::string& wanted, size_t partsLength) {
  const auto has = [&wanted](char c) { return wanted.find(c) != std::string::npos; };
  const long long width = (has('M') ? style + 2 : 0) + (has('A') ? 4 : 0) + (has('D') ? 2 : 0) +
                          static_cast<long long>(partsLength) - 1;
  return width > 0 ? static_cast<size_t>(width) : 0;
}

}  // namespace

std::string FormatDate(std::string_view packed, int style, std::string_view parts) {
  const platform::TimedStepScope timed(platform::TimedStep::kFormatting);
  LoadDateSettings();
  const FormatSettings& state = Formats();
  const Language& language = style > 0 ? SessionTables() : kCatalan;
  std::string digits = UnpackDigits(packed);
  if (digits.size() < 8) digits.insert(0, 8 - digits.size(), '0');
  const std::string yearText = digits.substr(0, 4);
  const int month = std::stoi(digits.substr(4, 2)), day = std::stoi(digits.substr(6, 2));
  if (style == -1) return yearText + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
  if (month == 0 && day == 0) return {};

  const std::string wanted = UpperCase(parts);
  std::string result;
  for (char letter : state.DatOrdre) {
    if (letter != 'D' && letter != 'M' && letter != 'A') continue;
    if (wanted.find(letter) == std::string::npos) continue;
    const std::string piece = letter == 'D'   ? std::to_string(day)
                              : letter == 'A' ? yearText
                                              : MonthPiece(language, month, style);
    if (!result.empty()) {
      if (style < 2) {
        result += state.DatCaracter;
      } else if (letter == 'M') {
        result += StartsWithVowel(piece) ? language.vowelMonth : language.consonantMonth;
      } else {
        result += language.dayOrYear;
      }
    }
    result += piece;
  }
  if (style == 0 || style == 1) result.resize(FixedWidth(style, wanted, parts.size()), ' ');
  return result;
}

}  // namespace format
