// The record layouts of the six files the issuing run reads.
//
// Each file has a fixed-size record area (its record image) that the record
// file layer fills on every read.  This is the one place that knows the byte
// offsets: every other piece of the program reads fields through the views
// below, never through a raw offset.  Offsets count from 0.
//
// Encodings: texts are code page 850 padded with spaces; starred names hold
// tail "*" head; numbers are packed digits (two decimal digits per byte, 128
// plus their value) or little-endian two's-complement integers; amounts are
// 32-bit euro cents.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace office {

inline constexpr std::size_t kConceptTypeLength = 28;
inline constexpr std::size_t kRemittanceLength = 76;
inline constexpr std::size_t kOwnerLength = 324;
inline constexpr std::size_t kPropertyLength = 204;
inline constexpr std::size_t kUnitLength = 448;
inline constexpr std::size_t kMandateLength = 44;

template <std::size_t N>
using RecordArea = std::array<unsigned char, N>;

// The record areas bound to the six files at open; the current records
// while a receipt is built and printed.
struct RecordAreas {
  RecordArea<kConceptTypeLength> conceptType{};
  RecordArea<kRemittanceLength> remittance{};
  RecordArea<kOwnerLength> owner{};
  RecordArea<kPropertyLength> property{};
  RecordArea<kUnitLength> unit{};
  RecordArea<kMandateLength> mandate{};
};
RecordAreas& Areas();

// A field: offset and width inside a record area.
struct Field {
  std::size_t offset;
  std::size_t width;
};

// Field positions, one namespace per file.  Views read through them; the
// tools that write demo and test records write through them.
namespace concept_type_fields {
inline constexpr Field kName{1, 20};
inline constexpr Field kVatFlag{21, 1};
inline constexpr Field kWithholdingFlag{22, 1};
inline constexpr Field kThirdFlag{23, 1};
}  // namespace concept_type_fields

namespace owner_fields {
inline constexpr Field kKey{0, 2};
inline constexpr Field kName{2, 30};
inline constexpr Field kAddress1{52, 30};
inline constexpr Field kAddress2{82, 30};
inline constexpr Field kAddress3{112, 30};
inline constexpr Field kLastReceipt{176, 4};
inline constexpr Field kPropertyEntries{184, 80};
inline constexpr Field kFiscalId{264, 17};
}  // namespace owner_fields

namespace property_fields {
inline constexpr Field kNumber{0, 2};
inline constexpr Field kStreet{8, 30};
inline constexpr Field kTown{38, 30};
inline constexpr Field kProvince{68, 30};
inline constexpr Field kKind{141, 1};
}  // namespace property_fields

namespace unit_fields {
inline constexpr Field kKey{0, 4};
inline constexpr Field kTenantName{8, 30};
inline constexpr Field kDoor{38, 10};
inline constexpr Field kSecondName{48, 30};
inline constexpr Field kCollector{78, 20};
inline constexpr Field kStreet{98, 30};
inline constexpr Field kTown{129, 30};
inline constexpr Field kProvince{159, 30};
inline constexpr Field kPremises{210, 1};
inline constexpr Field kCodeHigh{211, 1};
inline constexpr Field kForm{223, 1};
inline constexpr Field kCodeLow{224, 1};
inline constexpr Field kPeriodicity{225, 2};
inline constexpr Field kCollectionText{237, 40};
inline constexpr Field kCharges{277, 66};
inline constexpr Field kWithholding{343, 1};
inline constexpr Field kTiming{344, 1};
inline constexpr Field kFiscalId{345, 17};
inline constexpr Field kBankAccount{362, 34};
}  // namespace unit_fields

namespace mandate_fields {
inline constexpr Field kUnitKey{0, 4};
inline constexpr Field kKind{17, 1};
}  // namespace mandate_fields

// Little-endian two's-complement integers at p.
inline std::int16_t LittleInt16(const unsigned char* p) {
  return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}
