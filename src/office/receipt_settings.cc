// Reading the receipt settings from Tora.ini.
#include "office/receipt_settings.h"

#include <cmath>
#include <limits>

#include "config/ini.h"
#include "config/session_settings.h"
#include "format/text.h"
#include "platform/paths.h"
#include "platform/program_state.h"

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

// A rate as a person writes one: digits with an optional sign and decimal
// point, nothing else (no exponent), between spaces.
bool IsPlainNumber(const std::string& text) {
  const std::string t = format::Trim(text);
  size_t i = !t.empty() && (t[0] == '+' || t[0] == '-') ? 1 : 0;
  const size_t digitsFrom = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  bool digits = i > digitsFrom;
  if (i < t.size() && t[i] == '.') {
    const size_t fraction = ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    digits = digits || i > fraction;
  }
  return digits && i == t.size();
}

// Records the first problem only: it is the one the operator is told.
void Note(SettingsProblem& problem, SettingsProblem::Kind kind, const std::string& what) {
  if (problem.kind == SettingsProblem::Kind::kNone) {
    problem.kind = kind;
    problem.what = what;
  }
}

// "[Section] Key", as the refusal names a setting.
std::string SettingName(const char* section, const char* key) {
  std::string name = "[";
  return name.append(section).append("] ").append(key);
}

void CheckRequired(SettingsProblem& problem, const std::string& file, const char* section,
                   const char* key) {
  if (format::Trim(config::IniRead(file, section, key)).empty()) {
    Note(problem, SettingsProblem::Kind::kMissing, SettingName(section, key));
  }
}

void CheckRate(SettingsProblem& problem, const std::string& file, const char* section,
               const char* key) {
  const std::string value = config::IniRead(file, section, key);
  // Blank or left out is 0: no VAT or withholding on the receipt.
  if (format::Trim(value).empty()) return;
  const double rate = format::NumericValue(value);
  if (!IsPlainNumber(value) || rate < 0 || rate > 100) {
    Note(problem, SettingsProblem::Kind::kOutOfRange, SettingName(section, key) + "=" + value);
  }
}

SettingsProblem CheckSettings(const std::string& file) {
  SettingsProblem problem;
  problem.file = file;
  std::string contents;
  if (!platform::ReadWholeFile(file, &contents)) {
    problem.kind = SettingsProblem::Kind::kUnreadable;
    return problem;
  }
  CheckRequired(problem, file, "Empresa", "Linia1");
  CheckRequired(problem, file, "Empresa", "Linia7");
  for (const char* section : {"Iva0", "Iva1"}) {
    for (const char* key : {"Locals", "Vivendes"}) CheckRate(problem, file, section, key);
  }
  CheckRate(problem, file, "Ret0", "Locals");
  CheckRate(problem, file, "Ret1", "Locals");
  return problem;
}

}  // namespace

ReceiptSettingsState& ReceiptSettings() {
  static ReceiptSettingsState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered =
    platform::RegisterStateReset(platform::Layer::kOffice, "office::ReceiptSettings",
                                 [] { ReceiptSettings() = ReceiptSettingsState{}; });
}  // namespace

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
  s.problem = CheckSettings(tora);
}

}  // namespace office
