// Opening record files: name completion, creation from the data dictionary
// file, the table's own statuses, the fatal message and the release.
#include "records/open_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "../support/records_fixture.h"
#include "console/console_state.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "storage/record_backend.h"
#include "terminal/headless_backend.h"

namespace records_test {
namespace {

using records::CompleteFileName;
using records::OpenRecordFile;
using records::RecordFiles;

TEST(CompleteFileName, DirectoryBaseAndExtensionAsTheOpenBuildsThem) {
  auto parts = CompleteFileName("C:\\ROOT\\DADES\\REB");
  EXPECT_EQ(parts.directory, "C:\\ROOT\\DADES\\");
  EXPECT_EQ(parts.baseName, "REB");
  EXPECT_EQ(parts.FullName(), "C:\\ROOT\\DADES\\REB.dat");

  parts = CompleteFileName("DADES/REB.B.C");
  EXPECT_EQ(parts.baseName, "REB");
  EXPECT_EQ(parts.extension, ".B.C");
  EXPECT_EQ(parts.FullName(), "DADES/REB.B.C");

  parts = CompleteFileName("REB");
  EXPECT_EQ(parts.directory, "");
  EXPECT_EQ(parts.FullName(), "REB.dat");

  // A dot in a directory is not an extension.
  EXPECT_EQ(CompleteFileName("A.B:REB").FullName(), "A.B:REB.dat");
}

TEST_F(RecordsTest, MissingFileIsCreatedFromItsDictionaryAndOpened) {
  WriteDictionary("REB", TypesCreateBuffer());
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), area, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(std::filesystem::exists(session.dir().Sub("DADES/REB.dat")));
  const records::RecordSlot& slot = RecordFiles().slots[records::FindSlot(601).slot];
  EXPECT_EQ(slot.recordLength, kRecordLength);
  EXPECT_EQ(slot.keyValue, std::string(1, '\0'));  // key 0 is one byte long
  EXPECT_EQ(slot.area.data(), area.data());

  // A dotted extension is kept and the dictionary is still the base name's.
  OpenRecordFile(602, session.dir().path() + "/DADES/REB.B.C", area, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(std::filesystem::exists(session.dir().Sub("DADES/REB.B.C")));
  EXPECT_TRUE(endings.empty());
}

TEST_F(RecordsTest, SecondOpenOfAnIdentifierGives1002AndKeepsTheFirstBinding) {
  MakeTypesFile("REB", {});
  std::array<unsigned char, kRecordLength> first{};
  std::array<unsigned char, kRecordLength> second{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), first, status);
  ASSERT_EQ(status, 0);
  OpenRecordFile(601, Root("OTHER"), second, status);
  EXPECT_EQ(status, records::kAlreadyOpen);
  EXPECT_EQ(RecordFiles().slots[records::FindSlot(601).slot].area.data(), first.data());
  EXPECT_FALSE(std::filesystem::exists(session.dir().Sub("DADES/OTHER.dat")));
}

TEST_F(RecordsTest, FortyFilesFillTheTableAndTheNextGives1003) {
  MakeTypesFile("REB", {});
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  for (std::int16_t id = 1; id <= records::kSlotCount; ++id) {
    OpenRecordFile(id, Root("REB"), area, status);
    ASSERT_EQ(status, 0) << id;
  }
  OpenRecordFile(41, Root("REB"), area, status);
  EXPECT_EQ(status, records::kTableFull);
  EXPECT_EQ(records::FindSlot(41).status, records::kTableFull);
  EXPECT_TRUE(endings.empty());
}

TEST_F(RecordsTest, ResetForgetsEveryFileButKeepsTheLockModeStack) {
  MakeTypesFile("REB", {TypeRecord(1, "LLOGUER")});
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), area, status);
  records::SetLockMode(601, "+", status);
  records::ResetRecordFiles(status);
  EXPECT_EQ(status, 0);
  records::FindByKey(601, 0, "\x01", 0, status);
  EXPECT_EQ(status, records::kNotOpen);
  EXPECT_EQ(RecordFiles().lockModeStack.size(), 2u);
  // The identifier can be opened again.
  OpenRecordFile(601, Root("REB"), area, status);
  EXPECT_EQ(status, 0);
}

TEST(OpenFailureMessage, FourLanguagesByteForByte) {
  testing_support::HeadlessSession session;
  const std::pair<const char*, const char*> cases[] = {
      {"SPA", "NO SE PUEDE ACCEDER AL FICHERO X/Y (2)"},
      {"GLG", "NOM SE PODE ACEDER AO FICHEIRO X/Y (2)"},
      {"OCI", "NON SE P\xD2T ACCEDIR ATH FICH\xC8R X/Y (2)"},
      {"CAT", "NO ES POT ACCEDIR AL FITXER X/Y (2)"},
      {"", "NO ES POT ACCEDIR AL FITXER X/Y (2)"},
  };
  for (const auto& [language, text] : cases) {
    config::Settings().SessionLanguage = language;
    EXPECT_EQ(records::OpenFailureMessage("X\\Y", 2), text) << language;
  }
  const std::pair<const char*, const char*> conversions[] = {
      {"SPA", "HAY QUE CONVERTIR EL FICHERO X/Y CON recutil import (30)"},
      {"GLG", "HAI QUE CONVERTER O FICHEIRO X/Y CON recutil import (30)"},
      {"OCI", "CAU CONVERTIR ETH FICH\xC8R X/Y DAMB recutil import (30)"},
      {"CAT", "CAL CONVERTIR EL FITXER X/Y AMB recutil import (30)"},
  };
  for (const auto& [language, text] : conversions) {
    config::Settings().SessionLanguage = language;
    EXPECT_EQ(records::OpenFailureMessage("X\\Y", 30), text) << language;
  }
}