inline void PutLittleInt16(unsigned char* p, std::int16_t v) {
  p[0] = static_cast<unsigned char>(v & 0xFF);
  p[1] = static_cast<unsigned char>((static_cast<std::uint16_t>(v) >> 8) & 0xFF);
}
inline void PutLittleInt32(unsigned char* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((u >> (8 * i)) & 0xFF);
}
inline std::int32_t LittleInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

// Raw readers, checked at compile time against the area's size.
template <Field F, std::size_t N>
std::string FieldText(const RecordArea<N>& area) {
  static_assert(F.offset + F.width <= N, "field lies outside the record");
  return std::string(reinterpret_cast<const char*>(area.data()) + F.offset, F.width);
}
template <Field F, std::size_t N>
unsigned char FieldByte(const RecordArea<N>& area) {
  static_assert(F.offset < N && F.width == 1, "field lies outside the record");
  return area[F.offset];
}
template <Field F, std::size_t N>
std::int16_t FieldInt16(const RecordArea<N>& area) {
  static_assert(F.offset + 2 <= N && F.width == 2, "field lies outside the record");
  return LittleInt16(area.data() + F.offset);
}

// Writer of a text field: padded with spaces or cut to the field's width.
template <Field F, std::size_t N>
void PutField(RecordArea<N>& area, std::string_view text) {
  static_assert(F.offset + F.width <= N, "field lies outside the record");
  for (std::size_t i = 0; i < F.width; ++i) {
    area[F.offset + i] = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
  }
}

// DADES\TVRebut: concept types.  Key 0 is the code byte: 1 to 10 raw for the
// fixed concepts, 128 + code for the coded ones.
class ConceptTypeView {
 public:
  explicit ConceptTypeView(const RecordArea<kConceptTypeLength>& a) : a_(a) {}
  unsigned char Code() const { return a_[0]; }
  std::string Name() const { return FieldText<concept_type_fields::kName>(a_); }
  bool SubjectToVat() const { return FieldByte<concept_type_fields::kVatFlag>(a_) == 'S'; }
  bool SubjectToWithholding() const {
    return FieldByte<concept_type_fields::kWithholdingFlag>(a_) == 'S';
  }

 private:
  const RecordArea<kConceptTypeLength>& a_;
};
// Blank name and the three flags "S": what a concept whose type is missing
// counts as.
void ResetConceptType(RecordArea<kConceptTypeLength>& area);

// One of the owner's 20 property entries.
struct PropertyEntry {
  std::string propertyNumber;  // 2 packed bytes; bytes below 128 when empty
  std::int16_t vatClass;       // 0 selects Iva0, 1 selects Iva1
};

// DADES\PropietV: owners, read in key 0 order.
class OwnerView {
 public:
  static constexpr int kPropertyEntries = 20;
  explicit OwnerView(const RecordArea<kOwnerLength>& a) : a_(a) {}
  std::string Key() const { return FieldText<owner_fields::kKey>(a_); }
  std::string Name() const { return FieldText<owner_fields::kName>(a_); }
  std::string AddressLine1() const { return FieldText<owner_fields::kAddress1>(a_); }
  std::string AddressLine2() const { return FieldText<owner_fields::kAddress2>(a_); }
  std::string AddressLine3() const { return FieldText<owner_fields::kAddress3>(a_); }
  // 8 digits, packed.
  std::string LastReceiptNumber() const { return FieldText<owner_fields::kLastReceipt>(a_); }
  PropertyEntry Entry(int k) const;  // k = 1 to 20
  std::string FiscalId() const { return FieldText<owner_fields::kFiscalId>(a_); }

 private:
  const RecordArea<kOwnerLength>& a_;
};
// Writes property entry k (1 to 20) of an owner.
void PutPropertyEntry(RecordArea<kOwnerLength>& area, int k, const PropertyEntry& entry);

