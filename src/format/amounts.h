// Amounts of money and the currency they are shown in.
//
// Amounts are whole euro cents.  The current currency decides how they are
// shown: "P" converts them to pesetas at the fixed rate (single-precision
// 166.386 pesetas to the euro) without the two extra decimals; anything
// else shows euros with two decimals.
#pragma once

#include <string>
#include <string_view>

namespace format {

// The single-precision value of 166.386 that the conversion uses.
inline constexpr float kPesetasPerEuro = 166.386f;

// The amount through a mask built from the picture text `spec`, whose width the
// result keeps: "9" before any "." keeps a digit even for 0, "." followed by
// "9"s gives decimal places (added to the currency's own), "," thousands
// separators every three digits, "*" or "Z" the fill (space by default),
// "-" or "+" a sign, leading when it is the first character, else trailing.
std::string FormatAmount(std::string_view spec, double cents);

// Whether FormatAmount shows every digit of the amount and its sign: false
// when the mask can show it only cut on the right or as "!"
// (format/picture.h).
bool AmountShownWhole(std::string_view spec, double cents);

// "A,x": the application currency becomes x and the current one follows it.
// "P,x" (any other first part, " A" included): the document currency
// becomes x.
// "P...": the current currency becomes the document currency, or the
// application one when no document currency is set.  Anything else: the
// current currency becomes the application one.  Letters compare in either
// case; x is the first letter of the trimmed second part, or empty.
void SetCurrency(std::string_view command);

// "A..." gives the application currency; anything else the document
// currency, or the application one when no document currency is set.
std::string CurrencyFor(std::string_view context);

}  // namespace format
