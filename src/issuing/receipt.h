// One receipt: what is due, its concepts and amounts, number, reference,
// addressee and payment line, computed from the current owner, property and
// unit records and the selection.
//
// Amounts are whole euro cents held in doubles; VAT and withholding are
// rounded to whole cents, halves to the even cent.  The total to pay is
// base + VAT - withholding; the invoice total, which the tax agency's QR
// code carries, is base + VAT.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "office/record_layouts.h"
#include "office/selection.h"

namespace issuing {

struct Receipt {
  std::array<std::string, office::kConcepts> conceptText;  // the type's 20-character name
  std::array<double, office::kConcepts> conceptAmount{};
  std::array<bool, office::kConcepts> conceptSubjectToVat{};
  double base = 0;
  double vatBase = 0;
  double withholdingBase = 0;
  float vatRate = 0;
  float withholdingRate = 0;
  double vatAmount = 0;
  double withholdingAmount = 0;
  std::string vatName;
  std::string number;     // 8 digits
  std::string reference;  // property, unit, "V", period: "012003V07"
  std::string street;     // addressee's street line, door included
  std::string town;
  std::string province;
  std::string payment;  // account, collection text, collector or address
  bool domiciled = false;
  // Printed again from the register: the layouts mark it as a copy.
  bool copy = false;
  // The text of the tax agency's QR code (a URL, printable ASCII); empty:
  // the receipt has no code and prints as it did without one.
  std::string qrText;

  double Total() const { return base + vatAmount - withholdingAmount; }
  double InvoiceTotal() const { return base + vatAmount; }
};

// Due in the month (1 to 12) for a charge every `periodicity` months with the
// timing letter: "V" in arrears, "M" mid-term, anything else in advance.  A
// periodicity of 0 (or below) is never due.
bool IsDue(int periodicity, unsigned char timing, int month);

// The unit's 4-byte key lies in the selection's unit range.
bool InUnitRange(const std::string& unitKey, const office::Selection& s);

// The unit's collection form is one of A, B, F, switched on, and its
// collection key (form, code high pair, code low pair) lies within that
// form's bounds.  Normalises an unset code high pair in the area first.
bool PassesCollection(office::RecordArea<office::kUnitLength>& unit, const office::Selection& s);

// Reads concept type `key` (1 byte) into the concept-type area; the area is
// reset (blank name, subject to VAT and withholding) before each call, so a
// type that is not found keeps those values.
using ConceptTypeLookup = std::function<void(const std::string& key)>;

// The fourteen concepts of the unit's charge area: texts, amounts, base and
// the VAT and withholding bases.
void ComputeConcepts(const office::RecordArea<office::kUnitLength>& unit,
                     const office::Selection& s, const ConceptTypeLookup& lookup, Receipt& r);

// Rate percent of base, in whole cents, halves to the even cent.
double PercentOf(float rate, double base);

// "012003V07": digits 2-4 and 6-8 of the unpacked unit key, "V", the period.
std::string ReceiptReference(const std::string& unitKey, const std::string& period);

// Street, town and province lines of the addressee, and the payment line.
void ComputeAddress(const office::RecordArea<office::kPropertyLength>& property,
                    const office::RecordArea<office::kUnitLength>& unit, Receipt& r);

// The receipt counter of an owner: the packed number it was left at.
long long LastReceiptNumber(const office::RecordArea<office::kOwnerLength>& owner);

}  // namespace issuing
