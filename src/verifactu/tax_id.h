// Spanish tax identifiers (NIF): the check character that tells a valid one
// from a typing error, for deciding whether a tenant's identifier can go to
// the tax agency as a NIF.
#pragma once

#include <string>
#include <string_view>

namespace verifactu {

// The identifier as the agency wants it (9 characters, capitals) when text
// holds a valid one, else the empty text.  Spaces, hyphens and dots are
// dropped, letters upper-cased, a leading "ES" country prefix removed, and a
// DNI typed without its leading zeros ("1234567L") filled up to 8 digits.
// Valid are:
//   DNI  8 digits and the letter of the number mod 23;
//   NIE  X, Y or Z (0, 1, 2), 7 digits and the letter of those 8 digits;
//   K, L, M (Spaniards without DNI, foreigners without NIE), 7 digits and
//        the letter of the 7 digits;
//   CIF  an entity's letter, 7 digits and the control character: a digit
//        for A, B, E, H, a letter (J for 0 to I for 9) for N, P, Q, R, S, W,
//        either for the other entity letters.
std::string SpanishTaxId(std::string_view text);

}  // namespace verifactu
