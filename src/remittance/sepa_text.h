// Text for a SEPA file: the banks take only the Latin letters without
// accents, digits, space and / - ? : ( ) . , ' +.  Names come in code page
// 850; accented letters, Ç and Ñ lose their marks (Ç becomes C, Ñ becomes
// N, ß becomes ss, the Catalan middle dot a full stop), anything else
// becomes a space.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace remittance {

// The text in the SEPA character set (plain ASCII, so valid UTF-8): runs of
// spaces made one, no space at either end, then cut to at most maxLength
// characters.
std::string SepaText(std::string_view cp850, std::size_t maxLength);

// The message's lengths: names, identifiers, the unstructured text.
inline constexpr std::size_t kNameLength = 70;
inline constexpr std::size_t kIdLength = 35;
inline constexpr std::size_t kTextLength = 140;

}  // namespace remittance
