// Numbers through picture masks.
//
// A mask is as wide as the output.  Its characters:
//   "9"       digit; left of the number's digits it shows "0"
//   "Z", "z"  digit with zero suppression: a space left of the digits, and
//             right of the decimal point a space where this digit and all
//             digits right of it are 0
//   "*"       digit; left of the digits it shows "*"
//   "."       the decimal character (Tora.ini [Usuari] DecCaracter, "'" when
//             blank), or the fill when every digit right of it shows fill
//   ","       the thousands separator (MilCaracter, "." when blank), or the
//             fill when it stands left of the digits with a "Z" or "*" after it
//   "-", "+"  sign: "-" for a negative number; a space or "+" otherwise
//   other     copied unchanged
// The number is rounded half to even to the decimals of the mask.  A negative
// number without a sign position in the mask takes the first free digit or
// separator position left of its digits.  When the number does not fit, the
// plain number is shown right-aligned (cut on the right), or the whole width
// is "!" when even its integer digits and sign do not fit; an infinite or
// NaN value is always "!".
//
// The two characters are read from Tora.ini through the provider of
// format/format_settings.h at the first call and kept until the program
// state is reset.
#pragma once

#include <string>
#include <string_view>

namespace format {

// The value through the mask; the result is exactly as long as the mask.
std::string FormatPicture(std::string_view mask, double value);

// False when FormatPicture shows the value in the overflow form cut on the
// right or as "!" (and for an infinite or NaN value); true when it shows
// every digit of the rounded value and its sign, also as the plain number.
bool PictureShowsWhole(std::string_view mask, double value);

// The shortest decimal text of the value: "2.5", "12", "-0.75"; the empty
// text for 0.  The point is always ".".  At most 15 decimals are kept
// (rounded); an infinite or NaN value gives "!".
std::string PlainNumber(double value);

// True (an error) when typed holds anything but digits, spaces, "+", "-"
// and "."; a sign the mask has no place for, a second sign, or a sign after
// a digit or the point; a point the mask has none of, or a second point.
bool CheckNumberEntry(std::string_view typed, std::string_view mask);

}  // namespace format
