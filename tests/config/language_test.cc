#include "config/language.h"

#include <filesystem>

#include "config/language_file.h"
#include "config/program_identity.h"
#include "config/session_settings.h"
#include "platform/paths.h"
#include "session_fixture.h"

namespace config {
namespace {

class LanguageTest : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    Settings().RootDir = Prefix();
    Program().ProgramName = "QANTIRES";
  }
  void WriteFile(const std::string& contents) { dir_.Write("LOCALE/QANTIRES.LNG", contents); }
  std::string In(const char* language, const char* text) {
    Settings().SessionLanguage = language;
    return TranslateText(text);
  }
};

TEST_F(LanguageTest, TranslatesIntoEachLanguageWithQuotedFields) {
  WriteFile(
      "PRESENTADOR,PRESENTADOR GLG,PRESENTADOR OCI,PRESENTADOR ESP\r\n"
      "\"TOTAL, IVA\",\"TOTAL, IVE\",\"TOTAU, IVA\",\"TOTAL, IVA ESP\"\r\n"
      "BIMESTRAL\r\nBIMESTRAL GLG\r\n\r\nBIMESTRAL ES\r\n");  // one field a line
  EXPECT_EQ(In("SPA", "PRESENTADOR"), "PRESENTADOR ESP");
  EXPECT_EQ(In("GLG", "TOTAL, IVA"), "TOTAL, IVE");
  EXPECT_EQ(In("OCI", "TOTAL, IVA"), "TOTAU, IVA");
  EXPECT_EQ(In("GLG", "BIMESTRAL"), "BIMESTRAL GLG");
  EXPECT_EQ(In("OCI", "BIMESTRAL"), "");  // an empty translation is taken as it is
  EXPECT_EQ(In("SPA", "BIMESTRAL"), "BIMESTRAL ES");
  EXPECT_EQ(In("SPA", "SEMESTRAL"), "SEMESTRAL");
}

TEST_F(LanguageTest, CatalanTouchesNoFile) {
  EXPECT_EQ(In("CAT", "TRIMESTRAL"), "TRIMESTRAL");
  EXPECT_FALSE(platform::FileExists(Prefix("LOCALE") + "QANTIRES.LNG"));
}

TEST_F(LanguageTest, UnknownLanguageCreatesTheFileAndKeepsCatalan) {
  dir_.Write("LOCALE/keep", "");
  EXPECT_EQ(In("ENG", "TRIMESTRAL"), "TRIMESTRAL");
  EXPECT_TRUE(platform::FileExists(Prefix("LOCALE") + "QANTIRES.LNG"));
  WriteFile("TRIMESTRAL,a,b,c\r\n");
  EXPECT_EQ(In("   ", "TRIMESTRAL"), "TRIMESTRAL");
  EXPECT_EQ(In("spa", "TRIMESTRAL"), "TRIMESTRAL");
}

TEST_F(LanguageTest, MissingLocaleFolderGivesCatalanBack) {
  EXPECT_EQ(In("SPA", "SEMESTRAL"), "SEMESTRAL");
}

TEST_F(LanguageTest, KeysMatchExactlyAndTheFirstEntryWins) {
  WriteFile("Anual,g,o,first\r\nANUAL ,g,o,space\r\nANUAL,g,o,upper\r\nANUAL,g,o,second\r\n");
  EXPECT_EQ(In("SPA", "ANUAL"), "upper");
  EXPECT_EQ(In("SPA", "ANUAL "), "space");
  EXPECT_EQ(In("SPA", "anual"), "anual");
}

TEST_F(LanguageTest, FileNameIsKeptFromTheFirstLookup) {
  WriteFile("A,g,o,s\r\n");
  EXPECT_EQ(In("SPA", "A"), "s");
  Program().ProgramName = "OTHER";
  EXPECT_EQ(In("SPA", "A"), "s");
}

// The parsed file is kept between lookups; every kind of change to the file
// must still reach the very next lookup, without waiting for the clock.
TEST_F(LanguageTest, AChangedFileIsSeenByTheNextLookup) {
  namespace fs = std::filesystem;
  const fs::path file = dir_.Sub("LOCALE/QANTIRES.LNG");
  WriteFile("A,g,o,one\r\n");
  const auto written = fs::last_write_time(file);
  EXPECT_EQ(In("SPA", "A"), "one");
  WriteFile("A,g,o,three\r\n");  // another size
  EXPECT_EQ(In("SPA", "A"), "three");
  WriteFile("A,g,o,four!\r\n");  // same size, another modification time
  fs::last_write_time(file, written + std::chrono::seconds(5));
  EXPECT_EQ(In("SPA", "A"), "four!");
  dir_.Write("LOCALE/new.LNG", "A,g,o,five!\r\n");  // replaced: same size and time
  fs::last_write_time(dir_.Sub("LOCALE/new.LNG"), written + std::chrono::seconds(5));
  fs::rename(dir_.Sub("LOCALE/new.LNG"), file);
  EXPECT_EQ(In("SPA", "A"), "five!");
  fs::remove(file);  // removed: created again, empty
  EXPECT_EQ(In("SPA", "A"), "A");
  EXPECT_TRUE(fs::exists(file));
}

// Within a cycle the file is checked once: a change shows at the next cycle.
TEST_F(LanguageTest, AFileChangedDuringACycleIsSeenAtTheNextCycle) {
  WriteFile("A,g,o,one\r\n");
  {
    LanguageCycle cycle;
    EXPECT_EQ(In("SPA", "A"), "one");
    WriteFile("A,g,o,three\r\n");
    EXPECT_EQ(In("SPA", "A"), "one");
  }
  {
    LanguageCycle cycle;
    EXPECT_EQ(In("SPA", "A"), "three");
  }
  WriteFile("A,g,o,four!\r\n");
  EXPECT_EQ(In("SPA", "A"), "four!");  // outside a cycle, every lookup checks
}

std::string Find(std::string_view contents, std::string_view key, int column) {
  LanguageEntry entry;
  if (!FindLanguageEntry(contents, key, &entry)) return "<none>";
  return entry.translations[column];
}

TEST(LanguageFileTest, FieldSyntax) {
  // Unquoted commas split the field and shift the rest.
  EXPECT_EQ(Find("K,a,b,c, d\r\n", "K", 2), "c");
  EXPECT_EQ(Find("K,a,b,c, d\r\n", " d", 0), "<none>");  // " d" is a last key
  // Bare line feeds end lines too; tabs vanish from unquoted fields.
  EXPECT_EQ(Find("K\na\nb\nc\t x \n", "K", 2), "c x ");
  // Text after a closing quote is dropped; an unterminated quote runs to the end.
  EXPECT_EQ(Find("K,\"a\"junk,b,\"c", "K", 0), "a");
  EXPECT_EQ(Find("K,\"a\"junk,b,\"c", "K", 2), "c");
  // Ctrl-Z ends the file, so a key before it without translations is not found.
  EXPECT_EQ(Find("K,a,b,c\r\nL\x1A,x,y,z\r\n", "L", 0), "<none>");
  EXPECT_EQ(Find("K,a,b,c\r\nL", "L", 0), "<none>");
  EXPECT_EQ(Find("", "", 0), "<none>");
}

}  // namespace
}  // namespace config
