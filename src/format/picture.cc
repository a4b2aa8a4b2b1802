// Picture masks: rounding, the right-to-left fill, the finish of the
// positions left of the number, and the overflow form.
#include "format/picture.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "format/format_settings.h"
#include "format/text.h"
#include "platform/timing.h"

namespace format {
namespace {

bool IsDigitPosition(char c) {
  return c == '9' || c == 'Z' || c == 'z' || c == '*';
}
bool IsSign(char c) {
  return c == '-' || c == '+';
}

void LoadNumberCharacters() {
  FormatSettings& state = Formats();
  if (state.DecCaracter != '\0' && state.MilCaracter != '\0') return;
  state.DecCaracter = UserCharacter("DecCaracter", '\'');
  state.MilCaracter = UserCharacter("MilCaracter", '.');
}

// Decimal digits of a whole non-negative double, without leading zeros.
std::string WholeDigits(double whole) {
  if (whole == 0) return {};
  char buffer[400];
  if (whole < 9007199254740992.0) {  // 2^53: the double converts exactly
    char* end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(whole)).ptr;
    return std::string(buffer, end);
  }
  std::snprintf(buffer, sizeof buffer, "%.0f", whole);
  return buffer;
}

// 10^scale; the powers up to 10^22 are exact doubles, kept in a table.
double PowerOfTen(long long scale) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  return scale >= 0 && scale <= 22 ? kPowers[scale] : std::pow(10.0, static_cast<double>(scale));
}

// |value| * 10^scale rounded half to even; false when it is not finite.
bool ScaledDigits(double value, long long scale, std::string* digits) {
  digits->clear();
  if (!std::isfinite(value)) return false;
  if (value == 0) return true;
  double scaled = std::fabs(value) * PowerOfTen(scale);
  if (!std::isfinite(scaled)) return false;
  double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) == 1.0)) whole += 1;
  *digits = WholeDigits(whole);
  return true;
}

// The plain number in the mask's width, or "!" over the width; *whole
// tells whether it fit without a cut.
std::string OverflowForm(std::string digits, long long scale, bool negative, size_t width,
                         bool* whole) {
  if (static_cast<long long>(digits.size()) < scale + 1) {
    digits.insert(0, scale + 1 - digits.size(), '0');
  }
  const std::string integer = digits.substr(0, digits.size() - scale);
  std::string plain = (negative ? "-" : "") + integer;
  if (scale > 0) plain += Formats().DecCaracter + digits.substr(integer.size());
  *whole = plain.size() <= width;
  if (width < integer.size() + (negative ? 1 : 0)) return std::string(width, '!');
  if (plain.size() <= width) return std::string(width - plain.size(), ' ') + plain;
  return plain.substr(0, width);
}

enum class Fill { kNone, kSpace, kStar };

char FillChar(Fill fill) {
  return fill == Fill::kStar ? '*' : ' ';
}

// One pass over the mask from right to left.
class PictureWriter {
 public:
  PictureWriter(std::string_view mask, double value) : mask_(mask), out_(mask), value_(value) {}

  std::string Run() {
    LoadNumberCharacters();
    const size_t point = mask_.find('.');
    long long places = 0, scale = 0;
    if (point != std::string_view::npos && point + 1 < mask_.size()) {
      for (size_t i = point + 1; i < mask_.size(); ++i) {
        if (IsDigitPosition(mask_[i]) || IsSign(mask_[i])) ++places;
      }
      while (point + 1 + scale < mask_.size() && IsDigitPosition(mask_[point + 1 + scale])) ++scale;
    }
    if (!ScaledDigits(value_, scale, &digits_)) {
      whole_ = false;
      return std::string(mask_.size(), '!');
    }
    lastNonZero_ = static_cast<long long>(digits_.find_last_not_of('0') + 1);
    negative_ = value_ < 0;
    for (char c : mask_) maskHasSign_ = maskHasSign_ || IsSign(c);
    inDecimal_ = point != std::string_view::npos;
    k_ = static_cast<long long>(digits_.size()) - scale + places;
    position_ = static_cast<long long>(mask_.size()) - 1;

    WriteDigits();
    if (k_ > 0) return OverflowForm(digits_, scale, negative_, mask_.size(), &whole_);
    Finish();
    if (negative_ && !maskHasSign_ && !signPlaced_) {
      return OverflowForm(digits_, scale, negative_, mask_.size(), &whole_);
    }
    return out_;
  }

  // After Run: every digit of the rounded number and its sign were shown.
  bool whole() const { return whole_; }

 private:
  char DigitAt(long long index) const {
    return index >= 1 && index <= static_cast<long long>(digits_.size()) ? digits_[index - 1] : 0;
  }
  void ShowDigit(char digit) {
    out_[position_] = digit;
    beyond_ = false;
  }
  void ShowFill(Fill fill) {
    fill_ = fill;
    out_[position_] = FillChar(fill);
    beyond_ = true;
  }

