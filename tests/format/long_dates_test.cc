#include "format/long_dates.h"

#include <gtest/gtest.h>

#include <map>

#include "format/dates.h"
#include "format/format_settings.h"
#include "format/packed.h"
#include "platform/program_state.h"

namespace format {
namespace {

class LongDatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    Formats().userSettingProvider = [this](std::string_view key) {
      auto it = user_.find(std::string(key));
      return it == user_.end() ? std::string() : it->second;
    };
    Formats().languageProvider = [this] { return language_; };
  }
  void TearDown() override { platform::ResetProgramState(); }

  std::map<std::string, std::string> user_;
  std::string language_ = "CAT";
  const std::string jan5_ = PackDigits("20240105");
  const std::string apr5_ = PackDigits("20240405");
  const std::string oct5_ = PackDigits("20241005");
};

TEST_F(LongDatesTest, NumericStylesArePaddedToTheirWidth) {
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5/1/2024  ");
  EXPECT_EQ(FormatDate(jan5_, 1, "dma"), "5/gen/2024 ");
  EXPECT_EQ(FormatDate(jan5_, 0, "ma"), "1/2024 ");  // 2 + 4 + 1
  EXPECT_EQ(FormatDate(jan5_, -1, ""), "2024-01-05");
  EXPECT_EQ(FormatDate(EmptyDate(), -1, "dma"), "0000-00-00");
  for (int style : {0, 1, 2}) EXPECT_EQ(FormatDate(EmptyDate(), style, "dma"), "") << style;
}

TEST_F(LongDatesTest, LongFormsInEveryLanguage) {
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "5 de gener del 2024");
  EXPECT_EQ(FormatDate(apr5_, 2, "dma"), "5 d'abril del 2024");
  EXPECT_EQ(FormatDate(oct5_, 3, "DMA"), "5 d'octubre del 2024");
  EXPECT_EQ(FormatDate(jan5_, 2, "ma"), "gener del 2024");
  language_ = "SPA";
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "5 de enero de 2024");
  EXPECT_EQ(FormatDate(jan5_, 1, "dma"), "5/ene/2024 ");
  language_ = "GLG";
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "5 de janeiro do 2024");
  EXPECT_EQ(FormatDate(PackDigits("20240305"), 2, "dma"), "5 de mar\x87o do 2024");
  language_ = "OCI";
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "5 de g\x8Ar deth 2024");
  EXPECT_EQ(FormatDate(apr5_, 2, "dma"), "5 d'abriu deth 2024");
  language_ = "spa";  // codes compare exactly
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "5 de gener del 2024");
}

TEST_F(LongDatesTest, ConfiguredOrderAndSeparator) {
  user_["DatOrdre"] = "AMD";
  user_["DatCaracter"] = "-x";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "2024-1-5  ");
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "2024 de gener del 5");
}

TEST_F(LongDatesTest, SeparatorIsTheFirstCharacterOrSlashWhenItIsBlank) {
  user_["DatCaracter"] = " -";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5/1/2024  ");
  Formats().DatCaracter = '\0';
  user_["DatCaracter"] = "";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5/1/2024  ");
}

TEST_F(LongDatesTest, TwoLetterOrderWritesTwoParts) {
  user_["DatOrdre"] = "MA";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "1/2024    ");
}

TEST_F(LongDatesTest, LowerCaseOrderMatchesNoPart) {
  user_["DatOrdre"] = "dma";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), std::string(10, ' '));
  EXPECT_EQ(FormatDate(jan5_, 2, "dma"), "");
}

TEST_F(LongDatesTest, SettingsAreReadOnceUntilReset) {
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5/1/2024  ");
  user_["DatCaracter"] = ".";
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5/1/2024  ");
  Formats().DatCaracter = '\0';
  EXPECT_EQ(FormatDate(jan5_, 0, "dma"), "5.1.2024  ");
}

}  // namespace
}  // namespace format