TEST_F(RecordsTest, FileOfAnotherRecordManagerAsksForTheConversion) {
  WriteDictionary("REB", TypesCreateBuffer());
  std::filesystem::create_directories(session.dir().Sub("DADES"));
  // The first bytes of a page of the old record manager's file.
  std::FILE* f = std::fopen(session.dir().Sub("DADES/REB.dat").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite("FC\0\0\x01\x02\0\0", 1, 8, f);
  std::fwrite(std::string(4088, '\0').data(), 1, 4088, f);
  std::fclose(f);
  std::vector<std::string> shown;
  console::Console().messageEcho = [&](const std::string& text) { shown.push_back(text); };
  config::Settings().SessionLanguage = "CAT";
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), area, status);
  console::Console().messageEcho = nullptr;
  EXPECT_EQ(status, btrieve::kStatusNotARecordFile);
  EXPECT_EQ(endings.size(), 1u);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "CAL CONVERTIR EL FITXER " + config::Settings().RootDir +
                          "DADES/REB AMB recutil import (30)");
  // The file is neither created again nor touched.
  EXPECT_EQ(std::filesystem::file_size(session.dir().Sub("DADES/REB.dat")), 4096u);
}

// A database server that cannot be reached gives its reason after the
// status, cleaned of bytes the screen would not show.
TEST(OpenFailureMessage, UnreachableServerAddsItsReason) {
  testing_support::HeadlessSession session;
  config::Settings().SessionLanguage = "CAT";
  storage::NoteRecordServerFailure("connection refused\n\xC3\xA9");
  EXPECT_EQ(records::OpenFailureMessage("X\\Y", 20),
            "NO ES POT ACCEDIR AL FITXER X/Y (20): connection refused???");
  EXPECT_EQ(records::OpenFailureMessage("X\\Y", 2), "NO ES POT ACCEDIR AL FITXER X/Y (2)");
  storage::NoteRecordServerFailure("");
}

// A headless console that keeps the screen as it was when the program
// waited for a key.
class WaitWatcher : public terminal::HeadlessConsole {
 public:
  terminal::ConsoleEvent ReadEvent(bool wait) override {
    if (wait) screens.push_back(terminal::DumpScreen(false));
    return HeadlessConsole::ReadEvent(wait);
  }
  std::vector<std::string> screens;
};

TEST_F(RecordsTest, FileWithoutFileOrDictionaryShowsTheMessageWaitsForOneKeyAndEnds) {
  MakeTypesFile("REB", {});
  auto owned = std::make_unique<WaitWatcher>();
  WaitWatcher& watcher = *owned;
  terminal::SetConsoleBackend(std::move(owned));
  watcher.PushText("xy");  // typed before the message: dropped
  config::Settings().SessionLanguage = "SPA";
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), area, status);
  ASSERT_EQ(status, 0);
  // Neither DADES\NOPE.dat (relative to here) nor ddf\NOPE.xdf exists.
  OpenRecordFile(602, "DADES\\NOPE", area, status);

  EXPECT_EQ(status, btrieve::kStatusFileNotFound);
  ASSERT_EQ(endings.size(), 1u);
  EXPECT_NE(endings[0], 0);
  EXPECT_EQ(watcher.Beeps(), 1);
  EXPECT_EQ(watcher.Pending(), 0u);
  ASSERT_EQ(watcher.screens.size(), 1u);  // one key, waited for after the typed ones went
  EXPECT_NE(watcher.screens[0].find("NO SE PUEDE ACCEDER AL FICHERO DADES/NOPE (12)"),
            std::string::npos)
      << watcher.screens[0];
  EXPECT_EQ(console::Console().depth, 0);
  // Every record file was released.
  EXPECT_EQ(records::FindSlot(601).status, records::kNotOpen);
  EXPECT_EQ(records::FindSlot(602).status, records::kNotOpen);
}

TEST_F(RecordsTest, DamagedDictionaryIsReportedWithTheCreateStatus) {
  WriteDictionary("REB", "not a description");
  std::array<unsigned char, kRecordLength> area{};
  std::int16_t status = -1;
  OpenRecordFile(601, Root("REB"), area, status);
  EXPECT_NE(status, 0);
  EXPECT_NE(status, btrieve::kStatusFileNotFound);
  EXPECT_EQ(endings.size(), 1u);
  EXPECT_EQ(records::FindSlot(601).status, records::kNotOpen);
}

}  // namespace
}  // namespace records_test
