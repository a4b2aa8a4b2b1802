// Text helpers shared by the whole system.
//
// A text is a std::string of code page 850 bytes; NUL bytes are allowed and
// every function here works on the bytes it is given, never on a C string.
// Two capital folds exist: UpperCase, the light one used to compare codes
// and keys, and FoldText, table driven, which can also strip accents (the
// field editor turns stripping on around its search for a typed letter).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace format {

// Program-wide state of the text helpers, put back by the reset of the
// program state (platform/program_state.h).
struct TextState {
  bool accentStripping = false;  // selects FoldText's table
  std::string textStack;         // PushText entries: bytes, then 2-byte LE length
};
TextState& Texts();

// a-z to A-Z and the seven letters ä ö ü é ñ å ç to their capitals.
std::string UpperCase(std::string_view text);

// Folds bytes 64 to 237 with the table chosen by Texts().accentStripping.
std::string FoldText(std::string_view text);

// Decimal digits of |value| with "0" in front, cut to the rightmost width
// characters.  A fraction keeps its point.
std::string ZeroPad(double value, int width);

// True when every byte of text is code (and for the empty text).
bool IsAllChar(std::string_view text, unsigned char code);

std::string Choose(int flag, std::string_view a, std::string_view b);

// "Major*Carrer" shows as "Carrer Major"; "Hospitalet*L'" as "L'Hospitalet".
std::string StarredDisplay(std::string_view name);

void PushText(std::string_view text);
// The most recently pushed text; the empty text when the stack is empty.
std::string PopText();

// length bytes of a fixed-layout area, byte for byte.
std::string BufferText(const void* area, std::size_t length);

// Lays text out as lines of width characters, each padded with spaces, and
// replaces text with them concatenated.  A positive indent indents the first
// line, a negative one every later line.  Bytes below 32 take no room on the
// line: they stay with the word they touch and widen the padded line so that
// every line shows the same visible width.  Every mode letter lays out
// left-aligned lines (the system uses "i").
void WrapParagraph(std::string& text, int indent, int width, std::string_view mode);

// The number a text starts with, as the system reads numbers out of
// settings: leading spaces skipped, an optional sign, digits with an optional
// decimal point; 0 when the text does not start with a number.
double NumericValue(std::string_view text);

// text left-aligned in `width` spaces: padded on the right or cut.
std::string FitLeft(std::string_view text, std::size_t width);

// Spaces (0x20 only) removed at either end, at the end, or at the start.
std::string Trim(std::string_view text);
std::string TrimRight(std::string_view text);
std::string TrimLeft(std::string_view text);

}  // namespace format
