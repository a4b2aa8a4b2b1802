// ReplaceFile: a file found under the name is replaced, and a link there is
// never written through.
#include "platform/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string Contents(std::FILE* f) {
  std::string bytes(100, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  return bytes;
}

TEST(ReplaceFile, ALinkIsReplacedAndWhatItPointsToStaysUnchanged) {
  TempDir dir;
  dir.Write("record.dat", "records");
  for (bool keep : {false, true}) {
    ASSERT_EQ(::symlink(dir.Sub("record.dat").c_str(), dir.Sub("work.tmp").c_str()), 0);
    std::FILE* f = ReplaceFile(dir.Sub("work.tmp"), keep);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Contents(f), "");  // a link's target is never read either
    std::fputs("written", f);
    std::fclose(f);
    EXPECT_FALSE(IsLink(dir.Sub("work.tmp")));
    EXPECT_EQ(dir.Read("work.tmp"), "written");
    EXPECT_EQ(dir.Read("record.dat"), "records");
    ASSERT_EQ(::unlink(dir.Sub("work.tmp").c_str()), 0);
  }
}

TEST(ReplaceFile, AHardLinkIsReplacedAndItsOtherNameKeepsItsBytes) {
  TempDir dir;
  dir.Write("record.dat", "records");
  ASSERT_EQ(::link(dir.Sub("record.dat").c_str(), dir.Sub("work.tmp").c_str()), 0);
  std::FILE* f = ReplaceFile(dir.Sub("work.tmp"), true);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Contents(f), "records");  // a regular file is kept as it was
  std::fputs(" and more", f);
  std::fclose(f);
  EXPECT_EQ(dir.Read("work.tmp"), "records and more");
  EXPECT_EQ(dir.Read("record.dat"), "records");
}

TEST(ReplaceFile, AFileWithNoOtherNameIsKeptInPlace) {
  TempDir dir;
  dir.Write("work.tmp", "stack");
  struct stat before {
  }, after{};
  ASSERT_EQ(::stat(dir.Sub("work.tmp").c_str(), &before), 0);
  std::FILE* f = ReplaceFile(dir.Sub("work.tmp"), true);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Contents(f), "stack");
  std::fputs(" grown", f);
  std::fclose(f);
  ASSERT_EQ(::stat(dir.Sub("work.tmp").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(dir.Read("work.tmp"), "stack grown");
}

TEST(ReplaceFile, ANewFileStartsEmptyAndNoTemporaryIsLeftBehind) {
  TempDir dir;
  dir.Write("Sessio/old.tmp", "old");
  std::FILE* f = ReplaceFile(dir.path() + "\\SESSIO\\Work.tmp", true);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Contents(f), "");
  std::fclose(f);
  f = ReplaceFile(dir.Sub("Sessio/old.tmp"), false);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Contents(f), "");
  std::fclose(f);
  EXPECT_EQ(ReplaceFile(dir.Sub("missing/x.tmp"), false), nullptr);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Sub("Sessio"))) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Work.tmp", "old.tmp"}));
}

}  // namespace
}  // namespace platform
