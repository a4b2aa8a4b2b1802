#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "outputs.h"
#include "spool_layout.h"

namespace kelprint {
namespace {

using testing_support::TempDir;

TEST(KelprintLayout, TextsSitByColumnAndJustification) {
  Document doc = LayOutSpool(
      "DEVICELPT1\r\nPAGE 66 \r\n*@e\r\nJUSE\r\n 3 ,abc, 0 \r\n 0 ,de, 0 \r\nJUSD\r\n"
      " 10 ,xyz, 1 \r\nJUSC\r\n 5 ,mid, 2 \r\n");
  EXPECT_EQ(doc.device, "LPT1");
  ASSERT_EQ(doc.pages.size(), 1u);
  const Page& p = doc.pages[0];
  EXPECT_EQ(p.length, 66);
  ASSERT_EQ(p.lines.size(), 2u);
  EXPECT_EQ(p.lines[0], "  abcde  xyz");
  EXPECT_EQ(p.lines[1], "   mid");
  EXPECT_EQ(doc.badRecords, 0);
}

TEST(KelprintLayout, FillPatternRunsToItsColumnAndLaterTextsOverwriteIt) {
  Document doc = LayOutSpool(
      "DEVICE\r\nPAGE 24 \r\nJUSN 10 \\.\\\r\n 1 ,|NUM , 0 \r\n 0 ,: 7, 0 \r\nJUSE\r\n"
      " 15 ,|, 1 \r\nJUSN 8 \\ .\\\r\n 0 ,, 1 \r\n");
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_EQ(doc.pages[0].lines[0], "|NUM .....: 7 |");
  EXPECT_EQ(doc.pages[0].lines[1], " . . . .");
}

TEST(KelprintLayout, FillAppliesToTheNextTextOnly) {
  Document doc = LayOutSpool(
      "DEVICE\r\nPAGE 24 \r\nJUSN 30 \\.\\\r\n 1 ,a, 1 \r\n 1 ,b, 1 \r\n");
  ASSERT_EQ(doc.pages[0].lines.size(), 2u);
  EXPECT_EQ(doc.pages[0].lines[0], "a" + std::string(29, '.'));
  EXPECT_EQ(doc.pages[0].lines[1], "b");
}

TEST(KelprintLayout, EveryPageRecordStartsAPageAndCommasInTextsSurvive) {
  Document doc = LayOutSpool("DEVICE\nPAGE 24 \n 1 ,1,234.56, 1 \nPAGE 24 \n 2 ,b, 1 \n");
  ASSERT_EQ(doc.pages.size(), 2u);
  EXPECT_EQ(doc.pages[0].lines[0], "1,234.56");
  EXPECT_EQ(doc.pages[1].lines[0], " b");
}

TEST(KelprintLayout, DamagedRecordsAreCountedNotFatal) {
  Document doc = LayOutSpool("DEVICE\r\nPAGE 24 \r\ngarbage\r\n 99999999 ,far, -99999999 \r\n");
  EXPECT_EQ(doc.badRecords, 1);
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_LE(DocumentColumns(doc), 1000);
}

TEST(KelprintOutput, TextAndPdfFilesAreWritten) {
  TempDir dir;
  Document doc = LayOutSpool("DEVICE\r\nPAGE 24 \r\n 1 ,MAR\x80 \xDA\xC4\xBF, 1 \r\nPAGE 24 \r\n 1 ,b, 1 \r\n");
  std::string error;
  ASSERT_TRUE(WriteText(doc, dir.Sub("out.txt"), &error)) << error;
  EXPECT_EQ(dir.Read("out.txt"), "MAR\xC3\x87 \xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90\n\f\nb\n");
  ASSERT_TRUE(WritePdf(doc, dir.Sub("out.pdf"), &error)) << error;
  EXPECT_EQ(dir.Read("out.pdf").substr(0, 5), "%PDF-");
  EXPECT_FALSE(WritePdf(doc, dir.Sub("no/such/folder/out.pdf"), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kelprint