  // Step through the positions that receive the number's digits.
  void WriteDigits() {
    for (; position_ >= 0 && k_ > 0; --position_) {
      const char c = mask_[position_];
      const char digit = DigitAt(k_);
      if (c == '9') {
        ShowDigit(digit ? digit : '0');
        fill_ = Fill::kNone;
      } else if (c == 'Z' || c == 'z') {
        const bool show = inDecimal_ ? k_ <= lastNonZero_ : digit != 0;
        show ? ShowDigit(digit) : ShowFill(Fill::kSpace);
        fill_ = Fill::kSpace;
      } else if (c == '*') {
        digit ? ShowDigit(digit) : ShowFill(Fill::kStar);
        fill_ = Fill::kStar;
      } else {
        WriteOther(c);
        if (!(IsSign(c) && inDecimal_)) continue;
      }
      --k_;
    }
  }

  // ".", ",", signs and other characters inside the number.
  void WriteOther(char c) {
    if (c == '.') {
      out_[position_] = beyond_ ? FillChar(fill_) : Formats().DecCaracter;
      inDecimal_ = false;
    } else if (c == ',') {
      out_[position_] = Formats().MilCaracter;
    } else if (c == '-') {
      out_[position_] = negative_ ? '-' : ' ';
    } else if (c == '+') {
      out_[position_] = negative_ ? '-' : '+';
    }
  }

  // The positions left of the last digit written.
  void Finish() {
    std::vector<char> fillToTheRight(mask_.size() + 1, 0);
    for (size_t i = mask_.size(); i-- > 0;) {
      const char c = mask_[i];
      fillToTheRight[i] = (c == 'Z' || c == 'z') ? ' ' : c == '*' ? '*' : fillToTheRight[i + 1];
    }
    for (; position_ >= 0; --position_) {
      const char c = mask_[position_];
      const bool takesSign = negative_ && !maskHasSign_ && !signPlaced_ && !inDecimal_ &&
                             (IsDigitPosition(c) || c == ',');
      if (takesSign) {
        out_[position_] = '-';
        signPlaced_ = true;
      } else if (c == '9' || (inDecimal_ && c == '*') ||
                 (inDecimal_ && (c == 'Z' || c == 'z') && value_ != 0)) {
        ShowDigit('0');
      } else if (c == 'Z' || c == 'z') {
        ShowFill(Fill::kSpace);
      } else if (c == '*') {
        ShowFill(Fill::kStar);
      } else if (c == ',') {
        const char fill = fillToTheRight[position_ + 1];
        out_[position_] = fill ? fill : Formats().MilCaracter;
      } else {
        WriteOther(c);
      }
    }
  }

  std::string_view mask_;
  std::string out_;
  double value_;
  std::string digits_;
  long long lastNonZero_ = 0;  // 1-based index of the last non-zero digit, 0 when none
  long long k_ = 0;            // index into digits_ of the digit for the current position
  long long position_ = 0;
  bool negative_ = false;
  bool maskHasSign_ = false;
  bool inDecimal_ = false;
  bool signPlaced_ = false;
  bool beyond_ = false;  // the last digit position written shows fill
  bool whole_ = true;
  Fill fill_ = Fill::kNone;
};

constexpr int kMaxPlainDecimals = 15;

}  // namespace

std::string FormatPicture(std::string_view mask, double value) {
  const platform::TimedStepScope timed(platform::TimedStep::kFormatting);
  return PictureWriter(mask, value).Run();
}

bool PictureShowsWhole(std::string_view mask, double value) {
  PictureWriter writer(mask, value);
  writer.Run();
  return writer.whole();
}

std::string PlainNumber(double value) {
  if (!std::isfinite(value)) return "!";
  if (value == 0) return {};
  double scaled = std::fabs(value);
  int decimals = 0;
  while (scaled != std::floor(scaled) && decimals < kMaxPlainDecimals) {
    scaled *= 10;
    ++decimals;
  }
  std::string digits = WholeDigits(std::round(scaled));
  if (static_cast<int>(digits.size()) < decimals + 1) {
    digits.insert(0, decimals + 1 - digits.size(), '0');
  }
  while (decimals > 0 && digits.back() == '0') {
    digits.pop_back();
    --decimals;
  }
  std::string text = value < 0 ? "-" : "";
  text += digits.substr(0, digits.size() - decimals);
  if (decimals > 0) text.append(1, '.').append(digits, digits.size() - decimals);
  return text;
}

bool CheckNumberEntry(std::string_view typed, std::string_view mask) {
  const bool maskSign = mask.find_first_of("+-") != std::string_view::npos;
  const bool maskPoint = mask.find('.') != std::string_view::npos;
  bool sign = false, digit = false, point = false;
  for (char c : typed) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (IsSign(c)) {
      if (!maskSign || sign || digit || point) return true;
      sign = true;
    } else if (c == '.') {
      if (!maskPoint || point) return true;
      point = true;
    } else if (c != ' ') {
      return true;
    }
  }
  return false;
}

}  // namespace format
