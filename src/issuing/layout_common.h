// Pieces shared by the three receipt layouts: spool shorthands, the due
// terms, the tax labels, the currency texts and the charge list printed two
// to a line.
#pragma once

#include <string>
#include <string_view>

#include "issuing/receipt.h"

namespace issuing {

// The masks the layouts print amounts through.  Charges, taxes and tax
// bases go through kAmountMask but on the second pre-printed layout, whose
// columns are narrower.
inline constexpr std::string_view kAmountMask = "ZZ,ZZZ,ZZ9";
inline constexpr std::string_view kNarrowAmountMask = "Z,ZZZ,ZZ9";
inline constexpr std::string_view kNarrowBaseMask = "ZZZ,ZZ9";
inline constexpr std::string_view kTotalMask = "**,***,**9";
// The counterfoil's total and the total in the other currency.
inline constexpr std::string_view kStubTotalMask = "**,***,***";

// What a layout prints from besides the receipt's own values.
struct ReceiptContext {
  const Receipt& receipt;
  const std::string& issueDate;  // packed
};

// A text at a column (0: after the previous text) with a line advance.
void Put(int column, const std::string& text, int advance = 0);
// A justification directive ("D", "E", "N 84 \ .\", ...).
void Justify(const std::string& code);
// An empty text with as many line feeds as bring the page's line count to n.
void AdvanceTo(int lineCount);
// n copies of a code page 850 character or text; none when n <= 0.
std::string Repeat(const std::string& piece, int n);
// The last n characters of text (all of it when shorter).
std::string Last(const std::string& text, size_t n);

// A fixed word of the layouts in the session language.  Each word is looked
// up once per cycle: a cycle prints every receipt in the same language, and
// it makes millions of lookups.
const std::string& Word(const char* catalan);
// Starts a cycle: forgets the words looked up, and changes CycleNumber so
// that texts built from them are built again.
void ForgetWords();
// Which cycle the layouts print for.
unsigned CycleNumber();

// The translated periodicity word and timing words: "TRIMESTRAL VENÇUT".
std::string DueTerms(int periodicity, unsigned char timing);

// A rate through "Z9.99%".
std::string RateText(float rate);
// " " + the base through mask with its left spaces removed, cut to the last
// 10 characters.
std::string BaseText(double base, std::string_view mask = kAmountMask);

// "EUR" or "ESP" for the current document currency.
std::string CurrencyCode();
// The total in the other currency with its code ("***12.345 ESP"), the
// currencies left as they were.
std::string OtherCurrencyTotal(double total);
// Whether OtherCurrencyTotal shows every digit of the total
// (format::AmountShownWhole), the currencies left as they were.
bool OtherCurrencyTotalWhole(double total);

// "*" before the reference of a domiciled receipt, else a space.
std::string ReferenceMark(const Receipt& r);

// A charge of a two-column list: text + " " at column 17 or 51, the amount
// through mask right after it, the line ended after the second of a pair.
// `second` says where this entry goes and is flipped.
void PairedCharge(const std::string& text, double amount, std::string_view mask, bool& second);

// Where a layout puts the receipt's QR code (print::SpoolQrCode): its
// block at `column`, starting `line` lines below the current line, the code
// `sizeMm` wide, in `freeColumns` blank columns (0: all of them from
// `column` on).
struct QrPlace {
  int column = 0;
  int line = 0;
  int sizeMm = 0;
  int freeColumns = 0;
};

// The receipt's QR code, when it has a text for one.  Withholding makes the
// total printed to pay differ from the invoice total that the code carries;
// then the invoice total is printed with the code, as `totalWord` and the
// amount, so that what the reader of the code is shown can be found on the
// receipt.
void PutQrCode(const Receipt& r, const QrPlace& place, const std::string& totalWord);

// Whether a two-column charge list must stop: at line count `stopAt`, or at
// `stopAt` - 1 when the tax lines still to come need that line.  Any other
// line count, past `stopAt` included, lets it go on.
bool ChargeListFull(int stopAt, const Receipt& r, bool second);

}  // namespace issuing
