#include "office/receipt_settings.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "config/settings.h"

namespace office {
namespace {

using testing_support::TempDir;

class ReceiptSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetReceiptSettings();
    config::ResetSettings();
    config::Settings().RootDir = dir_.path() + "\\";
  }
  void TearDown() override {
    ResetReceiptSettings();
    config::ResetSettings();
  }
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

}  // namespace
}  // namespace office
