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

namespace issuing {

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
void ResetAreas();

// A field: offset and width inside a record area.
struct Field {
  std::size_t offset;
  std::size_t width;
};

// Little-endian two's-complement integers at p.
inline std::int16_t LittleInt16(const unsigned char* p) {
  return static_cast<std::int16_t>(p[0] | (p[1] << 8));
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
template <std::size_t Offset, std::size_t N>
std::int16_t FieldInt16(const RecordArea<N>& area) {
  static_assert(Offset + 2 <= N, "field lies outside the record");
  return LittleInt16(area.data() + Offset);
}
template <std::size_t Offset, std::size_t N>
std::int32_t FieldInt32(const RecordArea<N>& area) {
  static_assert(Offset + 4 <= N, "field lies outside the record");
  return LittleInt32(area.data() + Offset);
}

// DADES\TVRebut: concept types.  Key 0 is the code byte: 1 to 10 raw for the
// fixed concepts, 128 + code for the coded ones.
class ConceptTypeView {
 public:
  explicit ConceptTypeView(const RecordArea<kConceptTypeLength>& a) : a_(a) {}
  unsigned char Code() const { return a_[0]; }
  std::string Name() const { return FieldText<Field{1, 20}>(a_); }
  bool SubjectToVat() const { return a_[21] == 'S'; }
  bool SubjectToWithholding() const { return a_[22] == 'S'; }

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
  std::string Key() const { return FieldText<Field{0, 2}>(a_); }
  std::string Name() const { return FieldText<Field{2, 30}>(a_); }
  std::string AddressLine1() const { return FieldText<Field{52, 30}>(a_); }
  std::string AddressLine2() const { return FieldText<Field{82, 30}>(a_); }
  std::string AddressLine3() const { return FieldText<Field{112, 30}>(a_); }
  std::string LastReceiptNumber() const { return FieldText<Field{176, 4}>(a_); }  // packed
  PropertyEntry Entry(int k) const;  // k = 1 to 20
  std::string FiscalId() const { return FieldText<Field{264, 17}>(a_); }

 private:
  const RecordArea<kOwnerLength>& a_;
};

// DADES\FinquesV: properties.  Key 0 is the property number.
class PropertyView {
 public:
  explicit PropertyView(const RecordArea<kPropertyLength>& a) : a_(a) {}
  std::string Number() const { return FieldText<Field{0, 2}>(a_); }
  std::string Street() const { return FieldText<Field{8, 30}>(a_); }
  std::string Town() const { return FieldText<Field{38, 30}>(a_); }
  std::string Province() const { return FieldText<Field{68, 30}>(a_); }
  // "P": every unit carries its own street, town and province.
  unsigned char Kind() const { return a_[141]; }

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
  std::string Key() const { return FieldText<Field{0, 4}>(a_); }
  std::string TenantName() const { return FieldText<Field{8, 30}>(a_); }
  std::string Door() const { return FieldText<Field{38, 10}>(a_); }
  std::string SecondNameLine() const { return FieldText<Field{48, 30}>(a_); }
  std::string Collector() const { return FieldText<Field{78, 20}>(a_); }
  std::string Street() const { return FieldText<Field{98, 30}>(a_); }
  std::string Town() const { return FieldText<Field{129, 30}>(a_); }
  std::string Province() const { return FieldText<Field{159, 30}>(a_); }
  bool IsPremises() const { return a_[210] == 'S'; }
  unsigned char CollectionCodeHigh() const { return a_[211]; }
  unsigned char CollectionForm() const { return a_[223]; }
  unsigned char CollectionCodeLow() const { return a_[224]; }
  std::int16_t Periodicity() const { return FieldInt16<225>(a_); }
  std::string CollectionText() const { return FieldText<Field{237, 40}>(a_); }
  Charges ChargeArea() const;
  bool HasWithholding() const { return a_[343] == 'S'; }
  unsigned char Timing() const { return a_[344]; }
  std::string FiscalId() const { return FieldText<Field{345, 17}>(a_); }
  std::string BankAccount() const { return FieldText<Field{362, 34}>(a_); }

 private:
  const RecordArea<kUnitLength>& a_;
};
// An unset high pair of the collection code (a byte below 128) reads as the
// digits 00: the issuing run normalises it in the area before using the key.
void NormaliseCollectionCodeHigh(RecordArea<kUnitLength>& area);

// DADES\CobramV: collection mandates, several per unit.
class MandateView {
 public:
  explicit MandateView(const RecordArea<kMandateLength>& a) : a_(a) {}
  std::string UnitKey() const { return FieldText<Field{0, 4}>(a_); }
  unsigned char Kind() const { return a_[17]; }

 private:
  const RecordArea<kMandateLength>& a_;
};

}  // namespace issuing
