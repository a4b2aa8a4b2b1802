#include "office/record_layouts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace office {
namespace {

template <std::size_t N>
void Put(RecordArea<N>& area, std::size_t at, const std::string& bytes) {
  ASSERT_LE(at + bytes.size(), N);
  std::memcpy(area.data() + at, bytes.data(), bytes.size());
}

TEST(RecordLayouts, OwnerEntriesCarryPackedNumberAndSignedVatClass) {
  RecordArea<kOwnerLength> owner{};
  Put(owner, 184, std::string("\x80\x8C\x01\x00", 4));           // entry 1: 0012, class 1
  Put(owner, 184 + 4 * 19, std::string("\x81\x80\xFF\xFF", 4));  // entry 20: 0100, class -1
  OwnerView v(owner);
  EXPECT_EQ(v.Entry(1).propertyNumber, std::string("\x80\x8C", 2));
  EXPECT_EQ(v.Entry(1).vatClass, 1);
  EXPECT_EQ(v.Entry(20).propertyNumber, std::string("\x81\x80", 2));
  EXPECT_EQ(v.Entry(20).vatClass, -1);
  EXPECT_EQ(v.Entry(2).propertyNumber, std::string(2, '\0'));  // empty entry: below 128
}

TEST(RecordLayouts, ChargeAreaReadsFixedCodedAndCountedConcepts) {
  RecordArea<kUnitLength> unit{};
  Put(unit, 277, std::string("\x39\x30\x00\x00", 4));                       // concept 1: 12345
  Put(unit, 277 + 36, std::string("\xFF\xFF\xFF\xFF", 4));                  // concept 10: -1
  Put(unit, 277 + 40, std::string("\x0C\x00\x10\x27\x00\x00", 6));          // 11: code 12, 10000
  Put(unit, 277 + 58, std::string("\x05\x00\x02\x00\xE8\x03\x00\x00", 8));  // 14
  Charges c = UnitView(unit).ChargeArea();
  EXPECT_EQ(c.fixedAmounts[0], 12345);
  EXPECT_EQ(c.fixedAmounts[9], -1);
  EXPECT_EQ(c.coded[0].code, 12);
  EXPECT_EQ(c.coded[0].amount, 10000);
  EXPECT_EQ(c.coded[1].code, 0);
  EXPECT_EQ(c.coded[3].code, 5);
  EXPECT_EQ(c.coded[3].count, 2);
  EXPECT_EQ(c.coded[3].amount, 1000);
}

TEST(RecordLayouts, UnitFieldsSitAtTheirOffsets) {
  RecordArea<kUnitLength> unit{};
  unit.fill(' ');
  Put(unit, 0, "\x80\x8C\x80\x83");
  Put(unit, 225, std::string("\x03\x00", 2));
  unit[210] = 'S';
  unit[223] = 'B';
  unit[343] = 'S';
  unit[344] = 'V';
  Put(unit, 362, "ES7620770024003102575766");
  UnitView v(unit);
  EXPECT_EQ(v.Key(), "\x80\x8C\x80\x83");
  EXPECT_EQ(v.Periodicity(), 3);
  EXPECT_TRUE(v.IsPremises());
  EXPECT_EQ(v.CollectionForm(), 'B');
  EXPECT_TRUE(v.HasWithholding());
  EXPECT_EQ(v.Timing(), 'V');
  EXPECT_EQ(v.BankAccount(), "ES7620770024003102575766          ");
}

TEST(RecordLayouts, WrittenChargesAndEntriesReadBack) {
  RecordArea<kUnitLength> unit{};
  Charges c;
  c.fixedAmounts[4] = -250000;
  c.coded[2] = {99, 0, 123456789};
  c.coded[3] = {7, 3, -1};
  PutCharges(unit, c);
  PutPeriodicity(unit, -2);
  Charges back = UnitView(unit).ChargeArea();
  EXPECT_EQ(back.fixedAmounts[4], -250000);
  EXPECT_EQ(back.coded[2].code, 99);
  EXPECT_EQ(back.coded[2].amount, 123456789);
  EXPECT_EQ(back.coded[3].count, 3);
  EXPECT_EQ(back.coded[3].amount, -1);
  EXPECT_EQ(UnitView(unit).Periodicity(), -2);
  EXPECT_EQ(unit[unit_fields::kCharges.offset + unit_fields::kCharges.width],
            0);  // nothing past it

  RecordArea<kOwnerLength> owner{};
  PutPropertyEntry(owner, 20, {std::string("\x81\x80", 2), 1});
  PutPropertyEntry(owner, 21, {std::string("\x81\x80", 2), 1});  // no 21st entry: ignored
  EXPECT_EQ(OwnerView(owner).Entry(20).vatClass, 1);
  EXPECT_EQ(owner[owner_fields::kFiscalId.offset], 0);
  PutField<owner_fields::kName>(owner, "Vidal*Maria");
  EXPECT_EQ(OwnerView(owner).Name(), "Vidal*Maria" + std::string(19, ' '));
}

TEST(RecordLayouts, UnsetCollectionCodeHighReadsAsZeroDigits) {
  RecordArea<kUnitLength> unit{};
  unit[211] = 0x20;
  NormaliseCollectionCodeHigh(unit);
  EXPECT_EQ(unit[211], 128);
  unit[211] = 0x85;
  NormaliseCollectionCodeHigh(unit);
  EXPECT_EQ(unit[211], 0x85);
}

TEST(RecordLayouts, MissingConceptTypeCountsAsBlankAndSubjectToBoth) {
  RecordArea<kConceptTypeLength> type{};
  type.fill('N');
  type[0] = 3;
  ResetConceptType(type);
  ConceptTypeView v(type);
  EXPECT_EQ(v.Code(), 3);
  EXPECT_EQ(v.Name(), std::string(20, ' '));
  EXPECT_TRUE(v.SubjectToVat());
  EXPECT_TRUE(v.SubjectToWithholding());
}

}  // namespace
}  // namespace office
