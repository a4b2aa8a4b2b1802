// The QR code printed on an invoice: the agency's verification address
// with the invoice's identity and total, and its module matrix.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "verifactu/records.h"

namespace verifactu {

// The verification address of the agency's test environment, or of
// production, for an invoice of a system that sends its records:
//   <base>ValidarQR?nif=...&numserie=...&fecha=dd-mm-yyyy&importe=123.45
// Each value is UTF-8 (texts are code page 850) and encoded as web forms
// encode them: letters, digits and "-._*" as they are, space as "+", every
// other byte as "%XX" in capitals.
std::string QrUrl(const InvoiceId& invoice, long long totalCents, bool testEnvironment);

// The address for a registration: its total, and the test environment
// when the record was made with the built-in test identity.
std::string QrUrl(const Registration& record);

// A QR symbol of error-correction level M, as the agency requires.
struct QrMatrix {
  int version = 0;                     // 1 to 40; 0 when the text could not be encoded
  int size = 0;                        // modules on a side, 17 + 4 * version
  std::vector<unsigned char> modules;  // row after row, 1 for a dark module

  // The module in column x, row y (0 to size - 1, from the top left).
  bool Dark(int x, int y) const { return modules[static_cast<size_t>(y * size + x)] != 0; }
};

// The smallest symbol that holds text (runs of digits and capitals packed
// tighter than bytes, the rest as bytes).
QrMatrix QrMatrixFor(std::string_view text);

}  // namespace verifactu
