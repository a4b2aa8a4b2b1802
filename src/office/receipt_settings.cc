// Reading the receipt settings from Tora.ini.
#include "office/receipt_settings.h"

#include <cmath>
#include <limits>

#include "config/ini.h"
#include "config/settings.h"
#include "format/text.h"

namespace office {
namespace {

std::int16_t Row(const std::string& value) {
  double v = std::round(format::NumericValue(value));
  // Rows outside 16 bits are not rows; keep them at the nearest bound.
  if (v > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (v < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(v);
}

float Rate(const std::string& value) {
  return static_cast<float>(format::NumericValue(value));
}

}  // namespace

ReceiptSettingsState& ReceiptSettings() {
  static ReceiptSettingsState state;
  return state;
}

void ResetReceiptSettings() {
  ReceiptSettings() = ReceiptSettingsState{};
}

void ReadReceiptSettings() {
  const std::string tora = config::Settings().RootDir + "Tora.ini";
  auto read = [&tora](const char* section, const char* key) {
    return config::IniRead(tora, section, key);
  };
  ReceiptSettingsState& s = ReceiptSettings();
  s.rowNumber = Row(read("Rebut", "Fila.Num"));
  s.rowDate = Row(read("Rebut", "Fila.Dat"));
  s.rowConcepts = Row(read("Rebut", "Fila.Cnc"));
  s.rowPayment = Row(read("Rebut", "Fila.Dom"));
  s.rowName = Row(read("Rebut", "Fila.Nom"));
  s.counterfoil = read("Rebut", "Matriu");
  s.oldLayout = read("Rebut", "Antic");
  s.duplicate = read("Rebut", "Duplicat");
  s.letterhead = read("Rebut", "Membret");
  const char* vatSections[] = {"Iva0", "Iva1"};
  for (int c = 0; c < 2; ++c) {
    s.vat[c].name = read(vatSections[c], "Nom");
    s.vat[c].premisesRate = Rate(read(vatSections[c], "Locals"));
    s.vat[c].dwellingsRate = Rate(read(vatSections[c], "Vivendes"));
  }
  s.withholdingRate[0] = Rate(read("Ret0", "Locals"));
  s.withholdingRate[1] = Rate(read("Ret1", "Locals"));
}

}  // namespace office
