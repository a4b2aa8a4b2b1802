// The boxed receipt on plain paper.  Boxes span columns 1 to 95: a corner at
// each end and 93 lines between.  Every top, middle or bottom line of a box,
// titles and corners included, is one text record at column 1 that ends
// the line; a box row is "│" + text at column 1, any inner "│" + text at its
// own column, and the closing "│" at column 95.
#include "config/company.h"
#include "format/amounts.h"
#include "format/long_dates.h"
#include "format/text.h"
#include "issuing/issuing_run.h"
#include "issuing/issuing_run_state.h"
#include "issuing/layouts.h"
#include "office/receipt_settings.h"
#include "print/spool.h"

namespace issuing {
namespace {

// The QR code goes right of the issuer box, from the page's first line:
// the boxes end at column 95 on every line, so column 97 on is blank
// whatever the code's height in lines on the output, and the code sits at
// the top of the invoice, on its first copy only.  The print program widens
// its page to make the room (doc/spool-format.md).
constexpr QrPlace kQrPlace{97, 0, 35, 0};

const std::string kH = "\xC4";  // ─
const std::string kV = "\xB3";  // │
constexpr int kBoxWidth = 93;

const std::string& Tr(const char* text) {
  return Word(text);
}

// The cycle's boxed texts, built at its first receipt.
const BoxedTexts& Fixed() {
  BoxedTexts& t = IssuingRun().boxed;
  if (t.cycle == CycleNumber()) return t;
  t.cycle = CycleNumber();
  const std::string& title = Tr("PRESENTADOR");
  t.issuerHead = "\xDA" + title + Repeat(kH, kBoxWidth - static_cast<int>(title.size())) + "\xBF";
  const bool extraLine = !format::IsAllChar(config::CompanyLine(6), ' ');
  t.issuerRows = {kV + config::CompanyLine(1)};
  if (extraLine) t.issuerRows.push_back(kV + config::CompanyLine(6));
  for (int line = 2; line <= 5; ++line) t.issuerRows.push_back(kV + config::CompanyLine(line));
  t.issuerRows.push_back(kV + "N.I.F. " + config::CompanyLine(7));
  if (!extraLine) t.issuerRows.push_back(kV);
  const std::string& issuer = Tr("EMISSOR FISCAL");
  const std::string& addressee = Tr("RECEPTOR FISCAL");
  t.taxHead = "\xDA" + issuer + Repeat(kH, 46 - static_cast<int>(issuer.size())) + "\xC2" +
              addressee + Repeat(kH, 46 - static_cast<int>(addressee.size())) + "\xBF";
  // Literals joined to named strings, not to temporaries: g++ 12 at -O3
  // warns falsely (-Wrestrict) about the latter.
  const std::string half = Repeat(kH, 46);
  t.taxBottom = "\xC0" + half + "\xC1" + half + "\xD9";
  const std::string invoiceRule = Repeat(kH, 86);
  t.invoiceHead =
      "\xDA"
      "FACTURA" +
      invoiceRule + "\xBF";
  const std::string rule = Repeat(kH, kBoxWidth);
  t.bottom = "\xC0" + rule + "\xD9";
  t.dashes = Repeat("-", 10);
  t.doubleRule = Repeat("=", kBoxWidth);
  t.totalLabel = Tr("TOTAL ") + "(EUR)";
  t.totalLabel20 = format::FitLeft(t.totalLabel, 20);
  return t;
}

// The invoice box's top line of a receipt printed again from the register:
// the copy word after "FACTURA", in place of part of the rule.
std::string CopyHead() {
  const std::string word = CopyWord();
  return "\xDA" "FACTURA " + word + " " + Repeat(kH, 84 - static_cast<int>(word.size())) + "\xBF";
}

void IssuerBox() {
  if (office::ReceiptSettings().letterhead == "N") {
    Put(0, "", 9);
    return;
  }
  const BoxedTexts& t = Fixed();
  Put(1, t.issuerHead, 1);
  for (const std::string& row : t.issuerRows) {
    Put(1, row);
    Put(95, kV, 1);
  }
  Put(1, t.bottom, 1);
}

void TaxIdentityBox(const Receipt& r) {
  Put(1, Fixed().taxHead, 1);
  office::OwnerView owner(office::Areas().owner);
  office::UnitView unit(office::Areas().unit);
  const std::string left[5] = {format::StarredDisplay(owner.Name()), owner.AddressLine1(),
                               owner.AddressLine2(), owner.AddressLine3(),
                               "N.I.F. " + owner.FiscalId()};
  const std::string right[5] = {format::StarredDisplay(unit.TenantName()), r.street, r.town,
                                r.province, "N.I.F. " + unit.FiscalId()};
  for (int i = 0; i < 5; ++i) {
    Put(1, kV + left[i]);
    Put(48, kV + right[i]);
    Put(95, kV, 1);
  }
  Put(1, Fixed().taxBottom, 1);
}

struct InvoiceItem {
  std::string label;
  std::string value;
};

void Item(int column, const InvoiceItem& item, const char* fill) {
  Justify(fill);
  Put(column, (column == 1 ? kV : "") + item.label);
  Put(0, ": " + item.value);
}

void InvoiceBox(const ReceiptContext& c, int copy) {
  const Receipt& r = c.receipt;
  office::UnitView unit(office::Areas().unit);
  const bool bank = unit.CollectionForm() == 'B';
  const std::string& collection = bank ? Tr("REBUT DOMICILIAT") : Tr("COMPTAT");
  const std::string accountLabel = bank ? "IBAN " : Tr("OBJECTE ");
  const InvoiceItem number{Tr("N\xE9MERO "), r.number};
  const InvoiceItem date{Tr("DATA "), format::FormatDate(c.issueDate, 0, "dma")};
  const InvoiceItem due{Tr("VENCIMENT "), DueTerms(unit.Periodicity(), unit.Timing())};
  const InvoiceItem reference{Tr("REFER\xD4NCIA "), ReferenceMark(r) + r.reference};
  const InvoiceItem payment{Tr("COBRAMENT PER "), collection};

  Put(1, r.copy ? CopyHead() : Fixed().invoiceHead, 1);
  if (copy == 1) {
    const InvoiceItem account{accountLabel, r.payment.substr(0, 77)};
    for (const InvoiceItem* item : {&number, &date, &due, &reference, &payment, &account}) {
      Item(1, *item, "N 15 \\.\\");
      Put(95, kV, 1);
    }
  } else {
    const InvoiceItem account{accountLabel, r.payment.substr(0, 29)};
    const InvoiceItem* rows[3][2] = {{&number, &reference}, {&date, &payment}, {&due, &account}};
    for (const auto& row : rows) {
      Item(1, *row[0], "N 15 \\.\\");
      Item(49, *row[1], "N 62 \\.\\");
      Put(95, kV, 1);
    }
  }
  Put(1, Fixed().bottom, 1);
}

// Copy 1: one charge a line, dotted to column 84, the amount at column 85.
void FullWidthCharge(const std::string& text, double amount) {
  Justify("N 84 \\ .\\");
  Put(2, format::TrimRight(text));
  Justify("D");
  Put(85, format::FormatAmount(kAmountMask, amount), 1);
}

std::string BoxedTaxLabel(const std::string& head, float rate, double base) {
  return format::FitLeft(head + RateText(rate) + BaseText(base), 20);
}

void ChargeLines(const Receipt& r, int copy, bool& second) {
  for (int i = 0; i < office::kConcepts; ++i) {
    if (r.conceptAmount[i] == 0) continue;
    if (copy == 1) {
      FullWidthCharge(r.conceptText[i], r.conceptAmount[i]);
    } else {
      PairedCharge(r.conceptText[i], r.conceptAmount[i], kAmountMask, second);
      if (ChargeListFull(52, r, second)) break;
    }
  }
}

void Tax(const std::string& label, double amount, int copy, bool& second) {
  if (copy == 1) {
    Put(85, Fixed().dashes, 1);
    FullWidthCharge(label, amount);
  } else {
    PairedCharge(label, amount, kAmountMask, second);
  }
}

void AddressBlock(const Receipt& r) {
  office::OwnerView owner(office::Areas().owner);
  office::UnitView unit(office::Areas().unit);
  AdvanceTo(53);
  Justify("D");
  Put(17, format::StarredDisplay(unit.TenantName()), 1);
  Put(17, r.street, 1);
  Put(17, r.town, 1);
  Put(17, r.province);
  Put(56, format::StarredDisplay(owner.Name()), 1);
  Put(17, "N.I.F. " + unit.FiscalId());
  Put(56, "N.I.F. " + owner.FiscalId(), 2);
}

void Total(const Receipt& r, int copy, bool& second) {
  const BoxedTexts& t = Fixed();
  if (copy == 1) {
    Put(85, t.dashes, 1);
    Put(2, t.totalLabel);
    Justify("D");
    Put(85, format::FormatAmount(kAmountMask, r.Total()), 1);
    Put(2, t.doubleRule, 1);
    if (office::ReceiptSettings().duplicate == "S") {
      AdvanceTo(40);
      Justify("N 95 \\. \\");
      Put(0, "", 1);
    }
    return;
  }
  Put(second ? 51 : 17, t.totalLabel20);
  Justify("D");
  Put(0, format::FormatAmount(kTotalMask, r.Total()));
  Justify("E");
  second = !second;
  AddressBlock(r);
}

}  // namespace

void PrintBoxedReceipt(const ReceiptContext& c) {
  const Receipt& r = c.receipt;
  print::SpoolPage(66);
  print::SpoolControl("@e");
  PutQrCode(r, kQrPlace, Tr("TOTAL "));
  IssuerBox();
  const int copies = office::ReceiptSettings().duplicate == "S" ? 2 : 1;
  for (int copy = 1; copy <= copies; ++copy) {
    bool second = false;
    if (copy == 1) TaxIdentityBox(r);
    InvoiceBox(c, copy);
    ChargeLines(r, copy, second);
    if (r.vatRate != 0) {
      Tax(BoxedTaxLabel(format::TrimRight(r.vatName) + " ", r.vatRate, r.vatBase), r.vatAmount,
          copy, second);
    }
    if (r.withholdingRate != 0) {
      Tax(BoxedTaxLabel("RET.", r.withholdingRate, r.withholdingBase), r.withholdingAmount, copy,
          second);
    }
    Total(r, copy, second);
  }
}

}  // namespace issuing
