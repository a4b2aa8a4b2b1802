#include "office/receipt_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/temp_dir.h"
#include "config/session_settings.h"
#include "platform/program_state.h"

namespace office {
namespace {

using testing_support::TempDir;

class ReceiptSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    config::Settings().RootDir = dir_.path() + "\\";
  }
  void TearDown() override { platform::ResetProgramState(); }
  TempDir dir_;
};

TEST_F(ReceiptSettingsTest, ReadsRowsSwitchesAndRates) {
  dir_.Write("TORA.INI",
             "[Rebut]\r\nFila.Num=3\r\nFila.Dat= 5.6\r\nFila.Cnc=9\r\nFila.Dom=15\r\n"
             "Fila.Nom=18\r\nMatriu=S\r\nAntic=n\r\nDuplicat=S \r\nMembret=N\r\n"
             "[Iva0]\r\nNom=IVA\r\nLocals=21\r\nVivendes=10\r\n"
             "[Iva1]\r\nNom=IGIC\r\nLocals=7\r\nVivendes=3.5\r\n"
             "[Ret0]\r\nLocals=19\r\n[Ret1]\r\nLocals=15\r\n");
  ReadReceiptSettings();
  const ReceiptSettingsState& s = ReceiptSettings();
  EXPECT_EQ(s.rowNumber, 3);
  EXPECT_EQ(s.rowDate, 6);  // rounded to the nearest whole row
  EXPECT_EQ(s.rowName, 18);
  EXPECT_EQ(s.counterfoil, "S");
  EXPECT_EQ(s.oldLayout, "n");   // kept as written: only "N" selects the boxed layout
  EXPECT_EQ(s.duplicate, "S ");  // compared exactly by the layouts
  EXPECT_EQ(s.vat[1].name, "IGIC");
  EXPECT_FLOAT_EQ(s.vat[0].premisesRate, 21);
  EXPECT_FLOAT_EQ(s.vat[1].dwellingsRate, 3.5);
  EXPECT_FLOAT_EQ(s.withholdingRate[0], 19);
  EXPECT_FLOAT_EQ(s.withholdingRate[1], 15);
}

TEST_F(ReceiptSettingsTest, MissingFileGivesZerosAndEmptySwitches) {
  ReadReceiptSettings();
  const ReceiptSettingsState& s = ReceiptSettings();
  EXPECT_EQ(s.rowNumber, 0);
  EXPECT_EQ(s.oldLayout, "");
  EXPECT_EQ(s.vat[0].premisesRate, 0);
  EXPECT_EQ(s.withholdingRate[1], 0);
}

TEST_F(ReceiptSettingsTest, HugeRowIsHeldAtTheSixteenBitBound) {
  dir_.Write("Tora.ini", "[Rebut]\r\nFila.Num=99999999\r\nFila.Dat=-70000\r\n");
  ReadReceiptSettings();
  EXPECT_EQ(ReceiptSettings().rowNumber, 32767);
  EXPECT_EQ(ReceiptSettings().rowDate, -32768);
}

// Settings written well: the firm's lines and the four VAT rates.
constexpr const char* kComplete =
    "[Empresa]\r\nLinia1=FINQUES\r\nLinia7=B-17.654.321\r\n"
    "[Iva0]\r\nLocals=21\r\nVivendes=0\r\n[Iva1]\r\nLocals= 21.5 \r\nVivendes=10.\r\n";

TEST_F(ReceiptSettingsTest, CompleteSettingsHaveNoProblemAndWithholdingMayBeLeftOut) {
  dir_.Write("Tora.ini", kComplete);
  ReadReceiptSettings();
  EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kNone);
  dir_.Write("Tora.ini", std::string(kComplete) + "[Ret0]\r\nLocals=100\r\n[Ret1]\r\nLocals=0\r\n");
  ReadReceiptSettings();
  EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kNone);
}

TEST_F(ReceiptSettingsTest, FileThatCannotBeReadIsTheProblem) {
  ReadReceiptSettings();  // no file
  EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kUnreadable);
  EXPECT_EQ(ReceiptSettings().problem.file, dir_.path() + "\\Tora.ini");
  std::filesystem::create_directories(dir_.Sub("Tora.ini"));  // a folder
  ReadReceiptSettings();
  EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kUnreadable);
}

TEST_F(ReceiptSettingsTest, MissingFirmLineIsNamed) {
  const struct {
    std::string text;
    const char* what;
  } cases[] = {
      {"", "[Empresa] Linia1"},
      {"[Empresa]\r\nLinia1=FINQUES\r\nLinia7=  \r\n", "[Empresa] Linia7"},
  };
  for (const auto& c : cases) {
    dir_.Write("Tora.ini", c.text);
    ReadReceiptSettings();
    EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kMissing) << c.what;
    EXPECT_EQ(ReceiptSettings().problem.what, c.what);
  }
}

TEST_F(ReceiptSettingsTest, RateThatIsNoPercentageIsNamedWithItsValue) {
  const std::string good = std::string(kComplete) + "[Ret0]\r\nLocals=19\r\n[Ret1]\r\nLocals=0\r\n";
  const struct {
    const char* written;  // in place of the good value
    const char* bad;
    const char* what;
  } cases[] = {
      {"Vivendes=0", "Vivendes=-99999999999", "[Iva0] Vivendes=-99999999999"},
      {"Locals=21\r\nV", "Locals=1e308\r\nV", "[Iva0] Locals=1e308"},
      {"Locals=21\r\nV", "Locals=21%\r\nV", "[Iva0] Locals=21%"},
      {"Locals=21\r\nV", "Locals=-1\r\nV", "[Iva0] Locals=-1"},
      {"Locals=0", "Locals=100.5", "[Ret1] Locals=100.5"},
      {"Locals=19", "Locals=.", "[Ret0] Locals=."},
  };
  for (const auto& c : cases) {
    std::string text = good;
    text.replace(text.find(c.written), std::string(c.written).size(), c.bad);
    dir_.Write("Tora.ini", text);
    ReadReceiptSettings();
    EXPECT_EQ(ReceiptSettings().problem.kind, SettingsProblem::Kind::kOutOfRange) << c.what;
    EXPECT_EQ(ReceiptSettings().problem.what, c.what);
  }
}

}  // namespace
}  // namespace office
