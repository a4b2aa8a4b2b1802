#include "platform/paths.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

TEST(NativePath, BackslashesBecomeSlashes) {
  EXPECT_EQ(NativePath("no\\such\\dir\\file.dat"), "no/such/dir/file.dat");
  EXPECT_EQ(NativePath("/no/such/\\kelprint.tmp"), "/no/such/kelprint.tmp");
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(FileExists(folder + "platform_tests"));
}

TEST(NativePath, DriveLetterIsDropped) {
  EXPECT_EQ(NativePath("C:\\NOWHERE\\X"), "/NOWHERE/X");
}

TEST(NativePath, ComponentsMatchExistingEntriesWhateverTheirCase) {
  TempDir dir;
  dir.Write("Dades/TVRebut.DAT", "x");
  EXPECT_EQ(NativePath(dir.path() + "\\DADES\\tvrebut.dat"), dir.path() + "/Dades/TVRebut.DAT");
  EXPECT_TRUE(FileExists(dir.path() + "\\dades\\TVREBUT.dat"));
}

TEST(NativePath, LowerCaseFilesOfAWindowsInstallationAreFound) {
  TempDir dir;
  dir.Write("dades/tvrebut.dat", "records");
  std::string got;
  ASSERT_TRUE(ReadWholeFile(dir.path() + "\\DADES\\TVRebut.dat", &got));
  EXPECT_EQ(got, "records");
}

TEST(NativePath, ExactCaseWinsOverAnotherSpelling) {
  TempDir dir;
  dir.Write("a/x", "lower");
  dir.Write("A/x", "upper");
  std::string got;
  ASSERT_TRUE(ReadWholeFile(dir.path() + "\\A\\x", &got));
  EXPECT_EQ(got, "upper");
}

TEST(NativePath, NewFileKeepsTheGivenNameInsideAMatchedFolder) {
  TempDir dir;
  dir.Write("Session/keep", "");
  std::FILE* f = OpenFile(dir.path() + "\\SESSION\\kelprint.tmp", "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(FileExists(dir.path() + "/Session/kelprint.tmp"));
}

TEST(NativePath, MissingFolderIsNotInvented) {
  TempDir dir;
  EXPECT_EQ(OpenFile(dir.path() + "\\nofolder\\f", "rb"), nullptr);
  EXPECT_EQ(NativePath(dir.path() + "\\nofolder\\f"), dir.path() + "/nofolder/f");
}

}  // namespace
}  // namespace platform
