// The submission document read back with libxml2: element names,
// namespaces, order and values, each fingerprint recomputed from the values
// read, and each record linked to the one before it.
#include "verifactu/submission.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <string>
#include <vector>

#include "../support/temp_dir.h"
#include "verifactu/fingerprint.h"

namespace verifactu {
namespace {

constexpr char kMessageNs[] =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/aeat/"
    "tike/cont/ws/SuministroLR.xsd";
constexpr char kInformationNs[] =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/aeat/"
    "tike/cont/ws/SuministroInformacion.xsd";

using Lines = std::vector<std::string>;

std::string Name(const xmlNode* n) {
  const std::string ns = n->ns ? reinterpret_cast<const char*>(n->ns->href) : "";
  const char* label = ns == kMessageNs ? "lr:" : ns == kInformationNs ? "sf:" : "?:";
  return label + std::string(reinterpret_cast<const char*>(n->name));
}

// Every leaf under node as "lr:A/sf:B=value", in document order.
void Flatten(const xmlNode* node, const std::string& path, Lines& out) {
  for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    bool leaf = true;
    for (const xmlNode* g = c->children; g != nullptr; g = g->next) {
      leaf = leaf && g->type != XML_ELEMENT_NODE;
    }
    if (leaf) {
      xmlChar* text = xmlNodeGetContent(c);
      out.push_back(path + Name(c) + "=" + reinterpret_cast<const char*>(text));
      xmlFree(text);
    } else {
      Flatten(c, path + Name(c) + "/", out);
    }
  }
}

// The value of the first line with this path; "" when there is none.
std::string Value(const Lines& lines, const std::string& path) {
  for (const std::string& l : lines) {
    if (l.compare(0, path.size() + 1, path + "=") == 0) return l.substr(path.size() + 1);
  }
  return {};
}

struct Parsed {
  std::string root;
  std::string rootPrefix;
  Lines header;
  std::vector<Lines> entries;  // one per RegistroFactura
};

Parsed Parse(const std::string& xml) {
  Parsed p;
  xmlDoc* doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, 0);
  if (doc == nullptr) return p;
  const xmlNode* root = xmlDocGetRootElement(doc);
  p.root = Name(root);
  p.rootPrefix =
      root->ns && root->ns->prefix ? reinterpret_cast<const char*>(root->ns->prefix) : "";
  for (const xmlNode* c = root->children; c != nullptr; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    Lines lines;
    Flatten(c, Name(c) + "/", lines);
    if (Name(c) == "lr:Cabecera") {
      p.header = lines;
    } else {
      p.entries.push_back(lines);
    }
  }
  xmlFreeDoc(doc);
  return p;
}

SystemIdentity System() {
  SystemIdentity s = TestSystemIdentity();
  s.producerName = "PROGRAMARI DEL TER, SL";
  s.producerNif = "B55555555";
  s.version = "1.0.0";
  s.installationNumber = "20270101-1";
  s.test = false;
  return s;
}

Registration Receipt(const std::string& number, std::optional<Recipient> tenant,
                     std::vector<TaxLine> lines, const std::string& time) {
  Registration r;
  r.invoice = {"B17654321", "QA" + number, "05-01-2027"};
  r.issuerName = "FINQUES CA\xA5\x45LLAS, SL";  // "CAÑELLAS" in code page 850
  r.recipient = std::move(tenant);
  r.description = "Lloguer gener 2027";
  r.lines = std::move(lines);
  r.system = System();
  r.generationTime = time;
  return r;
}

template <typename Record>
void Seal(Record& r, const std::vector<BillingRecord>& chain) {
  if (!chain.empty()) r.previous = LinkTo(chain.back());
  r.fingerprint = Fingerprint(r);
}

// A first receipt of a dwelling, a receipt of premises to a tenant with a
// passport, the first one cancelled, and a correction of a receipt to a
// tenant with no identifier.
Submission ChainOfFour(std::vector<BillingRecord>* kept = nullptr) {
  Submission s;
  std::vector<BillingRecord> chain;
  s.header = {{"FINQUES CA\xA5\x45LLAS, SL", "B17654321"},
              {"ADMINISTRACI\xE0 DE FINQUES DEL TER", "B12345674"},
              true};
  Registration dwelling = Receipt("00000121", TenantRecipient("PUIG I SOLER, ANNA", "12345678Z"),
                                  {ExemptDwellingRent(65000)}, "2027-01-05T10:00:00+01:00");
  Seal(dwelling, chain);
  chain.push_back(dwelling);
  Registration premises = Receipt("00000122", TenantRecipient("SMITH, JOHN", "533380006"),
                                  {TaxedLine(kBusinessPremisesRegime, 2100, 100000, 21000)},
                                  "2027-01-05T10:00:01+01:00");
  Seal(premises, chain);
  chain.push_back(premises);
  Cancellation cancelled;
  cancelled.invoice = dwelling.invoice;
  cancelled.system = System();
  cancelled.generationTime = "2027-01-05T10:05:00+01:00";
  Seal(cancelled, chain);
  chain.push_back(cancelled);
  Registration corrected = Receipt("00000123", TenantRecipient("SENSE DOCUMENT", ""),
                                   {ExemptDwellingRent(40000)}, "2027-01-05T10:06:00+01:00");
  corrected.correction = {true, "S"};
  Seal(corrected, chain);
  chain.push_back(corrected);
  for (const BillingRecord& record : chain) s.records.push_back(RecordXml(record));
  if (kept != nullptr) *kept = chain;
  return s;
}

