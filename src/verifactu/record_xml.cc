// The record elements in the order the information schema fixes.  Values
// come from values.h, as the fingerprint's do; texts are cut to the
// schema's lengths.  Optional elements whose value is the default ("N") are
// left out.
#include "verifactu/record_xml.h"

#include "verifactu/values.h"

namespace verifactu::internal {
namespace {

constexpr char kSchemaVersion[] = "1.0";  // IDVersion
constexpr char kSha256[] = "01";          // TipoHuella
constexpr size_t kNameLength = 120;
constexpr size_t kDescriptionLength = 500;
constexpr size_t kOtherIdLength = 20;

std::string YesNo(bool yes) {
  return yes ? "S" : "N";
}

void WriteIdentity(XmlWriter& x, const SystemIdentity& s) {
  x.Open("SistemaInformatico");
  x.Element("NombreRazon", RecordText(s.producerName, kNameLength));
  x.Element("NIF", RecordText(s.producerNif));
  x.Element("NombreSistemaInformatico", RecordText(s.systemName, 30));
  x.Element("IdSistemaInformatico", RecordText(s.systemId, 2));
  x.Element("Version", RecordText(s.version, 50));
  x.Element("NumeroInstalacion", RecordText(s.installationNumber, 100));
  x.Element("TipoUsoPosibleSoloVerifactu", YesNo(s.onlyVerifactu));
  x.Element("TipoUsoPosibleMultiOT", YesNo(s.severalTaxpayersPossible));
  x.Element("IndicadorMultiplesOT", YesNo(s.severalTaxpayers));
  x.Close();
}

void WriteChain(XmlWriter& x, const std::optional<PreviousRecord>& previous) {
  x.Open("Encadenamiento");
  if (!previous) {
    x.Element("PrimerRegistro", "S");
  } else {
    x.Open("RegistroAnterior");
    x.Element("IDEmisorFactura", RecordText(previous->invoice.issuerNif));
    x.Element("NumSerieFactura", RecordText(previous->invoice.seriesNumber));
    x.Element("FechaExpedicionFactura", RecordText(previous->invoice.issueDate));
    x.Element("Huella", RecordText(previous->fingerprint));
    x.Close();
  }
  x.Close();
}

// What every record ends with: chain, system, time and fingerprint.
void WriteTail(XmlWriter& x, const std::optional<PreviousRecord>& previous,
               const SystemIdentity& system, const std::string& generationTime,
               const std::string& fingerprint) {
  WriteChain(x, previous);
  WriteIdentity(x, system);
  x.Element("FechaHoraHusoGenRegistro", RecordText(generationTime));
  x.Element("TipoHuella", kSha256);
  x.Element("Huella", RecordText(fingerprint));
}

void WriteRecipient(XmlWriter& x, const Recipient& r) {
  x.Open("Destinatarios");
  x.Open("IDDestinatario");
  x.Element("NombreRazon", RecordText(r.name, kNameLength));
  if (!r.nif.empty()) {
    x.Element("NIF", RecordText(r.nif));
  } else {
    x.Open("IDOtro");
    x.Element("CodigoPais", RecordText(r.other.country));
    x.Element("IDType", RecordText(r.other.idType));
    x.Element("ID", RecordText(r.other.id, kOtherIdLength));
    x.Close();
  }
  x.Close();
  x.Close();
}

void WriteLine(XmlWriter& x, const TaxLine& line) {
  x.Open("DetalleDesglose");
  x.Element("ClaveRegimen", RecordText(line.regimeKey));
  if (!line.qualification.empty()) {
    x.Element("CalificacionOperacion", RecordText(line.qualification));
    x.Element("TipoImpositivo", DecimalText(line.rate));
    x.Element("BaseImponibleOimporteNoSujeto", DecimalText(line.baseCents));
    x.Element("CuotaRepercutida", DecimalText(line.taxCents));
  } else {
    // An exempt line carries neither rate nor tax.
    x.Element("OperacionExenta", RecordText(line.exemptionCause));
    x.Element("BaseImponibleOimporteNoSujeto", DecimalText(line.baseCents));
  }
  x.Close();
}

void WriteRegistration(XmlWriter& x, const Registration& r) {
  x.Open("RegistroAlta");
  x.Element("IDVersion", kSchemaVersion);
  x.Open("IDFactura");
  x.Element("IDEmisorFactura", RecordText(r.invoice.issuerNif));
  x.Element("NumSerieFactura", RecordText(r.invoice.seriesNumber));
  x.Element("FechaExpedicionFactura", RecordText(r.invoice.issueDate));
  x.Close();
  x.Element("NombreRazonEmisor", RecordText(r.issuerName, kNameLength));
  if (r.correction.amends) x.Element("Subsanacion", "S");
  if (!r.correction.previousRejection.empty()) {
    x.Element("RechazoPrevio", RecordText(r.correction.previousRejection));
  }
  x.Element("TipoFactura", InvoiceType(r));
  x.Element("DescripcionOperacion", RecordText(r.description, kDescriptionLength));
  if (r.recipient) {
    WriteRecipient(x, *r.recipient);
  } else {
    x.Element("FacturaSinIdentifDestinatarioArt61d", "S");
  }
  x.Open("Desglose");
  for (const TaxLine& line : r.lines) WriteLine(x, line);
  x.Close();
  x.Element("CuotaTotal", DecimalText(TotalTax(r)));
  x.Element("ImporteTotal", DecimalText(TotalAmount(r)));
  WriteTail(x, r.previous, r.system, r.generationTime, r.fingerprint);
  x.Close();
}

void WriteCancellation(XmlWriter& x, const Cancellation& c) {
  x.Open("RegistroAnulacion");
  x.Element("IDVersion", kSchemaVersion);
  x.Open("IDFactura");
  x.Element("IDEmisorFacturaAnulada", RecordText(c.invoice.issuerNif));
  x.Element("NumSerieFacturaAnulada", RecordText(c.invoice.seriesNumber));
  x.Element("FechaExpedicionFacturaAnulada", RecordText(c.invoice.issueDate));
  x.Close();
  if (!c.previousRejection.empty()) x.Element("RechazoPrevio", RecordText(c.previousRejection));
  WriteTail(x, c.previous, c.system, c.generationTime, c.fingerprint);
  x.Close();
}

}  // namespace

void WriteRecord(XmlWriter& x, const BillingRecord& record) {
  if (const auto* r = std::get_if<Registration>(&record)) {
    WriteRegistration(x, *r);
  } else {
    WriteCancellation(x, std::get<Cancellation>(record));
  }
}

}  // namespace verifactu::internal
