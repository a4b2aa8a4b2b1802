#include "config/company.h"

#include "config/session_settings.h"
#include "session_fixture.h"

namespace config {
namespace {

using CompanyTest = SessionTest;

TEST_F(CompanyTest, FiscalIdentifierKeepsCapitalsDigitsAndSpaces) {
  EXPECT_EQ(NormaliseFiscalId("b-60.12..3 X"), "ES60123 X     ");
  EXPECT_EQ(NormaliseFiscalId(""), "ES");
}

TEST_F(CompanyTest, LinesComeFromTheInstallationAndThenTheSession) {
  dir_.Write("Tora.ini",
             "[Empresa]\r\nLinia1=Finques Exemple SL\r\nLinia2=" + std::string(40, 'x') +
                 "\r\nLinia7=b-12.345.678-z\r\n[Usuari]\r\nIdioma=SPA\r\n");
  Set("KELROOT", Prefix());
  LoadInstallationConfig();
  EXPECT_EQ(CompanyLine(1), "Finques Exemple SL" + std::string(17, ' '));
  EXPECT_EQ(CompanyLine(2), std::string(35, 'x'));
  EXPECT_EQ(CompanyLine(6), std::string(35, ' '));
  EXPECT_EQ(CompanyLine(7), "ES12345678" + std::string(27, ' '));
  EXPECT_EQ(CompanyLine(9), "");
  EXPECT_EQ(Settings().SessionLanguage, "SPA");  // the session settings followed
}

}  // namespace
}  // namespace config
