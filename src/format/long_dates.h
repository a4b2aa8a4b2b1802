// Dates written out for showing and printing, in the four languages.
//
// The separator and the order of short dates are Tora.ini [Usuari]
// DatCaracter (first character; "/" when blank) and DatOrdre (three of the
// letters D, M, A, compared exactly; "DMA" when blank), read through the
// provider of format/format_settings.h at the first call and kept until
// the program state is reset.  Month names and linking words follow the session language
// ("SPA", "GLG", "OCI"; any other code, lower case included, is Catalan).
#pragma once

#include <string>
#include <string_view>

namespace format {

// Writes a packed date.  style -1: "2024-01-05" whatever parts says (also
// "0000-00-00" for the empty date).  Otherwise the parts named in parts
// ("D", "M", "A" in either case) in the configured order:
//   style 0 or less: numbers joined by the separator, "5/1/2024";
//   style 1: the month as its first three letters, "5/gen/2024";
//   style 2 or more: month names and linking words, "5 de gener del 2024".
// Styles 0 and 1 are padded or cut to a fixed width that depends on parts
// only (10 and 11 for "dma").  The empty date gives the empty text.
std::string FormatDate(std::string_view packed, int style, std::string_view parts);

}  // namespace format
