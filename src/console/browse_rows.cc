// What the browse lists of the selection screen show and give: the row of
// each record, the value taken into the field, and the start key.
#include <string>

#include "console/selection_screens.h"
#include "format/packed.h"
#include "issuing/record_layouts.h"
#include "issuing/screen_form.h"
#include "startup/program_state.h"

namespace console {
namespace {

constexpr int kPropertyList = 1;
constexpr int kFirstUnitList = 2;
constexpr int kLastUnitList = 3;
constexpr int kRemittanceList = 4;

// Remittance record fields shown by list 4.
namespace remittance_fields {
inline constexpr issuing::Field kNumber{0, 1};
inline constexpr issuing::Field kReference{1, 10};
inline constexpr issuing::Field kName{16, 30};
inline constexpr issuing::Field kNumberHigh{75, 1};
}  // namespace remittance_fields

std::string LastDigits(const std::string& digits, size_t n) {
  return digits.size() <= n ? digits : digits.substr(digits.size() - n);
}

std::string PropertyCode() {
  const auto& area = issuing::Areas().property;
  return LastDigits(
      format::UnpackDigits(issuing::FieldText<issuing::property_fields::kNumber>(area)), 3);
}

std::string UnitCode() {
  const auto& area = issuing::Areas().unit;
  return LastDigits(format::UnpackDigits(issuing::FieldText<issuing::unit_fields::kKey>(area)), 3);
}

bool WideRemittanceNumbers() {
  return startup::Program().CustomerVariant == 1;
}

// Variant 1 numbers remittances with a high byte at offset 75: four digits.
std::string RemittanceDigits() {
  const auto& area = issuing::Areas().remittance;
  std::string packed = issuing::FieldText<remittance_fields::kNumber>(area);
  if (WideRemittanceNumbers())
    packed = issuing::FieldText<remittance_fields::kNumberHigh>(area) + packed;
  return format::UnpackDigits(packed);
}

std::string RemittanceRow() {
  const auto& area = issuing::Areas().remittance;
  const std::string reference =
      format::UnpackDigits(issuing::FieldText<remittance_fields::kReference>(area));
  const std::string name = issuing::FieldText<remittance_fields::kName>(area);
  if (WideRemittanceNumbers())
    return LastDigits(RemittanceDigits(), 3) + " " + reference + "  " + name;
  return RemittanceDigits() + "  " + reference + "  " + name;
}

std::string FieldValue(int screen, int field) {
  const issuing::ScreenField* f = issuing::FieldAt(screen, field);
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
           issuing::FieldText<issuing::property_fields::kStreet>(issuing::Areas().property);
  }
  if (list == kFirstUnitList || list == kLastUnitList) {
    const issuing::UnitView unit(issuing::Areas().unit);
    return UnitCode() + "  " + unit.TenantName() + "  " + unit.Door();
  }
  if (list == kRemittanceList) return RemittanceRow();
  return {};
}

std::string BrowseStartKey(int list) {
  if (list == kFirstUnitList) return format::DottedCode("0" + FieldValue(1, 2));
  if (list == kLastUnitList) return format::DottedCode("0" + FieldValue(1, 4));
  return {};
}

}  // namespace console
