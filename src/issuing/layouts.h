// The three receipt layouts, written into the print spool.
//
//   boxed          plain paper, 66-line page: issuer box (or 9 blank lines),
//                  tax-identity box, invoice box, charges, VAT, withholding,
//                  total; with Duplicat "S" a shorter second copy and an
//                  address block under a dotted cut line
//   pre-printed 1  24-line stationery at the rows of the receipt settings,
//                  with the counterfoil when Matriu is "S"
//   pre-printed 2  24-line stationery of customer variant 2, fixed words
//                  in Spanish, counterfoil always
// Every layout reads the receipt's values and the current owner, property
// and unit records (office::Areas()).
#pragma once

#include "issuing/layout_common.h"

namespace issuing {

void PrintBoxedReceipt(const ReceiptContext& c);
void PrintPreprintedReceipt(const ReceiptContext& c);
void PrintPreprintedReceipt2(const ReceiptContext& c);

// The layout chosen by the settings: Antic "N" the boxed one; otherwise the
// second pre-printed one for customer variant 2, else the first.
void PrintReceipt(const ReceiptContext& c);

}  // namespace issuing
