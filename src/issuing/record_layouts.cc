// Record areas and the fields that need more than one read.
#include "issuing/record_layouts.h"

namespace issuing {

RecordAreas& Areas() {
  static RecordAreas areas;
  return areas;
}

void ResetAreas() { Areas() = RecordAreas{}; }

void ResetConceptType(RecordArea<kConceptTypeLength>& area) {
  for (std::size_t i = 1; i <= 20; ++i) area[i] = ' ';
  area[21] = area[22] = area[23] = 'S';
}

PropertyEntry OwnerView::Entry(int k) const {
  if (k < 1 || k > kPropertyEntries) return {std::string(2, '\0'), 0};
  const std::size_t at = 184 + 4 * static_cast<std::size_t>(k - 1);
  return {std::string(reinterpret_cast<const char*>(a_.data()) + at, 2),
          LittleInt16(a_.data() + at + 2)};
}

Charges UnitView::ChargeArea() const {
  Charges c;
  constexpr std::size_t kStart = 277;  // 66 bytes, to 342
  auto int16At = [this](std::size_t at) { return LittleInt16(a_.data() + at); };
  auto int32At = [this](std::size_t at) { return LittleInt32(a_.data() + at); };
  for (std::size_t i = 0; i < 10; ++i) c.fixedAmounts[i] = int32At(kStart + 4 * i);
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t at = kStart + 40 + 6 * i;
    c.coded[i].code = int16At(at);
    c.coded[i].amount = int32At(at + 2);
  }
  c.coded[3].code = int16At(kStart + 58);
  c.coded[3].count = int16At(kStart + 60);
  c.coded[3].amount = int32At(kStart + 62);
  return c;
}

void NormaliseCollectionCodeHigh(RecordArea<kUnitLength>& area) {
  if (area[211] < 128) area[211] = 128;
}

}  // namespace issuing
