// Record areas and the fields that need more than one read.
#include "office/record_layouts.h"

#include "platform/program_state.h"

namespace office {

RecordAreas& Areas() {
  static RecordAreas areas;
  return areas;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kOffice, "office::Areas", [] { Areas() = RecordAreas{}; });
}  // namespace

void ResetConceptType(RecordArea<kConceptTypeLength>& area) {
  PutField<concept_type_fields::kName>(area, "");
  PutField<concept_type_fields::kVatFlag>(area, "S");
  PutField<concept_type_fields::kWithholdingFlag>(area, "S");
  PutField<concept_type_fields::kThirdFlag>(area, "S");
}

namespace {

// Offset of owner property entry k (1 to 20).
std::size_t EntryOffset(int k) {
  return owner_fields::kPropertyEntries.offset + 4 * static_cast<std::size_t>(k - 1);
}

// The charge area: ten 4-byte amounts, three 6-byte coded concepts, and an
// 8-byte fourteenth (code, count, amount).
constexpr std::size_t kCodedStart = unit_fields::kCharges.offset + 40;
constexpr std::size_t kLastStart = unit_fields::kCharges.offset + 58;

}  // namespace

PropertyEntry OwnerView::Entry(int k) const {
  if (k < 1 || k > kPropertyEntries) return {std::string(2, '\0'), 0};
  const std::size_t at = EntryOffset(k);
  return {std::string(reinterpret_cast<const char*>(a_.data()) + at, 2),
          LittleInt16(a_.data() + at + 2)};
}

void PutPropertyEntry(RecordArea<kOwnerLength>& area, int k, const PropertyEntry& entry) {
  if (k < 1 || k > OwnerView::kPropertyEntries) return;
  const std::size_t at = EntryOffset(k);
  for (std::size_t i = 0; i < 2; ++i) {
    area[at + i] =
        i < entry.propertyNumber.size() ? static_cast<unsigned char>(entry.propertyNumber[i]) : 0;
  }
  PutLittleInt16(area.data() + at + 2, entry.vatClass);
}

Charges UnitView::ChargeArea() const {
  Charges c;
  const unsigned char* area = a_.data();
  for (std::size_t i = 0; i < 10; ++i) {
    c.fixedAmounts[i] = LittleInt32(area + unit_fields::kCharges.offset + 4 * i);
  }
  for (std::size_t i = 0; i < 3; ++i) {
    c.coded[i].code = LittleInt16(area + kCodedStart + 6 * i);
    c.coded[i].amount = LittleInt32(area + kCodedStart + 6 * i + 2);
  }
  c.coded[3].code = LittleInt16(area + kLastStart);
  c.coded[3].count = LittleInt16(area + kLastStart + 2);
  c.coded[3].amount = LittleInt32(area + kLastStart + 4);
  return c;
}

void PutCharges(RecordArea<kUnitLength>& area, const Charges& c) {
  unsigned char* a = area.data();
  for (std::size_t i = 0; i < 10; ++i) {
    PutLittleInt32(a + unit_fields::kCharges.offset + 4 * i, c.fixedAmounts[i]);
  }
  for (std::size_t i = 0; i < 3; ++i) {
    PutLittleInt16(a + kCodedStart + 6 * i, c.coded[i].code);
    PutLittleInt32(a + kCodedStart + 6 * i + 2, c.coded[i].amount);
  }
  PutLittleInt16(a + kLastStart, c.coded[3].code);
  PutLittleInt16(a + kLastStart + 2, c.coded[3].count);
  PutLittleInt32(a + kLastStart + 4, c.coded[3].amount);
}

void PutPeriodicity(RecordArea<kUnitLength>& area, std::int16_t months) {
  PutLittleInt16(area.data() + unit_fields::kPeriodicity.offset, months);
}

void NormaliseCollectionCodeHigh(RecordArea<kUnitLength>& area) {
  unsigned char& high = area[unit_fields::kCodeHigh.offset];
  if (high < 128) high = 128;
}

}  // namespace office
