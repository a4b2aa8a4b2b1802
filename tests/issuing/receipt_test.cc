#include "issuing/receipt.h"

#include <gtest/gtest.h>

#include <cstring>

#include "format/packed.h"
#include "platform/program_state.h"

namespace issuing {
namespace {

TEST(Receipt, DueMonthsFollowPeriodicityAndTiming) {
  auto dueMonths = [](int periodicity, unsigned char timing) {
    std::string months;
    for (int m = 1; m <= 12; ++m) months += IsDue(periodicity, timing, m) ? 'x' : '.';
    return months;
  };
  EXPECT_EQ(dueMonths(1, ' '), "xxxxxxxxxxxx");
  EXPECT_EQ(dueMonths(1, 'V'), "xxxxxxxxxxxx");
  EXPECT_EQ(dueMonths(1, 'M'), "xxxxxxxxxxxx");
  EXPECT_EQ(dueMonths(3, 'A'), "x..x..x..x..");
  EXPECT_EQ(dueMonths(3, 'V'), "..x..x..x..x");
  EXPECT_EQ(dueMonths(3, 'M'), ".x..x..x..x.");
  EXPECT_EQ(dueMonths(12, 'V'), "...........x");
  EXPECT_EQ(dueMonths(12, 'M'), "......x.....");
  EXPECT_EQ(dueMonths(12, ' '), "x...........");
  EXPECT_EQ(dueMonths(0, ' '), "............");
  EXPECT_EQ(dueMonths(-3, ' '), "............");
  EXPECT_FALSE(IsDue(1, ' ', 0));  // an empty issue date has no month
}

TEST(Receipt, TaxesRoundHalvesToTheEvenCent) {
  EXPECT_EQ(PercentOf(21, 12345), 2592);  // 2,592.45
  EXPECT_EQ(PercentOf(21, 50), 10);       // 10.5
  EXPECT_EQ(PercentOf(21, 150), 32);      // 31.5
  EXPECT_EQ(PercentOf(0, 12345), 0);
  EXPECT_EQ(PercentOf(19, -1000), -190);
}

TEST(Receipt, ReferenceKeepsThreeDigitsOfPropertyAndUnit) {
  EXPECT_EQ(ReceiptReference(format::PackDigits("00120003"), format::PackDigits("07")),
            "012003V07");
  EXPECT_EQ(ReceiptReference(format::PackDigits("12340567"), format::PackDigits("12")),
            "234567V12");
}

class ConceptsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    unit_.fill(' ');
    selection_.conceptOn.fill(true);
  }
  // A lookup that knows types 1 (VAT only) and coded 12 (both), by name.
  void Lookup(const std::string& key) {
    ++lookups_;
    auto& type = office::Areas().conceptType;
    if (key == std::string(1, '\x01')) {
      office::PutField<office::concept_type_fields::kName>(type, "Lloguer");
      office::PutField<office::concept_type_fields::kWithholdingFlag>(type, "N");
    } else if (key == std::string(1, static_cast<char>(128 + 12))) {
      office::PutField<office::concept_type_fields::kName>(type, "Parquing");
    }
  }
  office::RecordArea<office::kUnitLength> unit_;
  office::Selection selection_;
  int lookups_ = 0;
};

TEST_F(ConceptsTest, BasesFollowTheTypesFlagsAndMissingTypesCountForBoth) {
  office::Charges c;
  c.fixedAmounts[0] = 10000;
  c.fixedAmounts[1] = 500;  // type 2 is missing: blank name, subject to both
  c.coded[0] = {12, 0, 2000};
  c.coded[1] = {0, 0, 999};   // no code: does not count
  c.coded[3] = {12, 0, 777};  // the fourteenth needs a count
  office::PutCharges(unit_, c);
  Receipt r;
  ComputeConcepts(
      unit_, selection_, [this](const std::string& k) { Lookup(k); }, r);
  EXPECT_EQ(lookups_, 11);
  EXPECT_EQ(r.base, 12500);
  EXPECT_EQ(r.vatBase, 12500);
  EXPECT_EQ(r.withholdingBase, 2500);
  EXPECT_EQ(r.conceptText[0], "Lloguer" + std::string(13, ' '));
  EXPECT_EQ(r.conceptText[1], std::string(20, ' '));
  EXPECT_EQ(r.conceptAmount[11], 0);
  EXPECT_EQ(r.conceptAmount[13], 0);
}

