// The calculator's arithmetic.  Values are doubles; what the display shows
// is chosen by the point flag and the decimals, which typing sets digit by
// digit and every computed result sets through Normalise.
#include "console/calculator_keys.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "console/keyboard.h"
#include "format/text.h"

namespace console {
namespace {

constexpr int kAltF = 0x2100;
// Significant digits a computed result keeps.
constexpr int kResultDigits = 15;

double Power10(int n) {
  return std::pow(10.0, n);
}

// Cut toward zero, except that a value within rounding noise of a whole
// number is that number (3.125 * 1000 is 3124.9999999999995).
double CutNear(double x) {
  const double nearest = std::nearbyint(x);
  return std::fabs(x - nearest) <= 1e-12 * std::max(1.0, std::fabs(x)) ? nearest : std::trunc(x);
}

void StartEntryIfIdle(CalculatorState& s) {
  if (s.entryActive) return;
  s.entry = 0;
  s.point = false;
  s.decimals = 0;
}

// A digit goes in on the side of the entry's sign, so that typing after a
// sign change goes on building the same number.
void TypeDigit(CalculatorState& s, int digit) {
  StartEntryIfIdle(s);
  const double signedDigit = std::signbit(s.entry) ? -digit : digit;
  if (!s.point) {
    s.entry = s.entry * 10 + signedDigit;
  } else if (s.decimals < kMaxDecimals) {
    ++s.decimals;
    s.entry += signedDigit / Power10(s.decimals);
  }
  s.entryActive = true;
}

void TypePoint(CalculatorState& s) {
  StartEntryIfIdle(s);
  if (!s.point) {
    s.point = true;
    s.decimals = 0;
  }
  s.entryActive = true;
}

void Backspace(CalculatorState& s) {
  if (!s.point) {
    s.entry = CutNear(s.entry / 10);
  } else if (--s.decimals < 0) {
    s.point = false;
    s.decimals = 0;
  } else {
    s.entry = CutNear(s.entry * Power10(s.decimals)) / Power10(s.decimals);
  }
  s.entryActive = s.entryActive && s.entry != 0;
}

// Chooses the decimals shown for a computed entry: up to 15 significant
// digits, trailing zeros dropped.
void Normalise(CalculatorState& s) {
  if (!std::isfinite(s.entry)) {
    s.point = false;
    s.decimals = 0;
    return;
  }
  int integerDigits = 0;
  for (double v = std::trunc(std::fabs(s.entry)); v > 0; v = std::trunc(v / 10)) ++integerDigits;
  int decimals = 0;
  double copy = s.entry;
  while (copy != std::trunc(copy) && decimals + integerDigits < kResultDigits) {
    copy *= 10;
    ++decimals;
  }
  copy = std::nearbyint(copy);
  while (decimals > 0 && std::fmod(copy, 10) == 0) {
    copy /= 10;
    --decimals;
  }
  s.entry = copy / Power10(decimals);
  s.point = decimals > 0;
  s.decimals = decimals;
}

void AppendToTape(CalculatorState& s, char mark) {
  if (s.tapeTop > kFirstTapeRow) --s.tapeTop;
  std::rotate(s.tape.begin(), s.tape.begin() + 1, s.tape.end());
  s.tape.back() = TapeLine{s.entry, s.point, s.decimals, mark};
}

// C: clear the entry, then clear all, then hide the tape.  True when the
// tape was hidden.
bool Clear(CalculatorState& s) {
  if (s.entryActive) {
    s.entryActive = false;
    s.entry = s.accumulator;
    s.point = false;
    s.decimals = 0;
  } else if (!s.cleared) {
    s.entry = s.accumulator = 0;
    s.point = false;
    s.decimals = 0;
    s.cleared = true;
  } else {
    s.tapeTop = kNoTape;
    return true;
  }
  return false;
}

// R: to hundredths, an exact half to the even hundredth, cut toward zero
// for negative values.
void Round(CalculatorState& s) {
  const double hundredths = std::trunc(100 * s.entry);
  const double fraction = 100 * s.entry - hundredths;
  const bool odd = std::fmod(hundredths, 2) != 0;
  s.entry = (fraction > 0.5 || (fraction == 0.5 && odd) ? hundredths + 1 : hundredths) / 100;
  s.accumulator = s.entry;
  s.point = true;
  s.decimals = 2;
  AppendToTape(s, 'R');
}

void Percent(CalculatorState& s) {
  AppendToTape(s, '%');
  const bool additive = s.pendingOperator == "+" || s.pendingOperator == "-";
  s.entry = additive ? s.accumulator / 100 * s.entry : s.entry / 100;
  Normalise(s);
}

// +, -, *, / and =: the pending operator is applied and k waits for the
// next operand (= closes the sum with a total line).
void Operate(CalculatorState& s, char k) {
  const std::string& op = s.pendingOperator;
  if (op == "+") {
    s.accumulator += s.entry;
  } else if (op == "-") {
    s.accumulator -= s.entry;
  } else if (op == "*") {
    s.accumulator *= s.entry;
  } else if (op == "/") {
    s.accumulator /= s.entry;
  } else {
    s.accumulator = s.entry;
  }
  AppendToTape(s, k);
  s.entry = s.accumulator;
  Normalise(s);
  s.entryActive = false;
  if (k == '=') {
    AppendToTape(s, ' ');
    s.pendingOperator.clear();
  } else {
    s.pendingOperator = std::string(1, k);
  }
  s.cleared = false;
}

CalculatorAction ExtendedKey(CalculatorState& s, int key) {
  if (key == kKeyLeft || key == kKeyCtrlLeft) {
    s.leftColumn = s.leftColumn == 1 ? kLastLeftColumn : s.leftColumn - 1;
    return CalculatorAction::kReopen;
  }
  if (key == kKeyRight || key == kKeyCtrlRight) {
    s.leftColumn = s.leftColumn == kLastLeftColumn ? 1 : s.leftColumn + 1;
    return CalculatorAction::kReopen;
  }
  return key == kAltF ? CalculatorAction::kFinish : CalculatorAction::kRedraw;
}

CalculatorAction CharacterKey(CalculatorState& s, char c) {
  if (c >= '0' && c <= '9') {
    TypeDigit(s, c - '0');
  } else if (c == '.') {
    TypePoint(s);
  } else if (c == kKeyBackspace) {
    Backspace(s);
  } else if (c == 'C') {
    if (Clear(s)) return CalculatorAction::kReopen;
  } else if (c == 'R') {
    Round(s);
  } else if (c == '%') {
    Percent(s);
  } else if (c == '+' || c == '-' || c == '*' || c == '/') {
    Operate(s, c);
  } else if ((c == '=' || c == kKeyEnter) && s.entryActive) {
    Operate(s, '=');
  } else if (c == 'T') {
    s.entry = -s.entry;
  } else if (c == 'F') {
    return CalculatorAction::kFinish;
  } else if (c == kKeyEscape) {
    return CalculatorAction::kCancel;
  }
  return CalculatorAction::kRedraw;
}

}  // namespace

CalculatorAction CalculatorKey(CalculatorState& s, int key) {
  if (key > 255 || key < -255) {
    s.key = {static_cast<char>(key & 0xFF), static_cast<char>((key >> 8) & 0xFF)};
    return ExtendedKey(s, key);
  }
  s.key = format::UpperCase(std::string(1, static_cast<char>(key)));
  return CharacterKey(s, s.key[0]);
}

std::string CalculatorResult(const CalculatorState& s) {
  const int d = std::max(s.decimals, 2);
  const double v = (s.entryActive ? s.entry : s.accumulator) * Power10(d);
  if (!std::isfinite(v)) return {};
  char text[400];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, CutNear(std::fabs(v)), std::chars_format::fixed, 0);
  if (error != std::errc()) return {};
  std::string digits(text, end);
  const size_t fractionDigits = static_cast<size_t>(d - 2);
  if (fractionDigits == 0) return digits;
  if (digits.size() < fractionDigits) digits.insert(0, fractionDigits - digits.size(), '0');
  digits.insert(digits.size() - fractionDigits, 1, '.');
  return digits;
}

}  // namespace console