TEST(Submission, HeaderAndFirstRegistrationFollowTheSchema) {
  std::vector<BillingRecord> chain;
  const Submission s = ChainOfFour(&chain);
  const Parsed p = Parse(SubmissionXml(s));
  EXPECT_EQ(p.root, "lr:RegFactuSistemaFacturacion");
  EXPECT_EQ(p.rootPrefix, "sum");
  EXPECT_EQ(
      p.header,
      (Lines{
          "lr:Cabecera/sf:ObligadoEmision/sf:NombreRazon=FINQUES CA\xC3\x91\x45LLAS, SL",
          "lr:Cabecera/sf:ObligadoEmision/sf:NIF=B17654321",
          "lr:Cabecera/sf:Representante/sf:NombreRazon=ADMINISTRACI\xC3\x93 DE FINQUES DEL TER",
          "lr:Cabecera/sf:Representante/sf:NIF=B12345674",
          "lr:Cabecera/sf:RemisionVoluntaria/sf:Incidencia=S",
      }));
  ASSERT_EQ(p.entries.size(), 4u);
  const std::string a = "lr:RegistroFactura/sf:RegistroAlta/";
  EXPECT_EQ(p.entries[0],
            (Lines{
                a + "sf:IDVersion=1.0",
                a + "sf:IDFactura/sf:IDEmisorFactura=B17654321",
                a + "sf:IDFactura/sf:NumSerieFactura=QA00000121",
                a + "sf:IDFactura/sf:FechaExpedicionFactura=05-01-2027",
                a + "sf:NombreRazonEmisor=FINQUES CA\xC3\x91\x45LLAS, SL",
                a + "sf:TipoFactura=F1",
                a + "sf:DescripcionOperacion=Lloguer gener 2027",
                a + "sf:Destinatarios/sf:IDDestinatario/sf:NombreRazon=PUIG I SOLER, ANNA",
                a + "sf:Destinatarios/sf:IDDestinatario/sf:NIF=12345678Z",
                a + "sf:Desglose/sf:DetalleDesglose/sf:ClaveRegimen=01",
                a + "sf:Desglose/sf:DetalleDesglose/sf:OperacionExenta=E1",
                a + "sf:Desglose/sf:DetalleDesglose/sf:BaseImponibleOimporteNoSujeto=650.00",
                a + "sf:CuotaTotal=0.00",
                a + "sf:ImporteTotal=650.00",
                a + "sf:Encadenamiento/sf:PrimerRegistro=S",
                a + "sf:SistemaInformatico/sf:NombreRazon=PROGRAMARI DEL TER, SL",
                a + "sf:SistemaInformatico/sf:NIF=B55555555",
                a + "sf:SistemaInformatico/sf:NombreSistemaInformatico=QANTIRES",
                a + "sf:SistemaInformatico/sf:IdSistemaInformatico=QT",
                a + "sf:SistemaInformatico/sf:Version=1.0.0",
                a + "sf:SistemaInformatico/sf:NumeroInstalacion=20270101-1",
                a + "sf:SistemaInformatico/sf:TipoUsoPosibleSoloVerifactu=S",
                a + "sf:SistemaInformatico/sf:TipoUsoPosibleMultiOT=S",
                a + "sf:SistemaInformatico/sf:IndicadorMultiplesOT=S",
                a + "sf:FechaHoraHusoGenRegistro=2027-01-05T10:00:00+01:00",
                a + "sf:TipoHuella=01",
                a + "sf:Huella=" + std::get<Registration>(chain[0]).fingerprint,
            }));
}

// The element names of a record's first level, in order.
Lines Heads(const Lines& lines) {
  Lines out;
  for (const std::string& l : lines) {
    const size_t from =
        l.find('/', l.find('/') + 1) + 1;  // past lr:RegistroFactura/sf:Registro.../
    const std::string head = l.substr(from, l.find_first_of("/=", from) - from);
    if (out.empty() || out.back() != head) out.push_back(head);
  }
  return out;
}