TEST_F(ConceptsTest, SwitchedOffConceptCountsZeroAndCodesAbove99HaveNoType) {
  office::Charges c;
  c.fixedAmounts[0] = 10000;
  c.coded[2] = {150, 0, 300};  // cannot be a packed code: no lookup, counts as a missing type
  office::PutCharges(unit_, c);
  selection_.conceptOn[0] = false;
  Receipt r;
  ComputeConcepts(
      unit_, selection_, [this](const std::string& k) { Lookup(k); }, r);
  EXPECT_EQ(r.conceptAmount[0], 0);
  EXPECT_EQ(r.conceptText[0], "");
  EXPECT_EQ(r.conceptAmount[12], 300);
  EXPECT_EQ(r.base, 300);
  EXPECT_EQ(lookups_, 10);
}

TEST(Receipt, CollectionKeyMustLieInItsFormsBounds) {
  office::RecordArea<office::kUnitLength> unit;
  unit.fill(' ');
  office::Selection s;
  s.formOn = {true, true, false};
  s.codeLow = {"A" + format::PackDigits("0000"), "B" + format::PackDigits("0005"),
               "F" + format::PackDigits("0000")};
  s.codeHigh = {"A" + format::PackDigits("0099"), "B" + format::PackDigits("0007"),
                "F" + format::PackDigits("0099")};
  unit[office::unit_fields::kForm.offset] = 'A';
  unit[office::unit_fields::kCodeHigh.offset] = 0;  // unset: reads as 00
  unit[office::unit_fields::kCodeLow.offset] = 0x80 + 42;
  EXPECT_TRUE(PassesCollection(unit, s));
  EXPECT_EQ(unit[office::unit_fields::kCodeHigh.offset], 0x80);
  unit[office::unit_fields::kForm.offset] = 'B';
  EXPECT_FALSE(PassesCollection(unit, s));
  unit[office::unit_fields::kCodeLow.offset] = 0x80 + 6;
  EXPECT_TRUE(PassesCollection(unit, s));
  unit[office::unit_fields::kForm.offset] = 'F';
  EXPECT_FALSE(PassesCollection(unit, s));  // form switched off
  unit[office::unit_fields::kForm.offset] = 'C';
  EXPECT_FALSE(PassesCollection(unit, s));
}

TEST(Receipt, OwnUnitAddressAndPaymentLines) {
  office::RecordArea<office::kPropertyLength> property;
  office::RecordArea<office::kUnitLength> unit;
  property.fill(' ');
  unit.fill(' ');
  office::PutField<office::property_fields::kStreet>(property, "Major, 25*Carrer");
  office::PutField<office::property_fields::kTown>(property, "17001 GIRONA");
  office::PutField<office::property_fields::kProvince>(property, "GIRONA");
  office::PutField<office::unit_fields::kStreet>(unit, "Alzina, 9*Carrer de l'");
  office::PutField<office::unit_fields::kDoor>(unit, "2n 1a");
  office::PutField<office::unit_fields::kForm>(unit, "F");
  Receipt r;
  ComputeAddress(property, unit, r);
  EXPECT_EQ(r.street, "Carrer Major, 25 2n 1a");
  EXPECT_EQ(r.payment, "Carrer Major, 25 2n 1a 17001 GIRONA GIRONA");
  office::PutField<office::property_fields::kKind>(property, "P");
  ComputeAddress(property, unit, r);
  EXPECT_EQ(r.street, "Carrer de l'Alzina, 9 2n 1a");
  EXPECT_EQ(r.town, "17001 GIRONA");  // the unit's town is blank
  office::PutField<office::unit_fields::kTown>(unit, "17240 LLAGOSTERA");
  office::PutField<office::unit_fields::kForm>(unit, "A");
  office::PutField<office::unit_fields::kCollector>(unit, "Sr. Vila");
  ComputeAddress(property, unit, r);
  EXPECT_EQ(r.town, "17240 LLAGOSTERA");
  EXPECT_EQ(r.province, "");
  EXPECT_EQ(r.payment, "Sr. Vila" + std::string(12, ' '));
  office::PutField<office::unit_fields::kForm>(unit, "B");
  office::PutField<office::unit_fields::kBankAccount>(unit, "ES12");
  ComputeAddress(property, unit, r);
  EXPECT_EQ(r.payment, "IBAN ES12" + std::string(30, ' '));
}

}  // namespace
}  // namespace issuing
