// Names in code page 850 reduced to the SEPA character set.
#include "remittance/sepa_text.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"

namespace remittance {
namespace {

// Names are written here in UTF-8 and stored in code page 850.
std::string Cp(const char* utf8) {
  return platform::Utf8ToCp850(utf8);
}

TEST(SepaText, AccentsCedillaAndEnyeLoseTheirMarks) {
  EXPECT_EQ(SepaText(Cp("Çanovas Núñez, Iñaki"), 70), "Canovas Nunez, Inaki");
  EXPECT_EQ(SepaText(Cp("Àngela Pérez Gómez"), 70), "Angela Perez Gomez");
  EXPECT_EQ(SepaText(Cp("CAMIàÉÑçü"), 70), "CAMIaENcu");
  EXPECT_EQ(SepaText(Cp("Col·legiat"), 70), "Col.legiat");
  EXPECT_EQ(SepaText(Cp("Straße"), 70), "Strasse");
}

TEST(SepaText, OtherCharactersBecomeOneSpace) {
  EXPECT_EQ(SepaText("  Fonts & Fills ; SL  ", 70), "Fonts Fills SL");
  EXPECT_EQ(SepaText(Cp("A░▒▓B"), 70), "A B");
  EXPECT_EQ(SepaText("a/b-c?d:e(f)g.h,i'j+k", 70), "a/b-c?d:e(f)g.h,i'j+k");
  EXPECT_EQ(SepaText(Cp("£ 12"), 70), "12");
}

TEST(SepaText, CutToTheLengthWithoutATrailingSpace) {
  EXPECT_EQ(SepaText("ABCDE FGHIJ", 6), "ABCDE");
  EXPECT_EQ(SepaText("ABCDE FGHIJ", 7), "ABCDE F");
  EXPECT_EQ(SepaText(std::string(100, 'x'), 70).size(), 70u);
  EXPECT_EQ(SepaText("", 70), "");
}

}  // namespace
}  // namespace remittance
