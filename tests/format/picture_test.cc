#include "format/picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "format/amounts.h"
#include "format/format_settings.h"
#include "platform/program_state.h"

namespace format {
namespace {

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ResetProgramState(); }
  void TearDown() override { platform::ResetProgramState(); }
};

struct Case {
  const char* mask;
  double value;
  const char* expected;
};

// Checked by hand with the decimal character "'" and the separator ".".
const Case kCases[] = {
    {"ZZ,ZZZ,ZZ9", 1234567, " 1.234.567"},
    {"ZZ,ZZZ,ZZ9", 5, "         5"},
    {"ZZ,ZZZ,ZZ9", 0, "         0"},
    {"ZZ,ZZZ,ZZ9", 1234, "     1.234"},
    {"999,999", 5, "000.005"},
    {"9,999", 1234, "1.234"},
    {"ZZ9.99", 12.5, " 12'50"},
    {"ZZ9.ZZ", 12.5, " 12'5 "},
    {"ZZ9.ZZ", 12, " 12   "},
    {"Z9.9Z", 1.25, " 1'25"},
    {"Z9.9Z", 1.2, " 1'2 "},
    {"ZZZ.ZZ", 0, "      "},
    {"***.**", 0, "***'00"},
    {"ZZ9", 2.5, "  2"},
    {"ZZ9", 3.5, "  4"},
    {"ZZ9.99", 0.125, "  0'12"},
    {"9.9", 0.25, "0'2"},
    {"9.9", 0.75, "0'8"},
    {"ZZZ", 0.4, "   "},
    {"zz9", 45, " 45"},
    {"***9", 12, "**12"},
    {"**,**9", 12, "****12"},
    {"**,**9", 1234, "*1.234"},
    {"$ZZ9", 42, "$ 42"},
    {"Z9.99%", 5.5, " 5'50%"},
    {"ZZ9-", -12, " 12-"},
    {"ZZ9-", 12, " 12 "},
    {"+ZZ9", 12, "+ 12"},
    {"+ZZ9", -12, "- 12"},
    {"-ZZ9", -7, "-  7"},
    {"-ZZ9", 7, "   7"},
    {"ZZ9.99-", -3.456, "  3'46-"},
    {"ZZ9.99+", 3.456, "  3'46+"},
    {"ZZZ9", -12, " -12"},
    {"ZZZZZ", -123, " -123"},
    {"Z,ZZ9", -5, "   -5"},
    {"Z9", -5, "-5"},
    {"ZZ9.99", -0.5, "  -'50"},
    {"99", 123, "!!"},
    {"ZZZZ", -1234, "!!!!"},
    {"9", -5, "!"},
    {"ZZ", -123, "!!"},
    {"9,999", 12345, "12345"},
    {"ZZZZ9.9", 123456.78, "123456'"},
    {"ZZ9.99", 1234.5, "1234'5"},
    {"%999", -123, "-123"},  // no free position for the sign: shown plain
    {"", 5, ""},
};

TEST_F(PictureTest, MasksAgreeWithTheHandCheckedTable) {
  for (const Case& c : kCases) {
    EXPECT_EQ(FormatPicture(c.mask, c.value), c.expected) << c.mask << " with " << c.value;
  }
}

TEST_F(PictureTest, InfiniteNaNAndHugeValuesStayBounded) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(FormatPicture("ZZ9.99", inf), "!!!!!!");
  EXPECT_EQ(FormatPicture("ZZ9", -inf), "!!!");
  EXPECT_EQ(FormatPicture("ZZ9", std::nan("")), "!!!");
  EXPECT_EQ(FormatPicture("ZZ9." + std::string(400, '9'), 1.5), std::string(404, '!'));
  EXPECT_EQ(FormatPicture(std::string(30, 'Z'), 1e22),
            std::string(7, ' ') + "1" + std::string(22, '0'));
}

TEST_F(PictureTest, CharactersComeFromTheProviderOnceUntilReset) {
  int reads = 0;
  Formats().userSettingProvider = [&reads](std::string_view key) {
    ++reads;
    return std::string(key == "DecCaracter" ? "," : " ");
  };
  EXPECT_EQ(FormatPicture("Z,ZZ9.99", 1234.5), "1.234,50");  // blank MilCaracter: "."
  EXPECT_EQ(FormatPicture("9.9", 1), "1,0");
  EXPECT_EQ(reads, 2);
  platform::ResetProgramState();
  EXPECT_EQ(FormatPicture("9.9", 1), "1'0");
}

TEST_F(PictureTest, CharactersAreTheFirstOfTheValueOrTheDefaultWhenItIsBlank) {
  Formats().userSettingProvider = [](std::string_view key) {
    return std::string(key == "DecCaracter" ? " ," : " .");
  };
  EXPECT_EQ(FormatPicture("Z,ZZ9.99", 1234.5), "1.234'50");
}

