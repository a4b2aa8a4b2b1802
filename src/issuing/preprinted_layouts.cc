// The two layouts on pre-printed stationery: 24-line pages filled in at
// fixed columns, the counterfoil from column 90 on.
#include "config/company.h"
#include "config/language.h"
#include "config/program_identity.h"
#include "format/amounts.h"
#include "format/long_dates.h"
#include "format/packed.h"
#include "format/text.h"
#include "issuing/issuing_run.h"
#include "issuing/layouts.h"
#include "office/receipt_settings.h"
#include "print/spool.h"

namespace issuing {
namespace {

// The QR code goes at the left edge, from the line under the invoice
// number: below the number's row no text starts before column 17 on either
// form, so columns 1 to 16 stay blank down to the form's end, on the
// invoice's side of the sheet (the counterfoil is on the right).  Sixteen
// columns are 40.6 mm at 10 characters an inch: room for the smallest code
// with its blank margin.
constexpr QrPlace kQrPlace{1, 1, 30, 16};

// Form abbreviation, code low pair and account, for the counterfoil.
std::string CollectionLine() {
  office::UnitView unit(office::Areas().unit);
  const std::string forms = "ABF";
  const size_t form = forms.find(static_cast<char>(unit.CollectionForm()));
  const std::string abbreviation =
      form == std::string::npos ? "   " : std::string("ADMBANFIN").substr(3 * form, 3);
  const std::string low(1, static_cast<char>(unit.CollectionCodeLow()));
  return abbreviation + "/" + format::UnpackDigits(low) + "/" + unit.BankAccount().substr(0, 28);
}

std::string OwnerLine() {
  return "P.O. " + format::StarredDisplay(office::OwnerView(office::Areas().owner).Name());
}

std::string StubStreet() {
  const bool own = office::PropertyView(office::Areas().property).Kind() == 'P';
  return format::StarredDisplay(own ? office::UnitView(office::Areas().unit).Street()
                                    : office::PropertyView(office::Areas().property).Street());
}

std::string LongDate(const std::string& packed) {
  return format::FoldText(format::FormatDate(packed, 2, "dma"));
}

// Charges two to a line, stopping when the concept area is full; then the
// VAT and withholding entries with their labels.
void ChargeArea(const Receipt& r, std::string_view mask, int stopAt, const std::string& vatLabel,
                const std::string& withholdingLabel) {
  bool second = false;
  for (int i = 0; i < office::kConcepts; ++i) {
    if (r.conceptAmount[i] == 0) continue;
    PairedCharge(r.conceptText[i], r.conceptAmount[i], mask, second);
    if (ChargeListFull(stopAt, r, second)) break;
  }
  if (r.vatRate != 0) PairedCharge(vatLabel, r.vatAmount, mask, second);
  if (r.withholdingRate != 0) PairedCharge(withholdingLabel, r.withholdingAmount, mask, second);
}

void AddresseeBlock(const Receipt& r, bool counterfoil, bool collectionLineFirst) {
  office::UnitView unit(office::Areas().unit);
  Justify("D");
  Put(36, "N.I.F. " + unit.FiscalId(), collectionLineFirst ? 0 : 1);
  if (collectionLineFirst) Put(100, CollectionLine(), 2);
  const std::string tenant = format::StarredDisplay(unit.TenantName());
  Put(17, tenant, counterfoil ? 0 : 1);
  if (counterfoil) Put(100, tenant, 1);
  Put(17, format::StarredDisplay(unit.SecondNameLine()), 1);
  Put(17, r.street, counterfoil ? 0 : 1);
  if (counterfoil) Put(100, StubStreet(), 1);
  Put(17, r.town);
  Put(60, OwnerLine(), counterfoil ? 0 : 1);
  if (counterfoil) Put(100, unit.Door(), 1);
  Put(17, r.province);
  Put(55, "N.I.F. " + office::OwnerView(office::Areas().owner).FiscalId(), 1);
}

const char* SpanishDueText(int periodicity) {
  switch (periodicity) {
    case 2:
      return "BIMESTRAL ANTICIPADO";
    case 3:
      return "TRIMESTRAL ANTICIPADO";
    case 4:
      return "CUATRIMESTRAL ANTICIPADO";
    case 6:
      return "SEMESTRAL ANTICIPADO";
    case 12:
      return "ANUAL ANTICIPADO";
    default:
      return "MENSUAL ANTICIPADO";
  }
}

}  // namespace

void PrintPreprintedReceipt(const ReceiptContext& c) {
  const Receipt& r = c.receipt;
  const office::ReceiptSettingsState& rows = office::ReceiptSettings();
  const bool counterfoil = rows.counterfoil == "S";
  const std::string total = format::FormatAmount(kTotalMask, r.Total()) + " " + CurrencyCode();
  office::UnitView unit(office::Areas().unit);

  print::SpoolPage(24);
  print::SpoolControl("@e");
  Put(0, "", rows.rowNumber - 1);
  PutQrCode(r, kQrPlace, Word("TOTAL "));
  Put(9, "FACTURA");
  Put(17, r.number);
  if (r.copy) Put(26, CopyWord());
  Put(32, format::FoldText(format::TrimRight(config::CompanyLine(8))));
  Justify("D");
  Put(67, total);
  if (counterfoil) {
    Put(90, Word("REBUT"));
    Justify("D");
    Put(100, r.reference + " " + format::FormatAmount(kStubTotalMask, r.Total()));
  }

  Put(0, "", rows.rowDate - rows.rowNumber);
  Put(17, LongDate(c.issueDate));
  Put(51, DueTerms(unit.Periodicity(), unit.Timing()));
  Justify("D");
  Put(86, ReferenceMark(r) + r.reference);
  if (counterfoil) Put(100, format::FormatDate(c.issueDate, 0, "dma"));

  Put(0, "", rows.rowConcepts - rows.rowDate);
  ChargeArea(
      r, kAmountMask, rows.rowConcepts + 4,
      format::FitLeft(format::TrimRight(r.vatName) + RateText(r.vatRate) + BaseText(r.vatBase), 20),
      format::FitLeft("RET." + RateText(r.withholdingRate) + BaseText(r.withholdingBase), 20));

  // The payment line stays open: the advance to the name row alone brings
  // the addressee block to Fila.Nom.
  AdvanceTo(rows.rowPayment);
  Put(17, r.payment.substr(0, 65));
  Justify("D");
  Put(82, OtherCurrencyTotal(r.Total()));
  if (counterfoil) Put(100, CollectionLine());

  Put(0, "", rows.rowName - rows.rowPayment);
  AddresseeBlock(r, counterfoil, false);
}

void PrintPreprintedReceipt2(const ReceiptContext& c) {
  const Receipt& r = c.receipt;
  office::UnitView unit(office::Areas().unit);
  print::SpoolPage(24);
  print::SpoolControl("@e");
  Put(0, "", office::ReceiptSettings().rowNumber - 1);
  PutQrCode(r, kQrPlace, "TOTAL ");
  Put(9, "FACTURA");
  Put(17, r.number);
  if (r.copy) Put(26, CopyWord());
  Justify("D");
  Put(67, format::FormatAmount(kTotalMask, r.Total()) + " " + CurrencyCode());
  Put(90, "RECIBO");
  Put(100, r.reference + " " + format::FormatAmount(kStubTotalMask, r.Total()), 2);

  Put(17, LongDate(c.issueDate));
  Put(51, SpanishDueText(unit.Periodicity()));
  Justify("D");
  Put(86, ReferenceMark(r) + r.reference);
  Put(100, format::FormatDate(c.issueDate, 0, "dma"), 2);

  ChargeArea(r, kNarrowAmountMask, 9,
             format::FitLeft(format::TrimRight(r.vatName) + RateText(r.vatRate) + " " +
                                 format::TrimLeft(format::FormatAmount(kNarrowBaseMask, r.vatBase)),
                             20),
             format::FitLeft(
                 "RETEN." + RateText(r.withholdingRate) + " " +
                     format::TrimLeft(format::FormatAmount(kNarrowBaseMask, r.withholdingBase)),
                 20));

  AdvanceTo(9);
  Put(17, unit.CollectionForm() == 'A' ? std::string("EN ADMINISTRACION") : r.payment.substr(0, 65),
      1);
  Justify("D");
  Put(82, OtherCurrencyTotal(r.Total()), 1);
  AddresseeBlock(r, true, true);
}

Layout ChosenLayout() {
  if (office::ReceiptSettings().oldLayout == "N") return Layout::kBoxed;
  return config::Program().CustomerVariant == 2 ? Layout::kPreprinted2 : Layout::kPreprinted;
}

void PrintReceipt(const ReceiptContext& c) {
  switch (ChosenLayout()) {
    case Layout::kBoxed:
      PrintBoxedReceipt(c);
      break;
    case Layout::kPreprinted:
      PrintPreprintedReceipt(c);
      break;
    case Layout::kPreprinted2:
      PrintPreprintedReceipt2(c);
      break;
  }
}

}  // namespace issuing
