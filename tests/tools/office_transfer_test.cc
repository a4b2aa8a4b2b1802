// recutil import and export over a scratch office: every refused file
// leaves nothing behind while the others load, files in the way are moved
// aside or kept, and an export gives back what was loaded.
#include "office_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "../support/temp_dir.h"
#include "btrieve/record_manager.h"
#include "key_description.h"
#include "record_handle.h"
#include "sequential.h"

namespace {

namespace fs = std::filesystem;
using recutil::TransferRow;

// 8-byte records, key 0 unique on the first 4 bytes.
constexpr const char* kDescription = "record 8\nkey: 1+4 binary\n";

// An 8-byte record: the key value id, then 4 bytes (fewer for a short one).
std::string Rec(char id, const std::string& tail) {
  return std::string{id, '\0', '\0', '\0'} + tail;
}

std::string Records(const std::vector<std::string>& records) {
  std::string bytes;
  for (const std::string& r : records) bytes += recutil::SequentialRecord(r);
  return bytes;
}

class OfficeTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { btrieve::ResetRecordManager(); }
  void TearDown() override { btrieve::ResetRecordManager(); }

  void Describe(const std::string& name) {
    std::string buffer, error;
    ASSERT_TRUE(recutil::ParseKeyDescription(kDescription, &buffer, &error)) << error;
    dir.Write("office/ddf/" + name + ".xdf", recutil::DictionaryFile(buffer));
  }
  std::vector<TransferRow> Import(bool replace = false) {
    return recutil::ImportOffice(dir.Sub("office"), dir.Sub("seq"), replace);
  }
  // The file's records as an export writes them.
  std::string Exported(const std::string& name) {
    recutil::ExportOffice(dir.Sub("office"), dir.Sub("out"));
    return dir.Read("out/" + name + ".seq");
  }
  // DADES without the record manager's lock side files of finished files
  // (the work file's, "-import-lock", would show).
  std::set<std::string> DataFiles() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Sub("office/DADES"))) {
      const std::string name = e.path().filename().string();
      if (!name.ends_with(".dat-lock")) names.insert(name);
    }
    return names;
  }

  testing_support::TempDir dir;
  const std::string two = Records({Rec('\1', "abcd"), Rec('\2', "efgh")});
};

TEST_F(OfficeTransferTest, RefusedFilesLeaveNothingWhileTheOthersLoad) {
  for (const char* name : {"Good", "Short", "Dup", "Cut", "Unused"}) Describe(name);
  dir.Write("seq/Good.seq", two);
  dir.Write("seq/SHORT.SEQ", Records({Rec('\1', "abcd"), Rec('\2', "e")}));
  dir.Write("seq/Dup.seq", Records({Rec('\1', "abcd"), Rec('\1', "efgh")}));
  dir.Write("seq/Cut.seq", two.substr(0, two.size() - 5));
  dir.Write("seq/Orphan.seq", two);

  std::vector<TransferRow> rows = Import();
  ASSERT_EQ(rows.size(), 6u);
  const std::pair<const char*, const char*> expected[] = {
      {"Cut", "not loaded: record 2: the file ends inside the record"},
      {"Dup", "not loaded: record 2: status 5 (duplicate key value)"},
      {"Good", "loaded"},
      {"Short", "not loaded: record 2 is 5 bytes, the description says 8"},
      {"Unused", "no Unused.seq in the folder; not touched"},
      {"Orphan", "not loaded: no description ddf/Orphan.xdf"},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].name, expected[i].first);
    EXPECT_EQ(rows[i].result, expected[i].second);
    EXPECT_EQ(rows[i].problem, rows[i].result.rfind("not loaded", 0) == 0) << rows[i].name;
  }
  EXPECT_EQ(rows[2].records, 2);
  EXPECT_EQ(DataFiles(), std::set<std::string>{"Good.dat"});
  EXPECT_EQ(Exported("Good"), two + "\x1A");

  const std::string table = recutil::TransferTable(rows);
  EXPECT_EQ(table.substr(0, table.find('\n', 24)),
            "file    records  result\n"
            "Cut           -  not loaded: record 2: the file ends inside the record")
      << table;
  EXPECT_NE(table.find("\nGood          2  loaded\n"), std::string::npos) << table;
}

