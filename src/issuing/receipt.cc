// Due test, concepts, taxes, reference and addresses of one receipt.
#include "issuing/receipt.h"

#include <cmath>
#include <cstdlib>

#include "format/packed.h"
#include "format/text.h"

namespace issuing {
namespace {

// A coded concept's type key: its code packed as two digits.  Codes above
// 99 cannot be packed into one byte; such a concept has no type and counts
// with the values of a missing one.
bool CodedKey(int code, std::string* key) {
  if (code < 1 || code > 99) return false;
  *key = std::string(1, static_cast<char>(128 + code));
  return true;
}

bool IsBlank(const std::string& text) {
  return format::IsAllChar(text, ' ');
}

}  // namespace

bool IsDue(int periodicity, unsigned char timing, int month) {
  if (periodicity <= 0 || month < 1) return false;
  int offset = timing == 'V' ? periodicity - 1 : timing == 'M' ? periodicity / 2 : 0;
  return (month - 1) % periodicity == offset;
}

bool InUnitRange(const std::string& unitKey, const office::Selection& s) {
  return unitKey >= s.unitLow && unitKey <= s.unitHigh;
}

bool PassesCollection(office::RecordArea<office::kUnitLength>& unit, const office::Selection& s) {
  office::NormaliseCollectionCodeHigh(unit);
  office::UnitView u(unit);
  const std::string letters = office::kFormLetters;
  size_t form = letters.find(static_cast<char>(u.CollectionForm()));
  if (form == std::string::npos) return false;
  std::string key = {static_cast<char>(u.CollectionForm()),
                     static_cast<char>(u.CollectionCodeHigh()),
                     static_cast<char>(u.CollectionCodeLow())};
  return s.formOn[form] && key >= s.codeLow[form] && key <= s.codeHigh[form];
}

void ComputeConcepts(const office::RecordArea<office::kUnitLength>& unit,
                     const office::Selection& s, const ConceptTypeLookup& lookup, Receipt& r) {
  r.base = r.vatBase = r.withholdingBase = 0;
  office::RecordArea<office::kConceptTypeLength>& type = office::Areas().conceptType;
  const office::Charges charges = office::UnitView(unit).ChargeArea();
  auto look = [&](const std::string* key) {
    office::ResetConceptType(type);
    if (key != nullptr) lookup(*key);
  };
  for (int i = 0; i < office::kConcepts; ++i) {
    r.conceptText[i].clear();
    r.conceptAmount[i] = 0;
    r.conceptSubjectToVat[i] = false;
    std::string key;
    if (i < 10) {
      key = std::string(1, static_cast<char>(i + 1));
      look(&key);
      r.conceptAmount[i] = charges.fixedAmounts[i];
    } else {
      const office::Charges::Coded& c = charges.coded[i - 10];
      bool counted = c.code > 0 && (i < 13 || c.count > 0);
      if (counted) {
        look(CodedKey(c.code, &key) ? &key : nullptr);
        r.conceptAmount[i] = c.amount;
      }
    }
    if (!s.conceptOn[i]) {
      r.conceptAmount[i] = 0;
      continue;
    }
    office::ConceptTypeView t(type);
    r.conceptText[i] = t.Name();
    r.base += r.conceptAmount[i];
    r.conceptSubjectToVat[i] = t.SubjectToVat();
    if (t.SubjectToVat()) r.vatBase += r.conceptAmount[i];
    if (t.SubjectToWithholding()) r.withholdingBase += r.conceptAmount[i];
  }
}

double PercentOf(float rate, double base) {
  return std::nearbyint(static_cast<double>(rate) * base / 100.0);
}

std::string ReceiptReference(const std::string& unitKey, const std::string& period) {
  std::string digits = format::UnpackDigits(unitKey);
  digits.resize(8, '0');
  std::string p = format::UnpackDigits(period);
  return digits.substr(1, 3) + digits.substr(5, 3) + "V" + p;
}

void ComputeAddress(const office::RecordArea<office::kPropertyLength>& property,
                    const office::RecordArea<office::kUnitLength>& unit, Receipt& r) {
  office::PropertyView p(property);
  office::UnitView u(unit);
  const bool ownAddress = p.Kind() == 'P';
  r.street = format::StarredDisplay(ownAddress ? u.Street() : p.Street()) + " " +
             format::TrimRight(u.Door());
  r.town = format::TrimRight(p.Town());
  r.province = format::TrimRight(p.Province());
  if (ownAddress && !IsBlank(u.Town())) {
    r.town = format::TrimRight(u.Town());
    r.province = format::TrimRight(u.Province());
  }
  if (u.CollectionForm() == 'B') {
    r.payment = "IBAN " + u.BankAccount();
  } else if (!IsBlank(u.CollectionText())) {
    r.payment = u.CollectionText();
  } else if (u.CollectionForm() == 'A') {
    r.payment = u.Collector();
  } else {
    r.payment = r.street + " " + r.town + " " + r.province;
  }
}

long long LastReceiptNumber(const office::RecordArea<office::kOwnerLength>& owner) {
  return std::atoll(format::UnpackDigits(office::OwnerView(owner).LastReceiptNumber()).c_str());
}

}  // namespace issuing
