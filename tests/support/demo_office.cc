// A demo office installation for tests.
#include "demo_office.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "app/program.h"
#include "commands.h"
#include "demo_files.h"
#include "ledger/register_settings.h"
#include "office/receipt_settings.h"
#include "office/remittance_settings.h"
#include "platform/clock.h"
#include "platform/current_dir.h"
#include "platform/program_end.h"
#include "platform/program_state.h"
#include "terminal/headless_backend.h"

namespace testing_support {

DemoOffice::DemoOffice(std::vector<demo::RecordFile> files, const std::string& workingDate,
                       const std::string& language)
    : startDir_(platform::CurrentDirectory()) {
  platform::ResetProgramState();
  terminal::UseHeadlessConsole();
  platform::FixToday({2026, 12, 8, 10, 0, 0});
  platform::SetEndProgramStandIn(
      [](int code) { ADD_FAILURE() << "the program ended with " << code; });
  std::string error;
  demo::InstallationText text{Root(), Root() + "session/", workingDate, language};
  EXPECT_TRUE(demo::WriteInstallationText(text, &error)) << error;
  std::filesystem::create_directories(dir_.Sub("DADES"));
  for (const demo::RecordFile& f : files) {
    dir_.Write("load/" + f.name + ".key", demo::KeyDescription(f));
    dir_.Write("load/" + f.name + ".seq", demo::SequentialText(f));
    const std::string xdf = dir_.Sub("ddf/" + f.name + ".xdf");
    const std::string dat = dir_.Sub("DADES/" + f.name + ".dat");
    EXPECT_EQ(recutil::MakeDictionary(dir_.Sub("load/" + f.name + ".key"), xdf), 0);
    EXPECT_EQ(recutil::CreateFromDictionary(xdf, dat, false), 0);
    EXPECT_EQ(recutil::LoadRecords(dat, dir_.Sub("load/" + f.name + ".seq"), false, 0), 0);
  }
  ::setenv("KELROOT", Root().c_str(), 1);
  ::setenv("KELEXE", (Root() + "bin/").c_str(), 1);
  ::setenv("KELTMP", (Root() + "session/").c_str(), 1);
}

DemoOffice::~DemoOffice() {
  platform::ResetProgramState();
  platform::ChangeDirectory(startDir_);
  for (const char* name : {"KELROOT", "KELEXE", "KELTMP"}) ::unsetenv(name);
}

bool DemoOffice::Start() {
  app::LoadConfiguration();
  if (!app::LoadScreenForms() || app::OpenIssuingFiles() != 0) return false;
  office::ReadReceiptSettings();
  office::ReadRemittanceSettings();
  ledger::ReadRegisterSettings();
  return true;
}

std::string DemoOffice::Spool() const {
  return dir_.Read("session/kelprint.tmp");
}

std::string DemoOffice::Records(const std::string& name) const {
  const std::string out = dir_.Sub("saved-" + name + ".seq");
  EXPECT_EQ(recutil::SaveRecords(dir_.Sub("DADES/" + name + ".dat"), out, 0), 0);
  return dir_.Read("saved-" + name + ".seq");
}

demo::RecordFile& FileNamed(std::vector<demo::RecordFile>& files, const std::string& name) {
  for (demo::RecordFile& f : files) {
    if (f.name == name) return f;
  }
  ADD_FAILURE() << "no record file " << name;
  return files.front();
}

}  // namespace testing_support
