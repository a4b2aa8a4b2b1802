#include "startup/company.h"

#include "platform/current_dir.h"
#include "session_fixture.h"
#include "startup/program.h"

namespace startup {
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

class ProgramTest : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    start_ = platform::CurrentDirectory();
  }
  void TearDown() override {
    platform::ChangeDirectory(start_);
    SessionTest::TearDown();
  }
  std::string start_;
};

TEST_F(ProgramTest, StartUpEntersTheRootAndChoosesTheVariant) {
  dir_.Write("root/Tora.ini", "[Empresa]\r\nLinia7=A-08000001\r\n");
  Set("KELROOT", Prefix("root"));
  LoadConfiguration();
  EXPECT_EQ(platform::CurrentDirectory(), dir_.path() + "/root");
  EXPECT_EQ(Program().ProgramName, "QANTIRES");
  EXPECT_EQ(Program().CustomerVariant, 1);
}

TEST_F(ProgramTest, UnknownCustomerAndEmptyRootChangeNothing) {
  LoadConfiguration();
  EXPECT_EQ(platform::CurrentDirectory(), start_);
  EXPECT_EQ(Program().CustomerVariant, 0);
  EXPECT_EQ(CustomerVariantFor("ESB08000002      "), 2);
  EXPECT_EQ(CustomerVariantFor("esb08000002      "), 0);  // exact comparison
}

TEST_F(ProgramTest, MissingScreenFormFileEndsTheStartWithAFailureCode) {
  dir_.Write("root/Tora.ini", "[Usuari]\r\n");
  Set("KELROOT", Prefix("root"));
  EXPECT_EQ(RunProgram(), kStartFailureExitCode);
}

}  // namespace
}  // namespace startup