TEST_F(OfficeTransferTest, ForeignFileIsMovedAsideAndOursKeptUnlessReplaced) {
  Describe("Good");
  const std::string foreign("FC\0\0old record manager page", 28);
  dir.Write("office/DADES/GOOD.DAT", foreign);
  dir.Write("seq/Good.seq", two);
  std::vector<TransferRow> rows = Import();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].result, "loaded; the old file is now GOOD.DAT.old");
  EXPECT_EQ(dir.Read("office/DADES/GOOD.DAT.old"), foreign);

  const std::string three = Records({Rec('\1', "abcd"), Rec('\2', "efgh"), Rec('\3', "ijkl")});
  dir.Write("seq/Good.seq", three);
  rows = Import();
  EXPECT_FALSE(rows[0].problem);
  EXPECT_EQ(rows[0].result,
            "a record file of ours is there; left alone (--replace loads it again)");
  EXPECT_EQ(Exported("Good"), two + "\x1A");

  // A replacement that fails leaves our file as it was.
  dir.Write("seq/Good.seq", three.substr(0, 20));
  rows = Import(true);
  EXPECT_TRUE(rows[0].problem);
  EXPECT_EQ(Exported("Good"), two + "\x1A");

  // An open file is not replaced; a closed one is, and kept aside.
  dir.Write("seq/Good.seq", three);
  {
    recutil::Handle user;
    ASSERT_EQ(user.Open(dir.Sub("office/DADES/Good.dat"), btrieve::kOpenNormal), 0);
    rows = Import(true);
    EXPECT_EQ(rows[0].result, "not loaded: the record file there is in use; not replaced");
  }
  EXPECT_EQ(Exported("Good"), two + "\x1A");
  rows = Import(true);
  EXPECT_EQ(rows[0].result, "loaded; the old file is now Good.dat.old");
  EXPECT_EQ(rows[0].records, 3);
  EXPECT_EQ(Exported("Good"), three + "\x1A");
  EXPECT_EQ(DataFiles(), (std::set<std::string>{"GOOD.DAT.old", "Good.dat", "Good.dat.old"}));
}

TEST_F(OfficeTransferTest, EmptyFileTheProgramMadeBeforeTheImportIsReplaced) {
  Describe("Good");
  dir.Write("seq/Empty.seq", "");
  Describe("Empty");
  ASSERT_EQ(Import()[0].result, "loaded");  // an empty file of ours, as an open creates
  ASSERT_TRUE(fs::exists(dir.Sub("office/DADES/Empty.dat")));
  fs::rename(dir.Sub("office/DADES/Empty.dat"), dir.Sub("office/DADES/Good.dat"));
  dir.Write("seq/Good.seq", two);
  std::vector<TransferRow> rows = Import();
  EXPECT_EQ(rows[1].result, "loaded; it replaces an empty file");
  EXPECT_EQ(Exported("Good"), two + "\x1A");
  EXPECT_EQ(DataFiles(), (std::set<std::string>{"Empty.dat", "Good.dat"}));
}

TEST_F(OfficeTransferTest, ExportSkipsNothingAndRefusesForeignFiles) {
  Describe("Good");
  dir.Write("seq/Good.seq", two);
  Import();
  dir.Write("office/DADES/Other.dat", "not ours");
  std::vector<TransferRow> rows = recutil::ExportOffice(dir.Sub("office"), dir.Sub("out"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].result, "written");
  EXPECT_EQ(rows[0].records, 2);
  EXPECT_TRUE(rows[1].problem);
  EXPECT_NE(rows[1].result.find("status 30"), std::string::npos) << rows[1].result;
  EXPECT_FALSE(fs::exists(dir.Sub("out/Other.seq")));
  EXPECT_FALSE(fs::exists(dir.Sub("out/Other.seq-new")));
}

}  // namespace
