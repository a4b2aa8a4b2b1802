// Spanish tax identifiers: which texts are valid NIFs, and how the tenant
// becomes the invoice's recipient.
#include "verifactu/tax_id.h"

#include <gtest/gtest.h>

#include "verifactu/records.h"

namespace verifactu {
namespace {

TEST(TaxId, AcceptsEveryKindWithItsCheckCharacter) {
  EXPECT_EQ(SpanishTaxId("12345678Z"), "12345678Z");  // DNI
  EXPECT_EQ(SpanishTaxId("X0000000T"), "X0000000T");  // NIE, X counts as 0
  EXPECT_EQ(SpanishTaxId("Y1234567X"), "Y1234567X");  // Y counts as 1
  EXPECT_EQ(SpanishTaxId("Z1234567R"), "Z1234567R");  // Z counts as 2
  EXPECT_EQ(SpanishTaxId("K1234567L"), "K1234567L");  // letter of the 7 digits
  EXPECT_EQ(SpanishTaxId("A58818501"), "A58818501");  // CIF with a control digit
  EXPECT_EQ(SpanishTaxId("Q2826000H"), "Q2826000H");  // CIF with a control letter
  EXPECT_EQ(SpanishTaxId("G2826000H"), "G2826000H");  // G takes either
  EXPECT_EQ(SpanishTaxId("G28260008"), "G28260008");
}

TEST(TaxId, ReadsTheFormsPeopleTypeAndRefusesWrongChecks) {
  EXPECT_EQ(SpanishTaxId(" 12.345.678-z "), "12345678Z");
  EXPECT_EQ(SpanishTaxId("ES12345678Z"), "12345678Z");
  EXPECT_EQ(SpanishTaxId("1234567L"), "01234567L");
  EXPECT_EQ(SpanishTaxId("12345678A"), "");   // wrong letter
  EXPECT_EQ(SpanishTaxId("A58818502"), "");   // wrong control digit
  EXPECT_EQ(SpanishTaxId("A5881850A"), "");   // A takes a digit only
  EXPECT_EQ(SpanishTaxId("Q28260008"), "");   // Q takes a letter only
  EXPECT_EQ(SpanishTaxId("I1234567L"), "");   // no such first letter
  EXPECT_EQ(SpanishTaxId("12345678"), "");    // no letter
  EXPECT_EQ(SpanishTaxId("123456789Z"), "");  // too long
  EXPECT_EQ(SpanishTaxId("1234/5678Z"), "");
  EXPECT_EQ(SpanishTaxId(""), "");
}

TEST(TaxId, TenantIsANifAPassportOrNoRecipient) {
  const auto resident = TenantRecipient("PUIG I SOLER, ANNA  ", "12345678z");
  ASSERT_TRUE(resident);
  EXPECT_EQ(resident->name, "PUIG I SOLER, ANNA");
  EXPECT_EQ(resident->nif, "12345678Z");

  const auto foreign = TenantRecipient("SMITH, JOHN", " 533380006 ");
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->nif, "");
  EXPECT_EQ(foreign->other.country, "ES");
  EXPECT_EQ(foreign->other.idType, "03");
  EXPECT_EQ(foreign->other.id, "533380006");

  EXPECT_FALSE(TenantRecipient("SENSE DOCUMENT", "   "));
}

}  // namespace
}  // namespace verifactu
