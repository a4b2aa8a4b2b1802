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

// The records below name each field they set; a field left out keeps the
// value given here (no text, no amount).
struct OwnerData {
  int key = 0;
  const char* name = "";
  const char* address[3] = {"", "", ""};
  int lastReceipt = 0;
  std::vector<std::pair<int, int>> properties;  // number, VAT class
  const char* fiscalId = "";
};

struct PropertyData {
  int number = 0;
  const char* street = "";
  const char* town = "";
  const char* province = "";
  char kind = ' ';  // 'P': units carry their own address
};

struct UnitData {
  int property = 0;
  int unit = 0;
  const char* tenant = "";
  const char* door = "";
  const char* secondLine = "";
  const char* collector = "";
  const char* street = "";  // own address, for properties of kind 'P'
  const char* town = "";
  const char* province = "";
  bool premises = false;
  int codeHigh = 0;  // -1: never set (a byte below 128)
  char form = ' ';
  int codeLow = 0;
  int periodicity = 0;
  const char* collectionText = "";
  std::array<int, 10> fixed{};
  std::array<std::pair<int, int>, 3> coded{};  // code, amount
  std::array<int, 3> last{};                   // code, count, amount
  bool withholding = false;
  char timing = ' ';
  const char* fiscalId = "";
  const char* iban = "";
  const char* mandates = "";  // kinds of the unit's mandates, in order
};

const OwnerData kOwners[] = {
    {
        .key = 1,
        .name = "Puig i Soler*Maria Rosa",
        .address = {"C. de la Creu, 12, 3r 1a", "17001 GIRONA", "GIRONA"},
        .lastReceipt = 120,
        .properties = {{1, 0}, {2, 1}},
        .fiscalId = "40123456-B",
    },
    {
        .key = 2,
        .name = "Aiguaviva*Josep d'",
        .address = {"Pl. de la Independència, 3", "17002 GIRONA", "GIRONA"},
        .lastReceipt = 7,
        .properties = {{4, 0}},
        .fiscalId = "77.889.900-K",
    },
    {
        .key = 3,
        .name = "Immobiliària del Ter, SL",
        .address = {"Av. de Sant Narcís, 40", "17005 GIRONA", "GIRONA"},
        .lastReceipt = 2045,
        .properties = {{3, 0}, {5, 1}},
        .fiscalId = "B17.555.444",
    },
    {
        .key = 4,
        .name = "Olivé Bassols*Núria",
        .address = {"Rambla Nova, 101, 5è", "43001 TARRAGONA", "TARRAGONA"},
        .properties = {{6, 0}},
        .fiscalId = "39.876.543-Z",
    },
};

const PropertyData kProperties[] = {
    {
        .number = 1,
        .street = "Major, 25*Carrer",
        .town = "17001 GIRONA",
        .province = "GIRONA",
    },
    {
        .number = 2,
        .street = "Àngel, 4*Plaça de l'",
        .town = "17600 FIGUERES",
        .province = "GIRONA",
    },
    {
        .number = 3,
        .street = "Mas Pla*Urbanització",
        .town = "17240 LLAGOSTERA",
        .province = "GIRONA",
        .kind = 'P',
    },
    {
        .number = 4,
        .street = "Rambla, 8*La",
        .town = "08002 BARCELONA",
        .province = "BARCELONA",
    },
    {
        .number = 5,
        .street = "Hospital, 31*Carrer de l'",
        .town = "43003 TARRAGONA",
        .province = "TARRAGONA",
    },
    {
        .number = 6,
        .street = "Ter, 2*Passeig del",
        .town = "17004 GIRONA",
        .province = "GIRONA",
    },
};

