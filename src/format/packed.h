// The packed digit form: each byte holds two decimal digits d1 d2 as
// 128 + 10 * d1 + d2, so packed texts order correctly as byte strings.  Used
// for record keys, codes, counters and dates.
#pragma once

#include <string>
#include <string_view>

namespace format {

// Packs a digit text of length n into (n + 1) / 2 bytes.  The text is first
// trimmed, right-aligned in its own width and zero-filled on the left; inner
// spaces and any other non-digit count as 0; an odd last digit pairs with 0.
// The empty text packs to the empty text.
std::string PackDigits(std::string_view digits);

// Two decimal digits per byte: the byte without its top bit, last two digits.
std::string UnpackDigits(std::string_view packed);

// A code typed with dots between its groups ("1.2") packed as its zero-filled
// groups ("00010002").  Groups are 4 digits wide; the first is 6 wide when
// the text is 6 characters without any dot, or 11 characters with fewer than
// two dots.  A group keeps its last digits when it is wider; a trailing group
// of spaces only is ignored.
std::string DottedCode(std::string_view code);

}  // namespace format
