// IBAN and creditor-identifier check digits against published examples.
#include "remittance/check_digits.h"

#include <gtest/gtest.h>

namespace remittance {
namespace {

TEST(CheckDigits, PublishedIbansPassAndOneChangedDigitFails) {
  for (const char* iban : {"ES9121000418450200051332", "GB82WEST12345698765432",
                           "DE89370400440532013000", "FR1420041010050500013M02606"}) {
    EXPECT_TRUE(IsValidIban(iban)) << iban;
  }
  EXPECT_FALSE(IsValidIban("ES9121000418450200051333"));  // last digit changed
  EXPECT_FALSE(IsValidIban("ES1921000418450200051332"));  // check digits swapped
  EXPECT_FALSE(IsValidIban("ES91"));
  EXPECT_FALSE(IsValidIban("ES91 2100 0418 4502 0005 1332"));  // not compact
  EXPECT_FALSE(IsValidIban("9121000418450200051332ES"));
  EXPECT_FALSE(IsValidIban("ES912100041845020005133\x82"));
}

// Norway's IBANs, of 15 characters, are the shortest; a 14-character one
// is refused even with its check digits right.
TEST(CheckDigits, FifteenCharactersAreTheShortestIban) {
  EXPECT_TRUE(IsValidIban("NO9386011117947"));
  EXPECT_FALSE(IsValidIban("NO698601111794"));
}

TEST(CheckDigits, AccountsAreCompactedBeforeTheCheck) {
  EXPECT_EQ(CompactAccount(" es91 2100 0418 4502 0005 1332      "), "ES9121000418450200051332");
  EXPECT_EQ(CompactAccount("    "), "");
}

TEST(CheckDigits, Mod97CountsLettersAsTwoDigits) {
  EXPECT_EQ(Mod97("97"), 0);
  EXPECT_EQ(Mod97("A"), 10);
  EXPECT_EQ(Mod97("Z"), 35);
  EXPECT_EQ(Mod97("B85626240ES00"), 21);  // 1185626240142800 mod 97
  EXPECT_EQ(Mod97(""), -1);
  EXPECT_EQ(Mod97("1-2"), -1);
}

TEST(CheckDigits, CreditorIdentifiersOfPublishedExamples) {
  EXPECT_EQ(CreditorIdentifier("ESB85626240", "000"), "ES77000B85626240");
  EXPECT_EQ(CreditorIdentifier("ES12345678J              ", "000"), "ES0500012345678J");
  // The business code does not count in the check digits.
  EXPECT_EQ(CreditorIdentifier("ESB85626240", "A01"), "ES77A01B85626240");
  EXPECT_TRUE(IsValidCreditorIdentifier("ES77000B85626240"));
  EXPECT_TRUE(IsValidCreditorIdentifier("DE98ZZZ09999999999"));
  EXPECT_FALSE(IsValidCreditorIdentifier("ES78000B85626240"));
  EXPECT_FALSE(IsValidCreditorIdentifier("ES77000"));
}

TEST(CheckDigits, NoIdentifierFromABlankOrOddFiscalLine) {
  EXPECT_EQ(CreditorIdentifier("ES                ", "000"), "");
  EXPECT_EQ(CreditorIdentifier("ESB 85626240", "000"), "");  // a space inside
  EXPECT_EQ(CreditorIdentifier("ESB85626240", "00"), "");
  EXPECT_EQ(CreditorIdentifier("", "000"), "");
}

TEST(CheckDigits, BicsOfEightOrElevenCharacters) {
  EXPECT_TRUE(IsValidBic("CAIXESBBXXX"));
  EXPECT_TRUE(IsValidBic("DEUTDEFF"));
  EXPECT_FALSE(IsValidBic("CAIXESBB1"));
  EXPECT_FALSE(IsValidBic("CAIXESBO"));  // location's second character "O"
  EXPECT_FALSE(IsValidBic("CAIX3SBBXXX"));
  EXPECT_FALSE(IsValidBic("caixesbbxxx"));
}

}  // namespace
}  // namespace remittance
