// What the browse lists of the selection screen show and give: the row of
// each record, the value taken into the field, and the start key.
#include <string>

#include "config/program_identity.h"
#include "format/packed.h"
#include "office/record_layouts.h"
#include "office/screen_form.h"
#include "screens/selection_screens.h"

namespace screens {
namespace {

constexpr int kPropertyList = 1;
constexpr int kFirstUnitList = 2;
constexpr int kLastUnitList = 3;
constexpr int kRemittanceList = 4;

// Remittance record fields shown by list 4.
namespace remittance_fields {
inline constexpr office::Field kNumber{0, 1};
inline constexpr office::Field kReference{1, 10};
inline constexpr office::Field kName{16, 30};
inline constexpr office::Field kNumberHigh{75, 1};
}  // namespace remittance_fields

std::string LastDigits(const std::string& digits, size_t n) {
  return digits.size() <= n ? digits : digits.substr(digits.size() - n);
}

std::string PropertyCode() {
  const auto& area = office::Areas().property;
  return LastDigits(format::UnpackDigits(office::FieldText<office::property_fields::kNumber>(area)),
                    3);
}

std::string UnitCode() {
  const auto& area = office::Areas().unit;
  return LastDigits(format::UnpackDigits(office::FieldText<office::unit_fields::kKey>(area)), 3);
}

bool WideRemittanceNumbers() {
  return config::Program().CustomerVariant == 1;
}

// Variant 1 numbers remittances with a high byte at offset 75: four digits.
std::string RemittanceDigits() {
  const auto& area = office::Areas().remittance;
  std::string packed = office::FieldText<remittance_fields::kNumber>(area);
  if (WideRemittanceNumbers())
    packed = office::FieldText<remittance_fields::kNumberHigh>(area) + packed;
  return format::UnpackDigits(packed);
}

std::string RemittanceRow() {
  const auto& area = office::Areas().remittance;
  const std::string reference =
      format::UnpackDigits(office::FieldText<remittance_fields::kReference>(area));
  const std::string name = office::FieldText<remittance_fields::kName>(area);
  if (WideRemittanceNumbers())
    return LastDigits(RemittanceDigits(), 3) + " " + reference + "  " + name;
  return RemittanceDigits() + "  " + reference + "  " + name;
}

std::string FieldValue(int screen, int field) {
  const office::ScreenField* f = office::FieldAt(screen, field);
  return f == nullptr ? std::string() : f->value;
}

}  // namespace

void TakeBrowseChoice(int list, int screen, int field) {
  std::string value;
  if (list == kPropertyList) {
    value = PropertyCode();
  } else if (list == kFirstUnitList || list == kLastUnitList) {
    value = UnitCode();
  } else if (list == kRemittanceList) {
    value = RemittanceDigits();
    if (WideRemittanceNumbers()) value.erase(0, 1);
  } else {
    return;
  }
  AcceptField(screen, value, field, 13);
}

std::string BrowseRowText(int list) {
  if (list == kPropertyList) {
    return PropertyCode() + "  " +
           office::FieldText<office::property_fields::kStreet>(office::Areas().property);
  }
  if (list == kFirstUnitList || list == kLastUnitList) {
    const office::UnitView unit(office::Areas().unit);
    return UnitCode() + "  " + unit.TenantName() + "  " + unit.Door();
  }
  if (list == kRemittanceList) return RemittanceRow();
  return {};
}

std::string BrowseStartKey(int list) {
  if (list != kFirstUnitList && list != kLastUnitList) return {};
  const std::string unit = FieldValue(1, list == kFirstUnitList ? 2 : 4);
  return format::DottedCode("0" + unit);
}

}  // namespace screens