const UnitData kUnits[] = {
    {
        .property = 1,
        .unit = 1,
        .tenant = "Garcia Pons*Anna",
        .door = "1r 1a",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {65000, 4500, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "41234567-L",
        .iban = "ES76 2100 0418 4502 0005 1332",
        .mandates = "P",
    },
    {
        .property = 1,
        .unit = 2,
        .tenant = "Martí*Jordi",
        .door = "1r 2a",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 3,
        .fixed = {180000, 13500, 0, 0, 0, 0, 0, 0, 0, 0},
        .coded = {{{21, 24000}, {0, 0}, {0, 0}}},
        .timing = 'V',
        .fiscalId = "40999888-C",
        .iban = "ES91 0081 0200 2500 0123 4567",
        .mandates = "CD",
    },
    {
        .property = 1,
        .unit = 3,
        .tenant = "Hospitalet*Lluïsa L'",
        .door = "2n 1a",
        .secondLine = "A/A Sr. Pere Vila",
        .collector = "Sr. Vila (porter)",
        .codeHigh = -1,
        .form = 'A',
        .codeLow = 2,
        .periodicity = 2,
        .fixed = {98000, 9000, 2500, 0, 0, 0, 0, 0, 0, 0},
        .timing = 'M',
        .fiscalId = "47111222-D",
    },
    {
        .property = 1,
        .unit = 4,
        .tenant = "Ribas*Carme",
        .door = "2n 2a",
        .form = 'F',
        .codeLow = 1,
        .periodicity = 1,
        .collectionText = "Ingrés al compte de la finca",
        .fixed = {72000, 4500, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "40555666-F",
    },
    {
        .property = 2,
        .unit = 0,
        .tenant = "Forns Boix, SL",
        .door = "Baixos",
        .secondLine = "Fleca i pastisseria",
        .premises = true,
        .form = 'B',
        .codeLow = 2,
        .periodicity = 1,
        .fixed = {120000, 6000, 0, 0, 0, 0, 0, 0, 0, 0},
        .coded = {{{0, 0}, {35, 3000}, {0, 0}}},
        .withholding = true,
        .fiscalId = "B17.123.456",
        .iban = "ES12 2038 8810 6160 0012 3456",
        .mandates = "D",
    },
    {
        .property = 2,
        .unit = 1,
        .tenant = "Sánchez*Pedro",
        .door = "Àtic",
        .form = 'A',
        .codeLow = 1,
        .periodicity = 6,
        .fixed = {300000, 0, 0, 38000, 0, 0, 0, 0, 0, 0},
        .fiscalId = "52444333-G",
    },
    {
        .property = 3,
        .unit = 1,
        .tenant = "Vives*Enric",
        .street = "Roure, 5*Camí del",
        .town = "17240 LLAGOSTERA",
        .province = "GIRONA",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 12,
        .fixed = {0, 0, 0, 45000, 12000, 0, 0, 18000, 0, 0},
        .timing = 'V',
        .fiscalId = "40222111-H",
        .iban = "ES45 1465 0100 9119 0012 3456",
        .mandates = "P",
    },
    {
        .property = 3,
        .unit = 2,
        .tenant = "Roca*Montserrat",
        .street = "Alzina, 9*Carrer de l'",
        .form = 'A',
        .codeLow = 3,
        .periodicity = 12,
        .fixed = {0, 0, 0, 45000, 12000, 0, 0, 18000, 0, 0},
        .timing = 'M',
        .fiscalId = "40333444-J",
    },
    {
        .property = 4,
        .unit = 1,
        .tenant = "Llibreria Gòtic, SCCL",
        .door = "Local 1",
        .premises = true,
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {250000, 15000, 0, 0, 0, 0, 0, 0, 12500, 0},
        .last = {55, 2, 4200},
        .withholding = true,
        .fiscalId = "F08.765.432",
        .iban = "ES66 0049 1500 0512 3456 7892",
        .mandates = "P",
    },
    {
        .property = 4,
        .unit = 2,
        .tenant = "Ortega Ruiz*Lucía",
        .door = "Pral. 1a",
        .form = 'A',
        .codeLow = 1,
        .periodicity = 3,
        .fixed = {0, 18000, 0, 0, 0, 0, 0, 0, 0, 0},
        .coded = {{{0, 0}, {0, 0}, {40, 15000}}},
        .fiscalId = "48777666-K",
    },
    {
        .property = 5,
        .unit = 1,
        .tenant = "Fonollosa*Ramon",
        .door = "3r",
        .form = 'F',
        .codeLow = 1,
        .periodicity = 1,
        .collectionText = "Domiciliat a la gestoria Bosch",
        .fixed = {54000, 0, 3200, 0, 0, 2800, 1500, 0, 0, 0},
        .fiscalId = "38111222-M",
    },
    {
        .property = 5,
        .unit = 2,
        .tenant = "Duran*Teresa",
        .door = "4t",
        .form = 'A',
        .codeLow = 1,
        .periodicity = 0,
        .fixed = {54000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "38999000-N",
    },
    {
        .property = 6,
        .unit = 1,
        .tenant = "Castells*Jordi",
        .door = "1r",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {61000, 3000, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "40444555-P",
        .iban = "ES30 3025 0001 1914 3333 4444",
    },
    // Monthly domiciled receipts for the bank remittance, with a good
    // account, none, and one typed in lower case.
    {
        .property = 6,
        .unit = 2,
        .tenant = "Çanovas Núñez*Iñaki",
        .door = "2n",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {52000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "40666777-Q",
        .iban = "ES91 2100 0418 4502 0005 1332",
        .mandates = "P",
    },
    {
        .property = 6,
        .unit = 3,
        .tenant = "Pérez Gómez*Àngela",
        .door = "3r",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {48000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "40777888-R",
        .mandates = "D",
    },
    {
        .property = 6,
        .unit = 4,
        .tenant = "Ferrer i Bosch*Joan",
        .door = "4t",
        .form = 'B',
        .codeLow = 1,
        .periodicity = 1,
        .fixed = {45500, 2500, 0, 0, 0, 0, 0, 0, 0, 0},
        .fiscalId = "40888999-S",
        .iban = "es60 0049 1500 0512 3456 7892",
        .mandates = "CP",
    },
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

void GiveOwnersValidTaxIds(std::vector<RecordFile>& files) {
  for (RecordFile& f : files) {
    if (f.name != "PropietV") continue;
    long long dni = 40000000;
    for (std::string& record : f.records) {
      ++dni;
      std::string nif = std::to_string(dni) + "TRWAGMYFPDXBNJZSQVHLCKE"[dni % 23];
      nif.resize(office::owner_fields::kFiscalId.width, ' ');
      record.replace(office::owner_fields::kFiscalId.offset, nif.size(), nif);
    }
  }
}

}  // namespace demo
