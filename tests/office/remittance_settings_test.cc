// The [Remesa] section of Tora.ini: values as written, defaults for blank
// or missing keys.
#include "office/remittance_settings.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "config/session_settings.h"
#include "platform/program_state.h"

namespace office {
namespace {

using testing_support::TempDir;

class RemittanceSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    config::Settings().RootDir = dir_.path() + "\\";
  }
  void TearDown() override { platform::ResetProgramState(); }
  TempDir dir_;
};

TEST_F(RemittanceSettingsTest, ReadsEveryKeyTrimmed) {
  dir_.Write("TORA.INI",
             "[Remesa]\r\nEmetre=s\r\nCreditor= ES77000B85626240 \r\nSufix=001\r\n"
             "Compte=ES91 2100 0418 4502 0005 1332\r\nBIC=CAIXESBBXXX\r\n"
             "DataMandat=2014-02-01\r\nSequencia=FRST\r\nFitxer=C:\\REMESES\\dec.xml\r\n");
  ReadRemittanceSettings();
  const RemittanceSettingsState& s = RemittanceSettings();
  EXPECT_TRUE(s.enabled);
  EXPECT_EQ(s.creditorId, "ES77000B85626240");
  EXPECT_EQ(s.businessCode, "001");
  EXPECT_EQ(s.account, "ES91 2100 0418 4502 0005 1332");
  EXPECT_EQ(s.bic, "CAIXESBBXXX");
  EXPECT_EQ(s.signatureDate, "2014-02-01");
  EXPECT_EQ(s.sequenceType, "FRST");
  EXPECT_EQ(s.file, "C:\\REMESES\\dec.xml");
}

TEST_F(RemittanceSettingsTest, BlankOrMissingKeysTakeTheDefaults) {
  dir_.Write("TORA.INI", "[Remesa]\r\nEmetre=N\r\nSufix=\r\nDataMandat=  \r\n");
  ReadRemittanceSettings();
  const RemittanceSettingsState& s = RemittanceSettings();
  EXPECT_FALSE(s.enabled);
  EXPECT_EQ(s.businessCode, "000");
  EXPECT_EQ(s.signatureDate, "2009-10-31");
  EXPECT_EQ(s.sequenceType, "RCUR");
  EXPECT_EQ(s.creditorId, "");
  EXPECT_EQ(s.file, "");
}

}  // namespace
}  // namespace office
