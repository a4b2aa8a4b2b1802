#include "format/text.h"

#include <gtest/gtest.h>

#include "platform/program_state.h"

namespace format {
namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ResetProgramState(); }
  void TearDown() override { platform::ResetProgramState(); }
};

TEST_F(TextTest, UpperCaseFoldsOnlyTheSevenAccentedLetters) {
  EXPECT_EQ(UpperCase("mar\x87"), "MAR\x80");
  EXPECT_EQ(UpperCase("g\x8Ar"), "G\x8AR");  // è is left alone
  EXPECT_EQ(UpperCase("\x84\x94\x81\x82\xA4\x86"), "\x8E\x99\x9A\x90\xA5\x8F");
  EXPECT_EQ(UpperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST_F(TextTest, FoldTextKeepsOrStripsAccents) {
  EXPECT_EQ(FoldText("g\x8Ar"), "G\xD4R");
  EXPECT_EQ(FoldText("\x98\x9B\xE1\xE7"), "\x98\x9B\xE1\xE7");  // ÿ ø ß þ stay
  Texts().accentStripping = true;
  EXPECT_EQ(FoldText("g\x8Ar"), "GER");
  EXPECT_EQ(FoldText("a@b_c 1,9"), "A B C 1,9");
  EXPECT_EQ(FoldText("\x98\x9B\xE1\xE7\xA6\xA7\xD5"), "YOSTAOE");
  EXPECT_EQ(FoldText("\x9C\xC4\xEE\xFF"), "  \xEE\xFF");  // £ and ─ blank; 238 on untouched
}

// Every byte through both tables: bytes below 64 and from 238 never change;
// with stripping on, every byte of 64..237 is a plain capital or a space,
// and exactly the letters are capitals.
TEST_F(TextTest, FoldTablesCoverEveryByte) {
  const std::string letters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
      "\x83\x84\x85\x86\x8E\x8F\x91\x92\xA0\xA6\xB5\xB6\xB7\xC6\xC7\x80\x87\xD0\xD1"
      "\x82\x88\x89\x8A\x90\xD2\xD3\xD4\xD5\x8B\x8C\x8D\xA1\xD6\xD7\xD8\xDE\xA4\xA5"
      "\x93\x94\x95\x99\x9B\x9D\xA2\xA7\xE0\xE2\xE3\xE4\xE5\xE1\xE7\xE8"
      "\x81\x96\x97\x9A\xA3\xE9\xEA\xEB\x98\xEC\xED";
  for (int b = 0; b < 256; ++b) {
    const std::string in(1, static_cast<char>(b));
    Texts().accentStripping = false;
    const std::string kept = FoldText(in);
    Texts().accentStripping = true;
    const std::string stripped = FoldText(in);
    if (b < 64 || b >= 238) {
      EXPECT_EQ(kept, in) << b;
      EXPECT_EQ(stripped, in) << b;
      continue;
    }
    const bool letter = letters.find(static_cast<char>(b)) != std::string::npos;
    if (letter) {
      EXPECT_TRUE(stripped[0] >= 'A' && stripped[0] <= 'Z') << b;
    } else {
      EXPECT_EQ(stripped, " ") << b;
    }
    // Keeping accents, a letter never becomes a lower-case a-z.
    EXPECT_FALSE(kept[0] >= 'a' && kept[0] <= 'z') << b;
  }
  Texts().accentStripping = false;
  EXPECT_EQ(FoldText("\xA0\x85\x83\x84\x86\xC6"), "\xB5\xB7\xB6\x8E\x8F\xC7");  // á à â ä å ã
}

TEST_F(TextTest, ZeroPadKeepsTheRightmostDigits) {
  EXPECT_EQ(ZeroPad(7, 2), "07");
  EXPECT_EQ(ZeroPad(2024, 2), "24");
  EXPECT_EQ(ZeroPad(0, 4), "0000");
  EXPECT_EQ(ZeroPad(12345, 4), "2345");
  EXPECT_EQ(ZeroPad(-5, 3), "005");
  EXPECT_EQ(ZeroPad(2.5, 5), "002.5");
}

TEST_F(TextTest, IsAllCharAndChoose) {
  EXPECT_TRUE(IsAllChar("", 'x'));
  EXPECT_TRUE(IsAllChar("   ", ' '));
  EXPECT_FALSE(IsAllChar("  a", ' '));
  EXPECT_EQ(Choose(5, "a", "b"), "a");
  EXPECT_EQ(Choose(0, "a", "b"), "b");
}

TEST_F(TextTest, StarredDisplayJoinsHeadAndTail) {
  EXPECT_EQ(StarredDisplay("Major*Carrer    "), "Carrer Major");
  EXPECT_EQ(StarredDisplay("Hospitalet*L'   "), "L'Hospitalet");
  EXPECT_EQ(StarredDisplay("*Nom  "), "*Nom");
  EXPECT_EQ(StarredDisplay("  Sense estrella  "), "Sense estrella");
}

TEST_F(TextTest, PopTextReturnsTextsInReverseOrderIncludingEmptyOnes) {
  PushText("first");
  PushText("");
  PushText(std::string("n\0l", 3));
  EXPECT_EQ(PopText(), std::string("n\0l", 3));
  EXPECT_EQ(PopText(), "");
  EXPECT_EQ(PopText(), "first");
  EXPECT_TRUE(Texts().textStack.empty());
  EXPECT_EQ(PopText(), "");  // an empty stack gives the empty text, no crash
}

TEST_F(TextTest, NumericValueReadsTheLeadingNumberOnly) {
  EXPECT_EQ(NumericValue("  21"), 21);
  EXPECT_EQ(NumericValue("-7.5%"), -7.5);
  EXPECT_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue("1e999"), 1);  // no exponent: the digits before it
}

TEST_F(TextTest, BufferTextCopiesEveryByte) {
  const char area[4] = {'a', 0, 'b', ' '};
  EXPECT_EQ(BufferText(area, 4), std::string(area, 4));
}

TEST_F(TextTest, WrapParagraphShortTextGivesOnePaddedLine) {
  std::string t = "Hola";
  WrapParagraph(t, 0, 10, "i");
  EXPECT_EQ(t, "Hola      ");
}

TEST_F(TextTest, WrapParagraphMovesAWordThatDoesNotFitToTheNextLine) {
  std::string t = "primera segona";
  WrapParagraph(t, 0, 10, "i");
  EXPECT_EQ(t, "primera   segona    ");
}

TEST_F(TextTest, WrapParagraphCutsAWordLongerThanTheLine) {
  std::string t = "abcdefghijkl";
  WrapParagraph(t, 0, 5, "i");
  EXPECT_EQ(t, "abcdefghijkl   ");
}

TEST_F(TextTest, WrapParagraphMovesAWordBackToALeadingSpaceRatherThanCuttingIt) {
  std::string t = " cb";
  WrapParagraph(t, 4, 6, "i");
  EXPECT_EQ(t, "      " "cb    ");  // the first line keeps only the space
}

TEST_F(TextTest, WrapParagraphIndentsFirstOrHangingLines) {
  std::string t = "aa bb cc";
  WrapParagraph(t, 2, 5, "i");
  EXPECT_EQ(t, "  aa " "bb cc");
  t = "aa bb cc";
  WrapParagraph(t, -2, 5, "i");
  EXPECT_EQ(t, "aa bb" "  cc ");
}

TEST_F(TextTest, WrapParagraphControlBytesTakeNoRoom) {
  std::string t = "\x1E" "abc" "\x1E" " de";
  WrapParagraph(t, 0, 7, "i");
  EXPECT_EQ(t, "\x1E" "abc" "\x1E" " de ");  // 7 visible, 2 control bytes
  t = "\x1E" "ab" "\x1E" " cd";
  WrapParagraph(t, 0, 3, "i");
  EXPECT_EQ(t, "\x1E" "ab" "\x1E" " " "cd ");  // each line shows 3 characters
}

TEST_F(TextTest, WrapParagraphOfEmptyTextIsEmpty) {
  std::string t;
  WrapParagraph(t, 0, 76, "i");
  EXPECT_EQ(t, "");
}

}  // namespace
}  // namespace format
