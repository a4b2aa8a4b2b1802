#include "print/spool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../support/file_size_limit.h"
#include "../support/temp_dir.h"
#include "config/session_settings.h"
#include "platform/program_state.h"

namespace print {
namespace {

using testing_support::TempDir;

class SpoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    config::Settings().SessionDir = dir_.path() + "\\";
  }
  void TearDown() override { platform::ResetProgramState(); }
  // The spool's records before its end record.
  std::string Written() {
    EXPECT_TRUE(CloseSpool());
    std::string spool = dir_.Read("kelprint.tmp");
    const std::string end = std::string(kSpoolEndRecord) + "\r\n";
    EXPECT_TRUE(spool.ends_with(end)) << spool;
    if (spool.ends_with(end)) spool.resize(spool.size() - end.size());
    return spool;
  }
  TempDir dir_;
};

TEST_F(SpoolTest, FirstLineIsDeviceDirectlyFollowedByTheDeviceText) {
  ASSERT_TRUE(OpenSpool("LPT1"));
  EXPECT_EQ(Written(), "DEVICELPT1\r\n");
  ASSERT_TRUE(OpenSpool(""));
  EXPECT_EQ(Written(), "DEVICE\r\n");  // created anew, not appended
}

// A session folder may be shared: a link left under the spool's name is
// replaced by the spool, and the file it pointed to keeps its bytes.
TEST_F(SpoolTest, ALinkUnderTheSpoolsNameIsReplacedNotWrittenThrough) {
  dir_.Write("DADES/Unitats.dat", "records");
  ASSERT_EQ(::symlink(dir_.Sub("DADES/Unitats.dat").c_str(), dir_.Sub("kelprint.tmp").c_str()), 0);
  ASSERT_TRUE(OpenSpool("LPT1"));
  EXPECT_EQ(Written(), "DEVICELPT1\r\n");
  EXPECT_EQ(dir_.Read("DADES/Unitats.dat"), "records");
}

TEST_F(SpoolTest, NumbersHaveASignPositionAndATrailingSpace) {
  EXPECT_EQ(SpoolNumber(66), " 66 ");
  EXPECT_EQ(SpoolNumber(0), " 0 ");
  EXPECT_EQ(SpoolNumber(-3), "-3 ");
}

TEST_F(SpoolTest, ControlBytesBecomeSpacesInTheRecordOnly) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolPage(24);
  std::string text =
      "a\tb\rc\xFF"
      "d\x7F";
  SpoolText(5, text, 1);
  EXPECT_EQ(text,
            "a\tb\rc\xFF"
            "d\x7F");
  EXPECT_EQ(Written(), "DEVICEX\r\nPAGE 24 \r\n 5 ,a b c d , 1 \r\n");
}

TEST_F(SpoolTest, EveryRecordStaysOneLineWhateverItsText) {
  ASSERT_TRUE(OpenSpool("LPT1\r\nPAGE 1 "));
  SpoolControl("@e\n");
  std::string fill = "N 5 \\\r\\";
  SpoolJustify(fill);
  EXPECT_EQ(Written(), "DEVICELPT1  PAGE 1 \r\n*@e \r\nJUSN 5 \\ \\\r\n");
}

TEST_F(SpoolTest, ControlAndDeviceRecordsKeepEveryByteButCrAndLf) {
  // Printer commands are made of control bytes (ESC, SI, DC2...).
  const std::string device =
      "LPT1\x1B"
      "E\xFF";
  const std::string command =
      "\x1B"
      "E\x0F\x12\x7F\t\xFF\r\n";
  ASSERT_TRUE(OpenSpool(device));
  SpoolControl(command);
  EXPECT_EQ(Written(), "DEVICE" + device + "\r\n*" + command.substr(0, 7) + "  \r\n");
}

// The code's text keeps its commas and only printable ASCII; the note is a
// text like any other; neither moves the current line or column.
TEST_F(SpoolTest, AQrCodeRecordKeepsItsTextWholeAndMovesNothing) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolPage(24);
  SpoolText(3, "ab", 0);
  SpoolQrCode(97, 1, 35, 0, "https://q?a=1,2\r\n\xB3", "TOTAL 1,5\t");
  SpoolQrCode(1, -2, 30, 16, "u", "");
  EXPECT_EQ(Spool().linesUsed, 0);
  EXPECT_EQ(Spool().currentColumn, 5);
  EXPECT_EQ(Written(),
            "DEVICEX\r\nPAGE 24 \r\n 3 ,ab, 0 \r\nQR 97 , 1 , 35 , 0 ,https://q?a=1,2   \r\n"
            "QRNOTETOTAL 1,5 \r\nQR 1 ,-2 , 30 , 16 ,u\r\n");
}

TEST_F(SpoolTest, RecordsGoToTheSpoolTheyWereWrittenFor) {
  ASSERT_TRUE(OpenSpool("A"));
  SpoolText(1, "first printout", 1);
  ASSERT_TRUE(OpenSpool("B"));  // the earlier spool was never closed
  SpoolText(1, "second", 1);
  EXPECT_EQ(Written(), "DEVICEB\r\nPAGE 0 \r\n 1 ,second, 1 \r\n");
}

