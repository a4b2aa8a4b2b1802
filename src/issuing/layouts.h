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

#include <optional>
#include <string_view>

#include "issuing/layout_common.h"

namespace issuing {

void PrintBoxedReceipt(const ReceiptContext& c);
void PrintPreprintedReceipt(const ReceiptContext& c);
void PrintPreprintedReceipt2(const ReceiptContext& c);

enum class Layout { kBoxed, kPreprinted, kPreprinted2 };

// The layout chosen by the settings: Antic "N" the boxed one; otherwise the
// second pre-printed one for customer variant 2, else the first.
Layout ChosenLayout();

// Prints the receipt in the chosen layout.
void PrintReceipt(const ReceiptContext& c);

// An amount of a receipt and the mask a layout prints it through.
struct MaskedAmount {
  double cents = 0;
  std::string_view mask;
};

// The first amount the chosen layout prints for the receipt that its mask
// can show only cut on the right or as "!" (format/picture.h), in the
// currency the layout prints it in; none when every amount shows whole.
// Asked before the receipt is laid out: a receipt never shows an amount
// with digits cut off.
std::optional<MaskedAmount> FirstCutAmount(const Receipt& r);

}  // namespace issuing
