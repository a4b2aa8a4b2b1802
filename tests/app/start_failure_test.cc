// The start of the real program on an installation that lacks a record file
// and its data dictionary: it must end with a failure exit code, not hang
// and not report success.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "../support/records_fixture.h"
#include "../support/temp_dir.h"
#include "app/program.h"
#include "btrieve/record_manager.h"
#include "office/record_layouts.h"
#include "platform/program_end.h"
#include "records/record_table.h"

namespace records_test {
namespace {

// Runs the program in dir with no input; its exit code, or -1 when it did
// not exit normally.
int RunProgramIn(const std::string& dir) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(100);
    ::execl(QANTIRES_BINARY, QANTIRES_BINARY, static_cast<char*>(nullptr));
    ::_exit(101);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StartFailure, ProgramWithoutItsRecordFilesEndsWithAFailureCode) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.Sub("DADES"));
  std::filesystem::create_directories(dir.Sub("ddf"));
  const int code = RunProgramIn(dir.path());
  EXPECT_NE(code, 0);
  EXPECT_NE(code, -1);
  EXPECT_LT(code, 100);
}

TEST_F(RecordsTest, StartStopsAtTheFirstMissingFileAfterOpeningTheOnesBefore) {
  MakeTypesFile("TVRebut", {}, office::kConceptTypeLength);
  MakeTypesFile("TRemeses", {}, office::kRemittanceLength);
  config::Settings().SessionLanguage = "OCI";
  EXPECT_EQ(app::OpenIssuingFiles(), btrieve::kStatusFileNotFound);  // PropietV
  ASSERT_EQ(endings.size(), 1u);
  EXPECT_NE(endings[0], 0);
  EXPECT_EQ(records::FindSlot(503).status, records::kNotOpen);  // released at the end
  EXPECT_EQ(app::RunProgram(), app::kStartFailureExitCode);
}

TEST_F(RecordsTest, StartOpensTheSixFilesWithTheirAreas) {
  const std::pair<const char*, std::size_t> files[] = {
      {"TVRebut", office::kConceptTypeLength}, {"TRemeses", office::kRemittanceLength},
      {"PropietV", office::kOwnerLength},      {"FinquesV", office::kPropertyLength},
      {"DepartaV", office::kUnitLength},       {"CobramV", office::kMandateLength}};
  for (const auto& [name, length] : files) {
    WriteDictionary(name, TypesCreateBuffer(static_cast<std::uint16_t>(length)));
  }
  ASSERT_EQ(app::OpenIssuingFiles(), 0);
  for (std::int16_t id : {503, 502, 505, 506, 507, 509}) {
    EXPECT_EQ(records::FindSlot(id).status, 0) << id;
  }
  EXPECT_EQ(records::RecordFiles().slots[records::FindSlot(509).slot].area.size(), 44u);
  // Each open takes the highest free slot: the concept types came first.
  EXPECT_EQ(records::FindSlot(503).slot, records::kSlotCount);
  EXPECT_EQ(records::FindSlot(509).slot, records::kSlotCount - 5);
  std::int16_t status = -1;
  records::ResetRecordFiles(status);
  EXPECT_EQ(status, 0);
}

// The concept types copied over the units: records shorter than a unit are
// another file, and the start ends on it instead of issuing nothing.
TEST_F(RecordsTest, StartRefusesAnotherRecordFileUnderAFilesName) {
  for (const char* name : {"TVRebut", "TRemeses", "PropietV", "FinquesV", "DepartaV", "CobramV"}) {
    WriteDictionary(name, TypesCreateBuffer(office::kConceptTypeLength));
  }
  EXPECT_EQ(app::OpenIssuingFiles(), btrieve::kStatusDamaged);
  ASSERT_EQ(endings.size(), 1u);
  EXPECT_EQ(records::FindSlot(503).status, records::kNotOpen);  // released at the end
}

}  // namespace
}  // namespace records_test
