#include "config/ini.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "platform/program_state.h"

namespace config {
namespace {

using testing_support::TempDir;

class IniReadTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ResetProgramState(); }
  void TearDown() override { platform::ResetProgramState(); }
  std::string Read(const std::string& contents, const char* section, const char* key) {
    dir_.Write("Tora.ini", contents);
    return IniRead(dir_.path() + "\\Tora.ini", section, key);
  }
  TempDir dir_;
};

TEST_F(IniReadTest, HeaderWithSpacesAndLowerCaseMatches) {
  EXPECT_EQ(Read("  [ usuari ]\r\nIdioma=SPA\r\n", "Usuari", "idioma"), "SPA");
}

TEST_F(IniReadTest, ValueKeepsItsSpacesUpToTheComment) {
  EXPECT_EQ(Read("[A]\r\nK = v  ; note\r\n", "A", "K"), " v  ");
}

TEST_F(IniReadTest, QuotesAreRemovedOnlyWhenTheyEncloseTheValue) {
  EXPECT_EQ(Read("[A]\r\nK=\"x y\"\r\n", "A", "K"), "x y");
  EXPECT_EQ(Read("[A]\r\nK= \"x\"\r\n", "A", "K"), " \"x\"");
  EXPECT_EQ(Read("[A]\r\nK=\"\r\n", "A", "K"), "\"");
  EXPECT_EQ(Read("[A]\r\nK=\"a;b\"\r\n", "A", "K"), "\"a");  // ";" always starts a comment
}

TEST_F(IniReadTest, FirstEntryAndFirstSectionWin) {
  EXPECT_EQ(Read("[A]\r\nK=1\r\nK=2\r\n", "A", "K"), "1");
  EXPECT_EQ(Read("[A]\r\nX=1\r\n[B]\r\n[A]\r\nK=2\r\n", "A", "K"), "");
}

TEST_F(IniReadTest, EntryBeforeAnySectionIsNeverFound) {
  EXPECT_EQ(Read("K=1\r\n[A]\r\n", "A", "K"), "");
}

TEST_F(IniReadTest, HeaderWithoutClosingBracketNamesTheRestOfTheLine) {
  EXPECT_EQ(Read("[Rebut\r\nAntic=N\r\n", "Rebut", "Antic"), "N");
}

TEST_F(IniReadTest, TabBeforeBracketIsNotAHeader) {
  EXPECT_EQ(Read("\t[A]\r\nK=1\r\n", "A", "K"), "");
}

TEST_F(IniReadTest, MissingFileSectionKeyAndEmptyValueAllGiveEmptyText) {
  EXPECT_EQ(IniRead(dir_.path() + "\\none.ini", "A", "K"), "");
  EXPECT_EQ(Read("[A]\r\nK=1\r\n", "B", "K"), "");
  EXPECT_EQ(Read("[A]\r\nK=1\r\n", "A", "J"), "");
  EXPECT_EQ(Read("[A]\r\nK=\r\n", "A", "K"), "");
}

TEST_F(IniReadTest, LinuxAndOldMacLineEndsReadAlike) {
  EXPECT_EQ(Read("[A]\nX=0\nK=lf\n", "A", "K"), "lf");
  EXPECT_EQ(Read("[A]\rK=cr\r", "A", "K"), "cr");
}

TEST_F(IniReadTest, CtrlZEndsTheFile) {
  EXPECT_EQ(Read("[A]\r\n\x1AK=1\r\n", "A", "K"), "");
}

TEST_F(IniReadTest, DamagedFilesGiveTheEmptyTextOrTheRightValue) {
  EXPECT_EQ(Read(std::string("[A]\r\nX=\0\0\r\nK=v\0w\r\n", 18), "A", "K"), std::string("v\0w", 3));
  EXPECT_EQ(Read("[A]\r\nK=last line without its end", "A", "K"), "last line without its end");
  EXPECT_EQ(Read("[A]\r\nJ=" + std::string(1 << 20, 'x') + "\r\nK=after\r\n", "A", "K"), "after");
  const std::string longValue(1 << 20, 'v');
  EXPECT_EQ(Read("[" + std::string(1 << 20, 'A') + "]\r\n" + std::string(1 << 20, ' ') + "\r[A]\r" +
                     std::string(1 << 20, 'K') + "=no\rK=" + longValue + "\r",
                 "A", "K"),
            longValue);
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_EQ(Read(garbage, "A", "K"), "");
  dir_.Write("folder/inside", "");
  EXPECT_EQ(IniRead(dir_.path() + "\\folder", "A", "K"), "");  // a directory, not a file
}

TEST_F(IniReadTest, LineWithoutEqualsInsideSectionIsSkipped) {
  EXPECT_EQ(Read("[A]\r\njust words\r\nK=1\r\n", "A", "K"), "1");
}

TEST_F(IniReadTest, Utf8FileIsReadInCodePage850AndAnyOtherFileByteForByte) {
  EXPECT_EQ(Read("[Empresa]\nLinia1=GESTI\xC3\x93 FINQUES PERI\xC3\x87\n", "Empresa", "Linia1"),
            "GESTI\xE0 FINQUES PERI\x80");
  EXPECT_EQ(Read("[Secci\xC3\xB3]\r\nT\xC3\xADtol=1\r\n", "secci\xA2", "t\xA1tol"), "1");
  EXPECT_EQ(Read("\xEF\xBB\xBF[A]\r\nK=\xC3\xA0\r\n", "A", "K"), "\x85");  // byte order mark
  // Code page 850 bytes that are no UTF-8; what follows a Ctrl-Z does not count.
  EXPECT_EQ(Read("[A]\r\nK=MAR\x80\r\n", "A", "K"), "MAR\x80");
  EXPECT_EQ(Read("[A]\r\nK=\xC3\x87\r\n\x1A\x80", "A", "K"), "\x80");
  // Paths go to the file system as written.
  dir_.Write("Tora.ini", "[Remesa]\nFitxer=/home/jos\xC3\xA9/r.xml\n");
  EXPECT_EQ(IniReadRaw(dir_.path() + "/Tora.ini", "Remesa", "Fitxer"), "/home/jos\xC3\xA9/r.xml");
  EXPECT_TRUE(TakeUnwritableSettings().empty());
}

TEST_F(IniReadTest, ACharacterCodePage850LacksIsLeftOutAndNotedOncePerKey) {
  const std::string file = "[A]\nK=10 \xE2\x82\xAC\nJ=\xE2\x89\xA0\xC3\xA7\n";
  EXPECT_EQ(Read(file, "A", "K"), "10 ");
  EXPECT_EQ(Read(file, "A", "K"), "10 ");
  EXPECT_EQ(Read(file, "A", "J"), "\x87");
  const std::vector<UnwritableSetting> noted = TakeUnwritableSettings();
  ASSERT_EQ(noted.size(), 2u);
  EXPECT_EQ(noted[0].file, dir_.path() + "\\Tora.ini");
  EXPECT_EQ(noted[0].section + " " + noted[0].key + " " + noted[1].key, "A K J");
  Read(file, "A", "K");
  EXPECT_TRUE(TakeUnwritableSettings().empty());
}

}  // namespace
}  // namespace config
