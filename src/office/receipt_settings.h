// Receipt settings: layout choice, rows of the pre-printed forms, switches,
// VAT and withholding rates, read once at start-up from Tora.ini in the
// installation root.
//
//   [Rebut]  Fila.Num Fila.Dat Fila.Cnc Fila.Dom Fila.Nom   rows (whole numbers)
//            Matriu Antic Duplicat Membret                   switches, compared exactly
//   [Iva0] / [Iva1]  Nom Locals Vivendes                     VAT class name and rates
//   [Ret0] / [Ret1]  Locals                                  withholding rate for premises
//
// A missing key reads as the empty text: rows and rates become 0, switches
// the empty text.
//
// A cycle needs more than that: the file and the firm's name and fiscal
// identifier ([Empresa] Linia1 and Linia7, which head every receipt).  A
// rate left blank or out is 0 (dwellings whose rents carry no VAT), but
// every rate that is set, withholding included, must be a plain number from
// 0 to 100.  What falls short is kept as the settings' problem, and the
// issuing run refuses its cycles while there is one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace office {

struct VatClass {
  std::string name;         // printed before the rate
  float premisesRate = 0;   // Locals
  float dwellingsRate = 0;  // Vivendes
};

// The first thing found wrong with the settings.
struct SettingsProblem {
  enum class Kind { kNone, kUnreadable, kMissing, kOutOfRange };
  Kind kind = Kind::kNone;
  std::string file;  // the Tora.ini read
  std::string what;  // the key, "[Iva0] Locals", or the key and its value, "[Iva0] Locals=1e308"
};

struct ReceiptSettingsState {
  std::int16_t rowNumber = 0;    // Fila.Num
  std::int16_t rowDate = 0;      // Fila.Dat
  std::int16_t rowConcepts = 0;  // Fila.Cnc
  std::int16_t rowPayment = 0;   // Fila.Dom
  std::int16_t rowName = 0;      // Fila.Nom
  std::string counterfoil;       // Matriu: "S" fills the counterfoil
  std::string oldLayout;         // Antic: "N" selects the boxed layout
  std::string duplicate;         // Duplicat: "S" prints a second copy
  std::string letterhead;        // Membret: "N" leaves 9 blank lines instead
  std::array<VatClass, 2> vat;
  std::array<float, 2> withholdingRate{};  // Ret0, Ret1 Locals
  SettingsProblem problem;
};
ReceiptSettingsState& ReceiptSettings();

// Reads every key, in the order above, from RootDir + "Tora.ini".
void ReadReceiptSettings();

}  // namespace office