// DADES\FinquesV: properties.  Key 0 is the property number.
class PropertyView {
 public:
  explicit PropertyView(const RecordArea<kPropertyLength>& a) : a_(a) {}
  std::string Number() const { return FieldText<property_fields::kNumber>(a_); }
  std::string Street() const { return FieldText<property_fields::kStreet>(a_); }
  std::string Town() const { return FieldText<property_fields::kTown>(a_); }
  std::string Province() const { return FieldText<property_fields::kProvince>(a_); }
  // "P": every unit carries its own street, town and province.
  unsigned char Kind() const { return FieldByte<property_fields::kKind>(a_); }

 private:
  const RecordArea<kPropertyLength>& a_;
};

// The unit's 66-byte charge area: ten fixed amounts, three coded concepts
// and a fourteenth with a count.
struct Charges {
  std::array<std::int32_t, 10> fixedAmounts{};
  struct Coded {
    std::int16_t code = 0;
    std::int16_t count = 0;  // only the fourteenth concept has one
    std::int32_t amount = 0;
  };
  std::array<Coded, 4> coded{};  // concepts 11 to 14
};

// DADES\DepartaV: units with their tenant and charges.  Key 0 is the 4-byte
// unit key: property number then unit number, both packed.
class UnitView {
 public:
  explicit UnitView(const RecordArea<kUnitLength>& a) : a_(a) {}
  std::string Key() const { return FieldText<unit_fields::kKey>(a_); }
  std::string TenantName() const { return FieldText<unit_fields::kTenantName>(a_); }
  std::string Door() const { return FieldText<unit_fields::kDoor>(a_); }
  std::string SecondNameLine() const { return FieldText<unit_fields::kSecondName>(a_); }
  std::string Collector() const { return FieldText<unit_fields::kCollector>(a_); }
  std::string Street() const { return FieldText<unit_fields::kStreet>(a_); }
  std::string Town() const { return FieldText<unit_fields::kTown>(a_); }
  std::string Province() const { return FieldText<unit_fields::kProvince>(a_); }
  bool IsPremises() const { return FieldByte<unit_fields::kPremises>(a_) == 'S'; }
  unsigned char CollectionCodeHigh() const { return FieldByte<unit_fields::kCodeHigh>(a_); }
  unsigned char CollectionForm() const { return FieldByte<unit_fields::kForm>(a_); }
  unsigned char CollectionCodeLow() const { return FieldByte<unit_fields::kCodeLow>(a_); }
  std::int16_t Periodicity() const { return FieldInt16<unit_fields::kPeriodicity>(a_); }
  std::string CollectionText() const { return FieldText<unit_fields::kCollectionText>(a_); }
  Charges ChargeArea() const;
  bool HasWithholding() const { return FieldByte<unit_fields::kWithholding>(a_) == 'S'; }
  unsigned char Timing() const { return FieldByte<unit_fields::kTiming>(a_); }
  std::string FiscalId() const { return FieldText<unit_fields::kFiscalId>(a_); }
  std::string BankAccount() const { return FieldText<unit_fields::kBankAccount>(a_); }

 private:
  const RecordArea<kUnitLength>& a_;
};
// Writes the periodicity and the charge area of a unit.
void PutPeriodicity(RecordArea<kUnitLength>& area, std::int16_t months);
void PutCharges(RecordArea<kUnitLength>& area, const Charges& charges);
// An unset high pair of the collection code (a byte below 128) reads as the
// digits 00: the issuing run normalises it in the area before using the key.
void NormaliseCollectionCodeHigh(RecordArea<kUnitLength>& area);

// DADES\CobramV: collection mandates, several per unit.
class MandateView {
 public:
  explicit MandateView(const RecordArea<kMandateLength>& a) : a_(a) {}
  std::string UnitKey() const { return FieldText<mandate_fields::kUnitKey>(a_); }
  unsigned char Kind() const { return FieldByte<mandate_fields::kKind>(a_); }

 private:
  const RecordArea<kMandateLength>& a_;
};

}  // namespace office