TEST_F(SpoolTest, ManyMegabytesOfRecordsArriveWholeAndInOrder) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolPage(30000);
  std::string expected = "DEVICEX\r\nPAGE 30000 \r\n";
  const std::string text(100, 'x');
  for (int i = 0; i < 30000; ++i) {
    SpoolText(i, text, 1);
    expected += SpoolNumber(i) + "," + text + "," + SpoolNumber(1) + "\r\n";
  }
  const std::string longer(3 << 20, 'y');  // a record longer than any block
  SpoolText(-2147483647 - 1, longer, 1);
  expected += "PAGE 30000 \r\n-2147483648 ," + longer + ", 1 \r\n";
  EXPECT_EQ(Written(), expected);
}

TEST_F(SpoolTest, FullPageStartsANewPageWithTheSameLength) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolPage(66);
  Spool().linesUsed = 66;
  SpoolText(1, "t", 1);
  EXPECT_EQ(Written(), "DEVICEX\r\nPAGE 66 \r\nPAGE 66 \r\n 1 ,t, 1 \r\n");
  EXPECT_EQ(Spool().linesUsed, 1);
}

TEST_F(SpoolTest, TextWithoutAnyPageRecordGetsAPageOfLengthZeroFirst) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolText(0, "t", 0);
  EXPECT_EQ(Written(), "DEVICEX\r\nPAGE 0 \r\n 0 ,t, 0 \r\n");
}

TEST_F(SpoolTest, CurrentColumnFollowsTextsUntilALineAdvance) {
  ASSERT_TRUE(OpenSpool("X"));
  SpoolPage(24);
  SpoolText(12, "abc", 0);
  EXPECT_EQ(Spool().currentColumn, 15);
  SpoolText(0, "de", 0);
  EXPECT_EQ(Spool().currentColumn, 17);
  SpoolText(0, "f", 1);
  EXPECT_EQ(Spool().currentColumn, 0);
  SpoolText(0, "", -3);  // pre-printed rows out of order go back up
  EXPECT_EQ(Spool().linesUsed, -2);
  EXPECT_TRUE(CloseSpool());
}

TEST_F(SpoolTest, JustificationTextsNormaliseToTheirCodes) {
  struct Case {
    const char* given;
    const char* code;
  } cases[] = {
      {"  r", "D"},
      {"R", "D"},
      {"d", "D"},
      {"Dreta", "D"},
      {"c", "C"},
      {"a", "A"},
      {"B", "A"},
      {"x", "E"},
      {"", "E"},
      {"   ", "E"},
      {"N 15 \\.\\", "N 15 \\.\\"},
      {"n-84 \\ .\\ tail", "N 84 \\ .\\"},
      {"N", "N 0 "},
      {"N 95 \\. ", "N 95 \\."},
  };
  ASSERT_TRUE(OpenSpool("X"));
  std::string expected = "DEVICEX\r\n";
  for (const Case& c : cases) {
    std::string text = c.given;
    SpoolJustify(text);
    EXPECT_EQ(text, c.code) << "given \"" << c.given << "\"";
    expected += std::string("JUS") + c.code + "\r\n";
  }
  SpoolControl("@e");
  expected += "*@e\r\n";
  EXPECT_EQ(Written(), expected);
}

TEST_F(SpoolTest, UncreatableSpoolIsReportedAndNothingIsWritten) {
  config::Settings().SessionDir = dir_.path() + "\\missing\\folder\\";
  EXPECT_FALSE(OpenSpool("X"));
  SpoolPage(24);
  SpoolText(1, "lost", 1);
  EXPECT_FALSE(CloseSpool());
}

// A spool that cannot be written whole never takes the spool's name: the
// one there before stays, and no piece of the new one is left beside it.
TEST_F(SpoolTest, ASpoolCutByAFullDiskLeavesTheEarlierSpoolAndNoPiece) {
  dir_.Write("kelprint.tmp", "earlier spool");
  ASSERT_TRUE(OpenSpool("X"));
  {
    testing_support::FileSizeLimit full(4096);
    for (int i = 0; i < 2000; ++i) SpoolText(1, "a receipt line that fills the disk", 1);
    EXPECT_FALSE(CloseSpool());
  }
  EXPECT_EQ(dir_.Read("kelprint.tmp"), "earlier spool");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(SpoolTest, AnAbandonedSpoolLeavesTheEarlierOneAndNoPiece) {
  dir_.Write("kelprint.tmp", "earlier spool");
  ASSERT_TRUE(OpenSpool("X"));
  SpoolText(1, "not to be printed", 1);
  AbandonSpool();
  EXPECT_FALSE(CloseSpool());
  EXPECT_EQ(dir_.Read("kelprint.tmp"), "earlier spool");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(SpoolTest, TheSpoolTakesItsNameOnlyWhenClosed) {
  dir_.Write("kelprint.tmp", "earlier spool");
  ASSERT_TRUE(OpenSpool("X"));
  SpoolText(1, "new", 1);
  EXPECT_EQ(dir_.Read("kelprint.tmp"), "earlier spool");
  EXPECT_EQ(Written(), "DEVICEX\r\nPAGE 0 \r\n 1 ,new, 1 \r\n");
}

}  // namespace
}  // namespace print
