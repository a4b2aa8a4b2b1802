// Start-up: the installation root becomes the current directory, the
// customer variant is chosen, and a start that cannot go on fails.
#include "app/program.h"

#include "../config/session_fixture.h"
#include "config/program_identity.h"
#include "platform/current_dir.h"

namespace app {
namespace {

class ProgramTest : public config::SessionTest {
 protected:
  void SetUp() override {
    config::SessionTest::SetUp();
    start_ = platform::CurrentDirectory();
  }
  void TearDown() override {
    platform::ChangeDirectory(start_);
    config::SessionTest::TearDown();
  }
  std::string start_;
};

TEST_F(ProgramTest, StartUpEntersTheRootAndChoosesTheVariant) {
  dir_.Write("root/Tora.ini", "[Empresa]\r\nLinia7=A-08000001\r\n");
  Set("KELROOT", Prefix("root"));
  LoadConfiguration();
  EXPECT_EQ(platform::CurrentDirectory(), dir_.path() + "/root");
  EXPECT_EQ(config::Program().ProgramName, "QANTIRES");
  EXPECT_EQ(config::Program().CustomerVariant, 1);
}

TEST_F(ProgramTest, UnknownCustomerAndEmptyRootChangeNothing) {
  LoadConfiguration();
  EXPECT_EQ(platform::CurrentDirectory(), start_);
  EXPECT_EQ(config::Program().CustomerVariant, 0);
  EXPECT_EQ(config::CustomerVariantFor("ESB08000002      "), 2);
  EXPECT_EQ(config::CustomerVariantFor("esb08000002      "), 0);  // exact comparison
}

TEST_F(ProgramTest, MissingScreenFormFileEndsTheStartWithAFailureCode) {
  dir_.Write("root/Tora.ini", "[Usuari]\r\n");
  Set("KELROOT", Prefix("root"));
  EXPECT_EQ(RunProgram(), kStartFailureExitCode);
}

}  // namespace
}  // namespace app
