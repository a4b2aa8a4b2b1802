// Shared pieces of the receipt layouts.
#include "issuing/layout_common.h"

#include "config/language.h"
#include "format/amounts.h"
#include "format/picture.h"
#include "format/text.h"
#include "issuing/issuing_run_state.h"
#include "print/spool.h"

namespace issuing {

void Put(int column, const std::string& text, int advance) {
  print::SpoolText(column, text, advance);
}

void Justify(const std::string& code) {
  std::string directive = code;
  print::SpoolJustify(directive);
}

void AdvanceTo(int lineCount) {
  Put(0, "", lineCount - print::Spool().linesUsed);
}

std::string Repeat(const std::string& piece, int n) {
  if (n <= 0) return {};
  if (piece.size() == 1) return std::string(static_cast<size_t>(n), piece[0]);
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out += piece;
  return out;
}

std::string Last(const std::string& text, size_t n) {
  return text.size() <= n ? text : text.substr(text.size() - n);
}

const std::string& Word(const char* catalan) {
  auto& words = IssuingRun().words;
  for (const auto& [key, word] : words) {
    if (key == catalan) return word;
  }
  return words.emplace_back(catalan, config::TranslateText(catalan)).second;
}

void ForgetWords() {
  IssuingRun().words.clear();
  ++IssuingRun().cycle;
}

unsigned CycleNumber() {
  return IssuingRun().cycle;
}

std::string DueTerms(int periodicity, unsigned char timing) {
  const char* word = "MENSUAL";
  switch (periodicity) {
    case 2:
      word = "BIMESTRAL";
      break;
    case 3:
      word = "TRIMESTRAL";
      break;
    case 4:
      word = "QUADRIMESTRAL";
      break;
    case 6:
      word = "SEMESTRAL";
      break;
    case 12:
      word = "ANYAL";
      break;
    default:
      break;
  }
  const char* when = timing == 'V' ? " VEN\x80UT" : timing == 'M' ? " A MIG TERMINI" : " ANTICIPAT";
  return Word(word) + Word(when);
}

std::string RateText(float rate) {
  return format::FormatPicture("Z9.99%", rate);
}

std::string BaseText(double base, std::string_view mask) {
  const std::string amount = format::TrimLeft(format::FormatAmount(mask, base));
  return Last(" " + amount, 10);
}

std::string CurrencyCode() {
  return format::CurrencyFor("") == "E" ? "EUR" : "ESP";
}

namespace {

// Makes the other currency the document currency (and the current one);
// called twice it switches back.
void SwitchDocumentCurrency() {
  const std::string current = format::CurrencyFor("p");
  const std::string other = current == "E" ? "p" : current == "P" ? "e" : "";
  format::SetCurrency("p," + other);
  format::SetCurrency("p");
}

}  // namespace

std::string OtherCurrencyTotal(double total) {
  SwitchDocumentCurrency();
  std::string text = format::FormatAmount(kStubTotalMask, total) + " " + CurrencyCode();
  SwitchDocumentCurrency();
  return text;
}

bool OtherCurrencyTotalWhole(double total) {
  SwitchDocumentCurrency();
  const bool whole = format::AmountShownWhole(kStubTotalMask, total);
  SwitchDocumentCurrency();
  return whole;
}

std::string ReferenceMark(const Receipt& r) {
  return r.domiciled ? "*" : " ";
}

void PairedCharge(const std::string& text, double amount, std::string_view mask, bool& second) {
  Put(second ? 51 : 17, text + " ");
  Justify("D");
  Put(0, format::FormatAmount(mask, amount), second ? 1 : 0);
  Justify("E");
  second = !second;
}

void PutQrCode(const Receipt& r, const QrPlace& place, const std::string& totalWord) {
  if (r.qrText.empty()) return;
  std::string note;
  if (r.InvoiceTotal() != r.Total()) {
    note = totalWord + format::TrimLeft(format::FormatAmount(kAmountMask, r.InvoiceTotal()));
  }
  print::SpoolQrCode(place.column, place.line, place.sizeMm, place.freeColumns, r.qrText, note);
}

bool ChargeListFull(int stopAt, const Receipt& r, bool second) {
  // Equalities: a list that starts past its stop line (rows given upwards
  // or far down) is not cut.
  const int lines = print::Spool().linesUsed;
  if (lines == stopAt) return true;
  if (lines != stopAt - 1) return false;
  const bool vat = r.vatRate != 0;
  const bool withholding = r.withholdingRate != 0;
  return (vat && withholding) || ((vat != withholding) && second);
}

}  // namespace issuing
