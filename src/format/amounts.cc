// Amount masks and the currency switch.
#include "format/amounts.h"

#include "format/format_settings.h"
#include "format/picture.h"
#include "format/text.h"
#include "platform/timing.h"

namespace format {
namespace {

struct AmountSpec {
  int places = 0;  // "9"s after the "."
  bool nineBeforePoint = false;
  bool thousands = false;
  char fill = 'Z';   // "Z" (spaces) or "*"
  char sign = '\0';  // "-", "+" or none
  bool leadingSign = false;
};

AmountSpec ReadSpec(std::string_view spec) {
  AmountSpec result;
  bool point = false;
  for (size_t i = 0; i < spec.size(); ++i) {
    const char c = spec[i];
    if (c == '.') {
      point = true;
    } else if (c == '9') {
      if (point) {
        ++result.places;
      } else {
        result.nineBeforePoint = true;
      }
    } else if (c == ',') {
      result.thousands = true;
    } else if (c == '*' || c == 'Z') {
      result.fill = c;
    } else if (c == '-' || c == '+') {
      result.sign = c;
      result.leadingSign = i == 0;
    }
  }
  return result;
}

// Cuts text to its last width characters.
void KeepRightmost(std::string& text, size_t width) {
  if (text.size() > width) text.erase(0, text.size() - width);
}

std::string FirstLetter(std::string_view text) {
  return UpperCase(Trim(text)).substr(0, 1);
}

// The picture mask an amount spec stands for in the current currency, and
// the value it is given.
struct AmountPicture {
  std::string mask;
  double value = 0;
};

AmountPicture PictureOf(std::string_view spec, double cents) {
  const size_t width = spec.size();
  const AmountSpec amount = ReadSpec(spec);
  const bool showDigit = cents != 0 || amount.nineBeforePoint;

  std::string mask(width, amount.fill);
  if (showDigit && width > 0) mask.back() = '9';
  if (amount.thousands) {
    for (long long p = static_cast<long long>(width) - 3; p >= 1; p -= 4) {
      mask.insert(static_cast<size_t>(p), 1, ',');
      KeepRightmost(mask, width);
    }
  }
  double value = cents / 100;
  int places = amount.places + 2;
  if (Formats().CurrentCurrency == "P") {
    value *= static_cast<double>(kPesetasPerEuro);
    places = amount.places;
  }
  if (places > 0) {
    mask += '.';
    mask.append(static_cast<size_t>(places), showDigit ? '9' : 'Z');
    KeepRightmost(mask, width);
  }
  if (amount.sign != '\0' && width > 0) {
    if (amount.leadingSign) {
      mask[0] = amount.sign;
    } else {
      mask += amount.sign;
      KeepRightmost(mask, width);
    }
  }
  return {mask, value};
}

}  // namespace

std::string FormatAmount(std::string_view spec, double cents) {
  const platform::TimedStepScope timed(platform::TimedStep::kFormatting);
  const AmountPicture picture = PictureOf(spec, cents);
  return FormatPicture(picture.mask, picture.value);
}

bool AmountShownWhole(std::string_view spec, double cents) {
  const AmountPicture picture = PictureOf(spec, cents);
  return PictureShowsWhole(picture.mask, picture.value);
}

void SetCurrency(std::string_view command) {
  FormatSettings& state = Formats();
  const size_t comma = command.find(',');
  if (comma != std::string_view::npos) {
    const std::string letter = FirstLetter(command.substr(comma + 1));
    // The first part is not trimmed: " a,E" sets the document currency.
    if (UpperCase(command.substr(0, 1)) == "A") {
      state.ApplicationCurrency = letter;
      state.CurrentCurrency = letter;
    } else {
      state.DocumentCurrency = letter;
    }
  } else if (FirstLetter(command) == "P") {
    state.CurrentCurrency =
        state.DocumentCurrency.empty() ? state.ApplicationCurrency : state.DocumentCurrency;
  } else {
    state.CurrentCurrency = state.ApplicationCurrency;
  }
}

std::string CurrencyFor(std::string_view context) {
  const FormatSettings& state = Formats();
  if (FirstLetter(context) == "A" || state.DocumentCurrency.empty()) {
    return state.ApplicationCurrency;
  }
  return state.DocumentCurrency;
}

}  // namespace format
