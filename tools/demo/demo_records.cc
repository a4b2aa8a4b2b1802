// The demo office's records, written through the record layouts.
#include "demo_records.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "format/packed.h"
#include "office/record_layouts.h"
#include "platform/cp850.h"
#include "remittance/check_digits.h"

namespace demo {
namespace {

using namespace office;

// Demo texts are written in UTF-8 here and stored in code page 850.
std::string Cp(const char* utf8) {
  return platform::Utf8ToCp850(utf8);
}

std::string Packed(int value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", digits, value);
  return format::PackDigits(buf);
}

template <std::size_t N>
std::string Bytes(const office::RecordArea<N>& area) {
  return std::string(reinterpret_cast<const char*>(area.data()), N);
}

template <std::size_t N>
office::RecordArea<N> Blank() {
  office::RecordArea<N> a;
  a.fill(' ');
  return a;
}

template <Field F, std::size_t N>
void PutBytes(office::RecordArea<N>& area, const std::string& bytes) {
  PutField<F>(area, bytes);
}

RecordFile ConceptTypes() {
  RecordFile f{"TVRebut", office::kConceptTypeLength, {1, 1, false}, {}};
  struct Type {
    int code;  // 1 to 10 raw, coded ones packed
    const char* name;
    const char* vat;
    const char* withholding;
  };
  const Type types[] = {
      {1, "Lloguer", "S", "S"},        {2, "Comunitat", "S", "N"},
      {3, "Aigua", "N", "N"},          {4, "IBI", "N", "N"},
      {5, "Escombraries", "N", "N"},   {6, "Calefacció", "S", "N"},
      {7, "Ascensor", "S", "N"},       {8, "Assegurança", "N", "N"},
      {9, "Endarreriments", "S", "S"}, {10, "Altres despeses", "S", "N"},
      {21, "Pàrquing", "S", "S"},      {35, "Traster", "S", "S"},
      {40, "Reparacions", "S", "N"},   {55, "Subministrament gas", "S", "N"},
  };
  for (const Type& t : types) {
    auto a = Blank<office::kConceptTypeLength>();
    a[0] = static_cast<unsigned char>(t.code <= 10 ? t.code : 128 + t.code);
    office::PutField<office::concept_type_fields::kName>(a, Cp(t.name));
    office::PutField<office::concept_type_fields::kVatFlag>(a, t.vat);
    office::PutField<office::concept_type_fields::kWithholdingFlag>(a, t.withholding);
    office::PutField<office::concept_type_fields::kThirdFlag>(a, "S");
    f.records.push_back(Bytes(a));
  }
  std::sort(f.records.begin(), f.records.end());
  return f;
}

RecordFile Remittances() {
  RecordFile f{"TRemeses", office::kRemittanceLength, {1, 1, false}, {}};
  const char* names[] = {"Remesa ordinària", "Remesa lloguers locals", "Remesa comunitats"};
  for (int i = 1; i <= 3; ++i) {
    auto a = Blank<office::kRemittanceLength>();
    std::string code = Packed(i, 2);
    a[0] = static_cast<unsigned char>(code[0]);
    std::string date = Packed(20260100 + i, 8) + Packed(0, 12);  // bytes 1 to 10
    std::copy(date.begin(), date.end(), a.begin() + 1);
    std::string name = Cp(names[i - 1]);
    name.resize(30, ' ');
    std::copy(name.begin(), name.end(), a.begin() + 16);
    a[75] = static_cast<unsigned char>(Packed(0, 2)[0]);
    f.records.push_back(Bytes(a));
  }
  return f;
}

struct OwnerData {
  int key;
  const char* name;
  const char* address[3];
  int lastReceipt;
  std::vector<std::pair<int, int>> properties;  // number, VAT class
  const char* fiscalId;
};

struct PropertyData {
  int number;
  const char* street;
  const char* town;
  const char* province;
  char kind;  // 'P': units carry their own address
};

struct UnitData {
  int property;
  int unit;
  const char* tenant;
  const char* door;
  const char* secondLine;
  const char* collector;
  const char* street;  // own address, for properties of kind 'P'
  const char* town;
  const char* province;
  bool premises;
  int codeHigh;  // -1: never set (a byte below 128)
  char form;
  int codeLow;
  int periodicity;
  const char* collectionText;
  std::array<int, 10> fixed;
  std::array<std::pair<int, int>, 3> coded;  // code, amount
  std::array<int, 3> last;                   // code, count, amount
  bool withholding;
  char timing;
  const char* fiscalId;
  const char* iban;
  const char* mandates;  // kinds of the unit's mandates, in order
};

const OwnerData kOwners[] = {
    {1,
     "Puig i Soler*Maria Rosa",
     {"C. de la Creu, 12, 3r 1a", "17001 GIRONA", "GIRONA"},
     120,
     {{1, 0}, {2, 1}},
     "40123456-B"},
    {2,
     "Aiguaviva*Josep d'",
     {"Pl. de la Independència, 3", "17002 GIRONA", "GIRONA"},
     7,
     {{4, 0}},
     "77.889.900-K"},
    {3,
     "Immobiliària del Ter, SL",
     {"Av. de Sant Narcís, 40", "17005 GIRONA", "GIRONA"},
     2045,
     {{3, 0}, {5, 1}},
     "B17.555.444"},
    {4,
     "Olivé Bassols*Núria",
     {"Rambla Nova, 101, 5è", "43001 TARRAGONA", "TARRAGONA"},
     0,
     {{6, 0}},
     "39.876.543-Z"},
};

const PropertyData kProperties[] = {
    {1, "Major, 25*Carrer", "17001 GIRONA", "GIRONA", ' '},
    {2, "Àngel, 4*Plaça de l'", "17600 FIGUERES", "GIRONA", ' '},
    {3, "Mas Pla*Urbanització", "17240 LLAGOSTERA", "GIRONA", 'P'},
    {4, "Rambla, 8*La", "08002 BARCELONA", "BARCELONA", ' '},
    {5, "Hospital, 31*Carrer de l'", "43003 TARRAGONA", "TARRAGONA", ' '},
    {6, "Ter, 2*Passeig del", "17004 GIRONA", "GIRONA", ' '},
};

const UnitData kUnits[] = {
    {1,
     1,
     "Garcia Pons*Anna",
     "1r 1a",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     1,
     "",
     {65000, 4500, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "41234567-L",
     "ES76 2100 0418 4502 0005 1332",
     "P"},
    {1,
     2,
     "Martí*Jordi",
     "1r 2a",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     3,
     "",
     {180000, 13500, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{21, 24000}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     'V',
     "40999888-C",
     "ES91 0081 0200 2500 0123 4567",
     "CD"},
    {1,
     3,
     "Hospitalet*Lluïsa L'",
     "2n 1a",
     "A/A Sr. Pere Vila",
     "Sr. Vila (porter)",
     "",
     "",
     "",
     false,
     -1,
     'A',
     2,
     2,
     "",
     {98000, 9000, 2500, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     'M',
     "47111222-D",
     "",
     ""},
    {1,
     4,
     "Ribas*Carme",
     "2n 2a",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'F',
     1,
     1,
     "Ingrés al compte de la finca",
     {72000, 4500, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "40555666-F",
     "",
     ""},
    {2,
     0,
     "Forns Boix, SL",
     "Baixos",
     "Fleca i pastisseria",
     "",
     "",
     "",
     "",
     true,
     0,
     'B',
     2,
     1,
     "",
     {120000, 6000, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {35, 3000}, {0, 0}}},
     {0, 0, 0},
     true,
     ' ',
     "B17.123.456",
     "ES12 2038 8810 6160 0012 3456",
     "D"},
    {2,
     1,
     "Sánchez*Pedro",
     "Àtic",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'A',
     1,
     6,
     "",
     {300000, 0, 0, 38000, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "52444333-G",
     "",
     ""},
    {3,
     1,
     "Vives*Enric",
     "",
     "",
     "",
     "Roure, 5*Camí del",
     "17240 LLAGOSTERA",
     "GIRONA",
     false,
     0,
     'B',
     1,
     12,
     "",
     {0, 0, 0, 45000, 12000, 0, 0, 18000, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     'V',
     "40222111-H",
     "ES45 1465 0100 9119 0012 3456",
     "P"},
    {3,
     2,
     "Roca*Montserrat",
     "",
     "",
     "",
     "Alzina, 9*Carrer de l'",
     "",
     "",
     false,
     0,
     'A',
     3,
     12,
     "",
     {0, 0, 0, 45000, 12000, 0, 0, 18000, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     'M',
     "40333444-J",
     "",
     ""},
    {4,
     1,
     "Llibreria Gòtic, SCCL",
     "Local 1",
     "",
     "",
     "",
     "",
     "",
     true,
     0,
     'B',
     1,
     1,
     "",
     {250000, 15000, 0, 0, 0, 0, 0, 0, 12500, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {55, 2, 4200},
     true,
     ' ',
     "F08.765.432",
     "ES66 0049 1500 0512 3456 7892",
     "P"},
    {4,
     2,
     "Ortega Ruiz*Lucía",
     "Pral. 1a",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'A',
     1,
     3,
     "",
     {0, 18000, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {40, 15000}}},
     {0, 0, 0},
     false,
     ' ',
     "48777666-K",
     "",
     ""},
    {5,
     1,
     "Fonollosa*Ramon",
     "3r",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'F',
     1,
     1,
     "Domiciliat a la gestoria Bosch",
     {54000, 0, 3200, 0, 0, 2800, 1500, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "38111222-M",
     "",
     ""},
    {5,
     2,
     "Duran*Teresa",
     "4t",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'A',
     1,
     0,
     "",
     {54000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "38999000-N",
     "",
     ""},
    {6,
     1,
     "Castells*Jordi",
     "1r",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     1,
     "",
     {61000, 3000, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "40444555-P",
     "ES30 3025 0001 1914 3333 4444",
     ""},
    // Monthly domiciled receipts for the bank remittance, with a good
    // account, none, and one typed in lower case.
    {6,
     2,
     "Çanovas Núñez*Iñaki",
     "2n",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     1,
     "",
     {52000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "40666777-Q",
     "ES91 2100 0418 4502 0005 1332",
     "P"},
    {6,
     3,
     "Pérez Gómez*Àngela",
     "3r",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     1,
     "",
     {48000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "40777888-R",
     "",
     "D"},
    {6,
     4,
     "Ferrer i Bosch*Joan",
     "4t",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     'B',
     1,
     1,
     "",
     {45500, 2500, 0, 0, 0, 0, 0, 0, 0, 0},
     {{{0, 0}, {0, 0}, {0, 0}}},
     {0, 0, 0},
     false,
     ' ',
     "40888999-S",
     "es60 0049 1500 0512 3456 7892",
     "CP"},
};

std::string OwnerRecord(const OwnerData& o) {
  auto a = Blank<office::kOwnerLength>();
  office::PutField<office::owner_fields::kKey>(a, Packed(o.key, 4));
  office::PutField<office::owner_fields::kName>(a, Cp(o.name));
  office::PutField<office::owner_fields::kAddress1>(a, Cp(o.address[0]));
  office::PutField<office::owner_fields::kAddress2>(a, Cp(o.address[1]));
  office::PutField<office::owner_fields::kAddress3>(a, Cp(o.address[2]));
  PutField<owner_fields::kLastReceipt>(a, Packed(o.lastReceipt, 8));
  for (int k = 1; k <= office::OwnerView::kPropertyEntries; ++k) {
    office::PutPropertyEntry(a, k, {std::string(2, '\0'), 0});
  }
  int k = 1;
  for (const auto& [number, vatClass] : o.properties) {
    office::PutPropertyEntry(a, k++, {Packed(number, 4), static_cast<std::int16_t>(vatClass)});
  }
  PutField<owner_fields::kFiscalId>(a, Cp(o.fiscalId));
  return Bytes(a);
}

std::string PropertyRecord(const PropertyData& p) {
  auto a = Blank<office::kPropertyLength>();
  office::PutField<office::property_fields::kNumber>(a, Packed(p.number, 4));
  office::PutField<office::property_fields::kStreet>(a, Cp(p.street));
  office::PutField<office::property_fields::kTown>(a, Cp(p.town));
  office::PutField<office::property_fields::kProvince>(a, Cp(p.province));
  a[property_fields::kKind.offset] = static_cast<unsigned char>(p.kind);
  return Bytes(a);
}

std::string UnitRecord(const UnitData& u) {
  auto a = Blank<office::kUnitLength>();
  office::PutField<office::unit_fields::kKey>(a, Packed(u.property, 4) + Packed(u.unit, 4));
  office::PutField<office::unit_fields::kTenantName>(a, Cp(u.tenant));
  office::PutField<office::unit_fields::kDoor>(a, Cp(u.door));
  office::PutField<office::unit_fields::kSecondName>(a, Cp(u.secondLine));
  office::PutField<office::unit_fields::kCollector>(a, Cp(u.collector));
  PutField<unit_fields::kStreet>(a, Cp(u.street));
  PutField<unit_fields::kTown>(a, Cp(u.town));
  PutField<unit_fields::kProvince>(a, Cp(u.province));
  PutField<unit_fields::kPremises>(a, u.premises ? "S" : "N");
  PutField<unit_fields::kCodeHigh>(a,
                                   u.codeHigh < 0 ? std::string(1, '\0') : Packed(u.codeHigh, 2));
  PutField<unit_fields::kForm>(a, std::string(1, u.form));
  PutField<unit_fields::kCodeLow>(a, Packed(u.codeLow, 2));
  office::PutPeriodicity(a, static_cast<std::int16_t>(u.periodicity));
  PutField<unit_fields::kCollectionText>(a, Cp(u.collectionText));
  office::Charges c;
  for (int i = 0; i < 10; ++i) c.fixedAmounts[i] = u.fixed[i];
  for (int i = 0; i < 3; ++i) {
    c.coded[i].code = static_cast<std::int16_t>(u.coded[i].first);
    c.coded[i].amount = u.coded[i].second;
  }
  c.coded[3] = {static_cast<std::int16_t>(u.last[0]), static_cast<std::int16_t>(u.last[1]),
                u.last[2]};
  office::PutCharges(a, c);
  PutField<unit_fields::kWithholding>(a, u.withholding ? "S" : "N");
  PutField<unit_fields::kTiming>(a, std::string(1, u.timing));
  PutField<unit_fields::kFiscalId>(a, Cp(u.fiscalId));
  PutField<unit_fields::kBankAccount>(a, Cp(u.iban));
  return Bytes(a);
}

std::string MandateRecord(const std::string& unitKey, int sequence, char kind) {
  auto a = Blank<office::kMandateLength>();
  office::PutField<office::mandate_fields::kUnitKey>(a, unitKey);
  std::string reference = Packed(sequence, 4);
  std::copy(reference.begin(), reference.end(), a.begin() + 4);
  a[mandate_fields::kKind.offset] = static_cast<unsigned char>(kind);
  return Bytes(a);
}

// The units the generated office copies: the demo units of the first six
// properties, so that units added later leave the benchmarks' office as it was.
constexpr int kBulkPatterns = 13;

// A good Spanish account for generated unit n, written in groups of four
// like the demo's (the same length, so the receipts keep their size).
std::string GeneratedIban(int n) {
  char bban[24];
  std::snprintf(bban, sizeof bban, "2100041845%010d", n % 1000000000);
  const int check = 98 - remittance::Mod97(std::string(bban) + "ES00");
  char iban[40];
  std::snprintf(iban, sizeof iban, "ES%02d %.4s %.4s %.4s %.4s %.4s", check, bban, bban + 4,
                bban + 8, bban + 12, bban + 16);
  return iban;
}

// Generated owners for benchmarks: each with its own properties and units,
// cycling through periodicities (or all monthly), timing letters and forms;
// the bank units carry good accounts and a mandate, for the remittance.
void AddBulk(const BulkSize& bulk, RecordFile& owners, RecordFile& properties, RecordFile& units,
             RecordFile& mandates) {
  const int perOwner = std::clamp(bulk.propertiesPerOwner, 1, 20);
  const int perProperty = std::clamp(bulk.unitsPerProperty, 1, 999);
  const int periodicities[] = {1, 1, 1, 2, 3, 3, 4, 6, 12};
  const char timings[] = {' ', 'V', 'M'};
  const char forms[] = {'A', 'B', 'F', 'B'};
  int property = 100;
  for (int o = 0; o < bulk.owners && property + perOwner <= 9999; ++o) {
    OwnerData owner = kOwners[o % 4];
    owner.key = 100 + o;
    owner.properties.clear();
    for (int p = 0; p < perOwner; ++p) owner.properties.push_back({property + p, o % 2});
    owners.records.push_back(OwnerRecord(owner));
    for (int p = 0; p < perOwner; ++p, ++property) {
      PropertyData pd = kProperties[property % 6];
      pd.number = property;
      properties.records.push_back(PropertyRecord(pd));
      for (int u = 1; u <= perProperty; ++u) {
        UnitData ud = kUnits[(property + u) % kBulkPatterns];
        ud.property = property;
        ud.unit = u;
        ud.periodicity = bulk.monthlyOnly ? 1 : periodicities[(property + u) % 9];
        ud.timing = timings[u % 3];
        ud.form = forms[(property + u) % 4];
        const std::string iban = GeneratedIban(property * 1000 + u);
        if (ud.form == 'B') ud.iban = iban.c_str();
        std::string unit = UnitRecord(ud);
        units.records.push_back(unit);
        if (ud.form == 'B') mandates.records.push_back(MandateRecord(unit.substr(0, 4), 1, 'P'));
      }
    }
  }
}

}  // namespace

std::vector<RecordFile> BuildDemoRecords(const BulkSize& bulk) {
  RecordFile owners{"PropietV", office::kOwnerLength, {1, 2, false}, {}};
  RecordFile properties{"FinquesV", office::kPropertyLength, {1, 2, false}, {}};
  RecordFile units{"DepartaV", office::kUnitLength, {1, 4, false}, {}};
  RecordFile mandates{"CobramV", office::kMandateLength, {1, 4, true}, {}};
  for (const OwnerData& o : kOwners) owners.records.push_back(OwnerRecord(o));
  for (const PropertyData& p : kProperties) properties.records.push_back(PropertyRecord(p));
  for (const UnitData& u : kUnits) {
    std::string unit = UnitRecord(u);
    units.records.push_back(unit);
    int sequence = 1;
    for (const char* k = u.mandates; *k != 0; ++k) {
      mandates.records.push_back(MandateRecord(unit.substr(0, 4), sequence++, *k));
    }
  }
  AddBulk(bulk, owners, properties, units, mandates);
  return {ConceptTypes(), Remittances(), owners, properties, units, mandates};
}

std::string SequentialText(const RecordFile& file) {
  std::string out;
  for (const std::string& r : file.records) out += std::to_string(r.size()) + "," + r + "\r\n";
  return out;
}

std::string KeyDescription(const RecordFile& file) {
  return "# " + file.name + ": key 0 as the issuing run reads it\nrecord " +
         std::to_string(file.recordLength) + "\nkey" + (file.key.duplicates ? " dup" : "") + ": " +
         std::to_string(file.key.position) + "+" + std::to_string(file.key.length) + " string\n";
}

}  // namespace demo
