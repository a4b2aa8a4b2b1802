// Which amounts each layout prints, and through which mask, so that a
// receipt with an amount its mask would cut is stopped before it is laid
// out.
#include <array>

#include "format/amounts.h"
#include "issuing/layouts.h"
#include "office/receipt_settings.h"

namespace issuing {
namespace {

// The masks the layout prints a receipt's total through (an empty one
// stands for none), besides the total in the other currency.
std::array<std::string_view, 2> TotalMasks(Layout layout) {
  const office::ReceiptSettingsState& settings = office::ReceiptSettings();
  switch (layout) {
    case Layout::kBoxed:
      return {kAmountMask, settings.duplicate == "S" ? kTotalMask : ""};
    case Layout::kPreprinted:
      return {kTotalMask, settings.counterfoil == "S" ? kStubTotalMask : ""};
    case Layout::kPreprinted2:
      return {kTotalMask, kStubTotalMask};
  }
  return {};
}

}  // namespace

std::optional<MaskedAmount> FirstCutAmount(const Receipt& r) {
  const Layout layout = ChosenLayout();
  const bool narrow = layout == Layout::kPreprinted2;
  const std::string_view amountMask = narrow ? kNarrowAmountMask : kAmountMask;
  const std::string_view baseMask = narrow ? kNarrowBaseMask : kAmountMask;
  std::optional<MaskedAmount> cut;
  auto check = [&cut](double cents, std::string_view mask) {
    if (!cut && !mask.empty() && !format::AmountShownWhole(mask, cents)) {
      cut = MaskedAmount{cents, mask};
    }
  };
  for (double amount : r.conceptAmount) {
    if (amount != 0) check(amount, amountMask);
  }
  if (r.vatRate != 0) {
    check(r.vatAmount, amountMask);
    check(r.vatBase, baseMask);
  }
  if (r.withholdingRate != 0) {
    check(r.withholdingAmount, amountMask);
    check(r.withholdingBase, baseMask);
  }
  for (std::string_view mask : TotalMasks(layout)) check(r.Total(), mask);
  if (!cut && layout != Layout::kBoxed && !OtherCurrencyTotalWhole(r.Total())) {
    cut = MaskedAmount{r.Total(), kStubTotalMask};
  }
  return cut;
}

}  // namespace issuing
