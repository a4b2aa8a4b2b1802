#include "office/selection.h"

#include <gtest/gtest.h>

#include "config/program_identity.h"
#include "config/session_settings.h"
#include "demo_files.h"
#include "format/packed.h"
#include "office/screen_form.h"
#include "platform/clock.h"
#include "platform/program_state.h"

namespace office {
namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    platform::FixToday({2026, 12, 8, 10, 0, 0});
    config::Settings().SessionLanguage = "CAT";
    ReadScreenFormText(demo::SelectionForm());
    config::Settings().WorkingDate = format::PackDigits("20261208");
    PresetSelection();
  }
  void TearDown() override { platform::ResetProgramState(); }
  void Set(int field, const std::string& value) { FieldAt(1, field)->value = value; }
};

TEST_F(SelectionTest, PresetsSelectEverything) {
  Selection s = SelectionFromScreen();
  EXPECT_EQ(s.issueDate, format::PackDigits("20261208"));
  EXPECT_EQ(s.unitLow, format::PackDigits("00010000"));
  EXPECT_EQ(s.unitHigh, format::PackDigits("09990999"));
  EXPECT_EQ(s.period, format::PackDigits("12"));
  EXPECT_EQ(s.codeLow[0], "A" + format::PackDigits("0000"));
  EXPECT_EQ(s.codeHigh[2], "F" + format::PackDigits("0099"));
  EXPECT_TRUE(s.formOn[1]);
  EXPECT_TRUE(s.conceptOn[13]);
  EXPECT_EQ(SelectionProblem(s), "");
}

TEST_F(SelectionTest, TypedValuesBecomePackedBounds) {
  Set(2, "12 ");
  Set(3, "3  ");
  Set(6, "7 ");
  Set(11, "5 ");
  Set(12, "7 ");
  Set(10, "N");
  Set(17, "N");
  Selection s = SelectionFromScreen();
  EXPECT_EQ(s.unitLow, format::PackDigits("00120003"));
  EXPECT_EQ(s.period, format::PackDigits("07"));
  EXPECT_EQ(s.codeLow[1], "B" + format::PackDigits("0005"));
  EXPECT_EQ(s.codeHigh[1], "B" + format::PackDigits("0007"));
  EXPECT_FALSE(s.formOn[1]);
  EXPECT_FALSE(s.conceptOn[1]);
  EXPECT_TRUE(s.conceptOn[0]);
}

TEST_F(SelectionTest, ShortOrMissingCodeFieldsReadAsZero) {
  FieldAt(1, 8)->value = "7";
  FieldAt(1, 9)->value = "";
  Selection s = SelectionFromScreen();
  EXPECT_EQ(s.codeLow[0], "A" + format::PackDigits("0007"));
  EXPECT_EQ(s.codeHigh[0], "A" + format::PackDigits("0000"));
  ScreenForms() = ScreenFormState{};  // no screen at all
  s = SelectionFromScreen();
  EXPECT_EQ(s.codeLow[2], "F" + format::PackDigits("0000"));
  EXPECT_FALSE(s.formOn[0]);
}

TEST_F(SelectionTest, IncompleteSelectionsAreRefused) {
  Set(2, "20 ");
  Set(4, "10 ");
  EXPECT_NE(SelectionProblem(SelectionFromScreen()), "");
  Set(4, "999");
  for (int f = 16; f <= 29; ++f) Set(f, "N");
  EXPECT_NE(SelectionProblem(SelectionFromScreen()), "");
  Set(29, "S");
  for (int f : {7, 10, 13}) Set(f, "N");
  EXPECT_NE(SelectionProblem(SelectionFromScreen()), "");
  Set(13, "S");
  EXPECT_EQ(SelectionProblem(SelectionFromScreen()), "");
  // Collection codes 9 to 1: refused for a form that is on, not for one off.
  Set(14, "9 ");
  Set(15, "1 ");
  EXPECT_EQ(SelectionProblem(SelectionFromScreen()),
            "EL PRIMER CODI DE COBRAMENT \x90S POSTERIOR A L'\xE9LTIM");
  Set(10, "S");
  Set(13, "N");
  EXPECT_EQ(SelectionProblem(SelectionFromScreen()), "");
}

TEST_F(SelectionTest, IssueDateThatIsNoCalendarDateIsRefused) {
  // Presets from a terminal file whose working date is no day of the calendar.
  for (const char* working : {"20260230", "99999999", "20261300"}) {
    config::Settings().WorkingDate = format::PackDigits(working);
    PresetSelection();
    EXPECT_EQ(SelectionProblem(SelectionFromScreen()), "DATA D'EMISSI\xE0 NO V\xB7LIDA") << working;
  }
  config::Settings().WorkingDate.clear();  // no terminal file
  PresetSelection();
  EXPECT_EQ(SelectionProblem(SelectionFromScreen()), "CAP DATA D'EMISSI\xE0");
  Set(1, "29/2/2028");
  EXPECT_EQ(SelectionProblem(SelectionFromScreen()), "");
}

}  // namespace
}  // namespace office