TEST(Submission, OtherRecordsKeepTheirOrderAndMarks) {
  const Parsed p = Parse(SubmissionXml(ChainOfFour()));
  ASSERT_EQ(p.entries.size(), 4u);
  EXPECT_EQ(Heads(p.entries[2]),
            (Lines{"sf:IDVersion", "sf:IDFactura", "sf:Encadenamiento", "sf:SistemaInformatico",
                   "sf:FechaHoraHusoGenRegistro", "sf:TipoHuella", "sf:Huella"}));
  EXPECT_EQ(Heads(p.entries[3]),
            (Lines{"sf:IDVersion", "sf:IDFactura", "sf:NombreRazonEmisor", "sf:Subsanacion",
                   "sf:RechazoPrevio", "sf:TipoFactura", "sf:DescripcionOperacion",
                   "sf:FacturaSinIdentifDestinatarioArt61d", "sf:Desglose", "sf:CuotaTotal",
                   "sf:ImporteTotal", "sf:Encadenamiento", "sf:SistemaInformatico",
                   "sf:FechaHoraHusoGenRegistro", "sf:TipoHuella", "sf:Huella"}));
  const std::string a = "lr:RegistroFactura/sf:RegistroAlta/";
  EXPECT_EQ(Value(p.entries[3], a + "sf:TipoFactura"), "F2");
  const Lines& premises = p.entries[1];
  const std::string tenant = a + "sf:Destinatarios/sf:IDDestinatario/sf:IDOtro/";
  EXPECT_EQ(Value(premises, tenant + "sf:CodigoPais"), "ES");
  EXPECT_EQ(Value(premises, tenant + "sf:IDType"), "03");
  EXPECT_EQ(Value(premises, tenant + "sf:ID"), "533380006");
  const std::string line = a + "sf:Desglose/sf:DetalleDesglose/";
  EXPECT_EQ(Value(premises, line + "sf:ClaveRegimen"), "11");
  EXPECT_EQ(Value(premises, line + "sf:CalificacionOperacion"), "S1");
  EXPECT_EQ(Value(premises, line + "sf:TipoImpositivo"), "21.00");
  EXPECT_EQ(Value(premises, line + "sf:CuotaRepercutida"), "210.00");
  EXPECT_EQ(Value(premises, a + "sf:ImporteTotal"), "1210.00");
}

TEST(Submission, FingerprintsRecomputeFromTheDocumentAndLinkTheChain) {
  const Parsed p = Parse(SubmissionXml(ChainOfFour()));
  ASSERT_EQ(p.entries.size(), 4u);
  std::string previousId, previousFingerprint;
  for (const Lines& e : p.entries) {
    const bool alta = e.front().find("sf:RegistroAlta/") != std::string::npos;
    const std::string r =
        std::string("lr:RegistroFactura/") + (alta ? "sf:RegistroAlta/" : "sf:RegistroAnulacion/");
    const std::string id = r + "sf:IDFactura/sf:";
    const std::string suffix = alta ? "" : "Anulada";
    const std::string nif = Value(e, id + "IDEmisorFactura" + suffix);
    const std::string number = Value(e, id + "NumSerieFactura" + suffix);
    const std::string date = Value(e, id + "FechaExpedicionFactura" + suffix);
    const std::string link = r + "sf:Encadenamiento/sf:RegistroAnterior/sf:";
    const std::string previous = Value(e, link + "Huella");
    const std::string time = Value(e, r + "sf:FechaHoraHusoGenRegistro");
    const std::string expected =
        alta ? Fingerprint(RegistrationFields{nif, number, date, Value(e, r + "sf:TipoFactura"),
                                              Value(e, r + "sf:CuotaTotal"),
                                              Value(e, r + "sf:ImporteTotal"), previous, time})
             : Fingerprint(CancellationFields{nif, number, date, previous, time});
    EXPECT_EQ(Value(e, r + "sf:Huella"), expected) << number;
    EXPECT_EQ(previous, previousFingerprint) << number;
    if (!previousId.empty()) {
      EXPECT_EQ(Value(e, link + "IDEmisorFactura") + "|" + Value(e, link + "NumSerieFactura") +
                    "|" + Value(e, link + "FechaExpedicionFactura"),
                previousId);
    }
    previousId = nif + "|" + number + "|" + date;
    previousFingerprint = Value(e, r + "sf:Huella");
  }
}

TEST(Submission, HoldsOneToAThousandRecordsAndWritesThemWhole) {
  Submission s = ChainOfFour();
  testing_support::TempDir dir;
  ASSERT_TRUE(WriteSubmission(dir.Sub("envio.xml"), s));
  EXPECT_EQ(dir.Read("envio.xml"), SubmissionXml(s));

  s.records.resize(kMaxRecordsPerSubmission + 1, s.records.back());
  EXPECT_EQ(SubmissionXml(s), "");
  EXPECT_FALSE(WriteSubmission(dir.Sub("massa.xml"), s));
  s.records.clear();
  EXPECT_EQ(SubmissionXml(s), "");
  s.records.resize(kMaxRecordsPerSubmission, ChainOfFour().records.front());
  EXPECT_EQ(Parse(SubmissionXml(s)).entries.size(), kMaxRecordsPerSubmission);
}

}  // namespace
}  // namespace verifactu
