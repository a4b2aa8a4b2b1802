#include "office/screen_form.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "config/program_identity.h"
#include "config/session_settings.h"
#include "demo_files.h"
#include "format/packed.h"
#include "platform/clock.h"
#include "platform/program_state.h"

namespace office {
namespace {

using testing_support::TempDir;

class ScreenFormTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  void Reset() {
    platform::ResetProgramState();
    config::Program().ProgramName = "QANTIRES";
    config::Settings().SessionLanguage = "CAT";
  }
  TempDir dir_;
};

TEST_F(ScreenFormTest, DemoFormGivesTheSelectionAndConfirmationScreens) {
  ReadScreenFormText(demo::SelectionForm());
  ASSERT_EQ(ScreenForms().screens.size(), 2u);
  EXPECT_EQ(ScreenForms().largestFieldCount, 29);
  EXPECT_EQ(ScreenAt(1)->fields.size(), 29u);
  EXPECT_EQ(ScreenAt(1)->window[0], 0);
  const ScreenField* date = FieldAt(1, 1);
  EXPECT_EQ(date->type, 1);
  EXPECT_EQ(date->length, 10);
  EXPECT_EQ(date->label, "Data d'emissi\xA2 dels rebuts : ");
  EXPECT_EQ(date->value, std::string(10, ' '));
  EXPECT_EQ(FieldAt(1, 3)->browseList, 2);
  EXPECT_EQ(FieldAt(1, 7)->type, 4);
  EXPECT_EQ(ScreenAt(2)->window[3], 65);
  ASSERT_EQ(ScreenForms().browse.size(), 5u);
  EXPECT_EQ(ScreenForms().browse[1].fileId, 506);
  EXPECT_EQ(ScreenForms().browse[4].fileId, 502);
  EXPECT_EQ(ScreenForms().browse[2].title.substr(0, 7), "Dep._Ll");
}

TEST_F(ScreenFormTest, CommentBetweenGroupsIsSkippedButInsideAGroupIsData) {
  ReadScreenFormText(
      "'header\r\n1,2\r\n'screen one\r\n\"3b00\",2,0\r\n0,0,0,0\r\n"
      "1,1,\"A\",2,0,0,0,0,0,\"pa\"\r\n'x\r\n2,1,\"B\",1,0,0,0,0,0,\"pb\"\r\n"
      "' lists\r\n0\r\n");
  ASSERT_EQ(ScreenForms().screens.size(), 1u);
  const Screen& s = *ScreenAt(1);
  EXPECT_EQ(s.keyList, "3b00");
  ASSERT_EQ(s.fields.size(), 2u);
  // The comment inside the screen group is read as field 2's row (not a number: 0).
  EXPECT_EQ(s.fields[1].row, 0);
  EXPECT_EQ(s.fields[1].column, 2);
}

TEST_F(ScreenFormTest, NoScreensStillReadsTheBrowseLists) {
  ReadScreenFormText("0,0\n1\n507,0,4,4,20,76,0,\"_Units_\",0\n");
  EXPECT_TRUE(ScreenForms().screens.empty());
  ASSERT_EQ(ScreenForms().browse.size(), 2u);
  EXPECT_EQ(ScreenForms().browse[1].fileId, 507);
  EXPECT_EQ(ScreenForms().browse[1].right, 76);
}

TEST_F(ScreenFormTest, TruncatedFileLeavesTheRestEmpty) {
  std::string form = demo::SelectionForm();
  ReadScreenFormText(form.substr(0, form.find("' screen 2")));
  ASSERT_EQ(ScreenForms().screens.size(), 2u);
  EXPECT_EQ(ScreenAt(1)->fields.size(), 29u);
  EXPECT_TRUE(ScreenAt(2)->fields.empty());
  EXPECT_TRUE(ScreenForms().browse.empty());
}

TEST_F(ScreenFormTest, AbsurdCountsAndLengthsAreBounded) {
  ReadScreenFormText("99999,99999\n\"\",99999,0\n0,0,0,0\n1,1,\"L\",99999,0,0,0,0,0,\"\"\n");
  EXPECT_LE(ScreenForms().screens.size(), 999u);
  ASSERT_NE(FieldAt(1, 1), nullptr);
  EXPECT_LE(FieldAt(1, 1)->value.size(), 2000u);
  EXPECT_EQ(FieldAt(1, 2), nullptr);
}

TEST_F(ScreenFormTest, MissingFileIsReported) {
  EXPECT_FALSE(ReadScreenForm(dir_.Sub("FORMS/QANTIRES.QFM")));
}

TEST_F(ScreenFormTest, LabelsPromptsAndTitlesAreTranslated) {
  config::Settings().RootDir = dir_.path() + "\\";
  config::Settings().SessionLanguage = "SPA";
  dir_.Write("LOCALE/QANTIRES.LNG", demo::LanguageFile());
  ReadScreenFormText(demo::SelectionForm());
  EXPECT_EQ(FieldAt(1, 1)->label, "Fecha de emisi\xA2n recibos ..: ");
  EXPECT_EQ(FieldAt(1, 1)->prompt, "Fecha que llevan los recibos");
  EXPECT_EQ(ScreenForms().browse[4].title, "_Remesas_");
}

TEST_F(ScreenFormTest, PresetsFillTheSelectionFromTheWorkingDate) {
  ReadScreenFormText(demo::SelectionForm());
  platform::FixToday({2026, 12, 8, 10, 0, 0});
  config::Settings().WorkingDate = format::PackDigits("19990305");
  PresetSelection();
  EXPECT_EQ(FieldAt(1, 1)->value, "050399    ");  // within 50 years: two-digit year
  config::Settings().WorkingDate = format::PackDigits("19600305");
  PresetSelection();
  EXPECT_EQ(FieldAt(1, 1)->value, "05031960  ");
  EXPECT_EQ(FieldAt(1, 2)->value, "1  ");
  EXPECT_EQ(FieldAt(1, 5)->value, "999");
  EXPECT_EQ(FieldAt(1, 6)->value, "3 ");
  EXPECT_EQ(FieldAt(1, 8)->value, "  ");
  EXPECT_EQ(FieldAt(1, 12)->value, "99");
  EXPECT_EQ(FieldAt(1, 13)->value, "S");
  EXPECT_EQ(FieldAt(1, 29)->value, "S");
  EXPECT_EQ(FieldAt(1, 14)->length, 2);
}

TEST_F(ScreenFormTest, VariantOneWidensTheCollectionCodes) {
  ReadScreenFormText(demo::SelectionForm());
  config::Program().CustomerVariant = 1;
  PresetSelection();
  for (int field : {8, 11, 14}) {
    EXPECT_EQ(FieldAt(1, field)->length, 3);
    EXPECT_EQ(FieldAt(1, field)->value, "   ");
  }
  EXPECT_EQ(FieldAt(1, 9)->value, "999");
  EXPECT_EQ(FieldAt(1, 9)->column, 18);
  EXPECT_EQ(FieldAt(1, 15)->column, 71);
}

TEST_F(ScreenFormTest, EmptyWorkingDateLeavesDateAndPeriodBlank) {
  ReadScreenFormText(demo::SelectionForm());
  PresetSelection();
  EXPECT_EQ(FieldAt(1, 1)->value, std::string(10, ' '));
  EXPECT_EQ(FieldAt(1, 6)->value, "  ");
}

}  // namespace
}  // namespace office