TEST_F(PictureTest, AmountsInEurosAndPesetas) {
  SetCurrency("a,E");
  EXPECT_EQ(FormatAmount("ZZ,ZZZ,ZZ9", 123456), "  1.234'56");
  EXPECT_EQ(FormatAmount("ZZZZZZ", 0), "      ");
  EXPECT_EQ(FormatAmount("-ZZZZZZ", -150), "-  1'50");
  EXPECT_EQ(FormatAmount("ZZZZ9-", -150), " 1'50-");
  EXPECT_EQ(FormatAmount("***,**9", 5), "***0'05");  // the mask is ",**9.99"
  SetCurrency("p,P");
  EXPECT_EQ(FormatAmount("ZZ,ZZZ,ZZ9", 123456), "  1.234'56");  // still euros
  SetCurrency("p");
  EXPECT_EQ(FormatAmount("ZZ,ZZZ,ZZ9", 123456), "   205.414");
  EXPECT_EQ(FormatAmount("ZZZZ.9", 100), " 166'4");
  SetCurrency("");
  EXPECT_EQ(FormatAmount("ZZ,ZZZ,ZZ9", 123456), "  1.234'56");
}

// Whole: in the mask, or as the plain number; not whole: the plain number
// cut on the right, or "!".
TEST_F(PictureTest, ShownWholeUnlessTheOverflowFormCutsOrHidesTheNumber) {
  EXPECT_TRUE(PictureShowsWhole("ZZ,ZZZ,ZZ9", 1234567));
  EXPECT_TRUE(PictureShowsWhole("9,999", 12345));
  EXPECT_TRUE(PictureShowsWhole("%999", -123));
  EXPECT_FALSE(PictureShowsWhole("ZZ9.99", 1234.5));
  EXPECT_FALSE(PictureShowsWhole("99", 123));
  EXPECT_FALSE(PictureShowsWhole("ZZ9", std::nan("")));
  SetCurrency("a,E");
  EXPECT_TRUE(AmountShownWhole("ZZ,ZZZ,ZZ9", 100000000));     // 1000000'00
  EXPECT_FALSE(AmountShownWhole("ZZ,ZZZ,ZZ9", 2147483647));   // 21474836'4
  EXPECT_FALSE(AmountShownWhole("ZZ,ZZZ,ZZ9", -2147481148));  // -21474811'
  EXPECT_FALSE(AmountShownWhole("ZZZ,ZZ9", 1000000));         // 10000'0
  SetCurrency("p,P");
  SetCurrency("p");
  EXPECT_TRUE(AmountShownWhole("ZZZ,ZZ9", 1000000));  // 1663860 pesetas
}

TEST_F(PictureTest, CurrencySwitchAndContexts) {
  SetCurrency("a,E");
  EXPECT_EQ(Formats().CurrentCurrency, "E");
  EXPECT_EQ(CurrencyFor("x"), "E");
  SetCurrency("P,  p ");
  EXPECT_EQ(CurrencyFor("doc"), "P");
  EXPECT_EQ(CurrencyFor(" a"), "E");
  EXPECT_EQ(Formats().CurrentCurrency, "E");
  SetCurrency("p,");
  SetCurrency("P");
  EXPECT_EQ(Formats().CurrentCurrency, "E");  // no document currency: the application's
}

TEST_F(PictureTest, CurrencySwitchNamesTheApplicationCurrencyOnlyByALeadingA) {
  SetCurrency("A,P");
  SetCurrency(" a,E");  // the first part is not trimmed: the document currency
  EXPECT_EQ(Formats().DocumentCurrency, "E");
  EXPECT_EQ(Formats().ApplicationCurrency, "P");
  EXPECT_EQ(Formats().CurrentCurrency, "P");
}

TEST_F(PictureTest, PlainNumberIsShortAndBounded) {
  EXPECT_EQ(PlainNumber(2.5), "2.5");
  EXPECT_EQ(PlainNumber(12), "12");
  EXPECT_EQ(PlainNumber(0), "");
  EXPECT_EQ(PlainNumber(-0.75), "-0.75");
  EXPECT_EQ(PlainNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(PlainNumber(std::nan("")), "!");
  EXPECT_EQ(PlainNumber(std::numeric_limits<double>::infinity()), "!");
}

TEST_F(PictureTest, CheckNumberEntryRejectsWhatTheMaskCannotShow) {
  EXPECT_TRUE(CheckNumberEntry("1.5", "ZZ9"));
  EXPECT_TRUE(CheckNumberEntry("-5", "ZZ9"));
  EXPECT_TRUE(CheckNumberEntry("5-", "ZZ9-"));
  EXPECT_TRUE(CheckNumberEntry("a+", "+ZZ9"));
  EXPECT_TRUE(CheckNumberEntry("--5", "-ZZ9"));
  EXPECT_TRUE(CheckNumberEntry("1.2.3", "ZZ9.99"));
  EXPECT_TRUE(CheckNumberEntry(".-5", "-Z9.99"));
  EXPECT_FALSE(CheckNumberEntry(" -12.50", "-ZZ9.99"));
  EXPECT_FALSE(CheckNumberEntry("", "9"));
}

}  // namespace
}  // namespace format
