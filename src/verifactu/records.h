// The billing records the tax agency's VERI*FACTU scheme asks for each
// receipt: a registration record (registro de alta) when the receipt is
// issued and a cancellation record (registro de anulación) when it is
// cancelled, chained per issuer.  Value types only: who stores and chains
// them, and who sends them, lives in the layers above.
//
// Texts are code page 850 as everywhere in the program; they become UTF-8,
// trimmed of spaces, only in the fingerprint, the QR and the XML.  Amounts
// are whole euro cents; rates hundredths of a percent (2100 = 21 %).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace verifactu {

// The billing system that generated a record (SistemaInformatico).
struct SystemIdentity {
  std::string producerName;        // NombreRazon of the producer, up to 120 characters
  std::string producerNif;         // its NIF
  std::string systemName;          // NombreSistemaInformatico, up to 30
  std::string systemId;            // IdSistemaInformatico: two capitals A-Z or digits
  std::string version;             // up to 50
  std::string installationNumber;  // up to 100, never used twice for one issuer
  // The possible uses follow from what the program is: it only makes
  // records to be sent as they are made (there is no signing for keeping
  // them unsent), and an administration office bills for many owners.
  bool onlyVerifactu = true;             // TipoUsoPosibleSoloVerifactu
  bool severalTaxpayersPossible = true;  // TipoUsoPosibleMultiOT
  // IndicadorMultiplesOT: the office holds the billing of more than one owner.
  bool severalTaxpayers = true;
  // The identity built into the program for the agency's test environment:
  // records and QR codes made with it point there, never to production.
  bool test = false;
};

// The built-in test identity: the program's own name and version, the
// agency's example NIF as producer, installation "1".
SystemIdentity TestSystemIdentity();

// What identifies an invoice (IDFactura): its issuer's NIF, its series and
// number ([VeriFactu] Serie + the 8-digit receipt number, printable ASCII,
// up to 60) and its issue date, "dd-mm-yyyy".
struct InvoiceId {
  std::string issuerNif;
  std::string seriesNumber;
  std::string issueDate;
};

// The record before this one in its issuer's chain (RegistroAnterior).
struct PreviousRecord {
  InvoiceId invoice;
  std::string fingerprint;
};

// A recipient without a valid Spanish NIF (IDOtro).
struct OtherId {
  std::string country;  // CodigoPais, ISO 3166-1 alpha-2
  std::string idType;   // IDType, 02 to 07
  std::string id;       // up to 20 characters
};

// The recipient of an invoice (IDDestinatario): a NIF, or when nif is empty
// the other identifier.
struct Recipient {
  std::string name;  // up to 120 characters
  std::string nif;
  OtherId other;
};

// The tenant as recipient.  A tax identifier that is a valid Spanish NIF,
// NIE or CIF (tax_id.h) gives the NIF.  Any other text gives IDOtro with
// country "ES" and IDType "03" (passport): the tenant lives in the rented
// property in Spain, and for country ES the agency accepts only 03, or 07
// ("not in the census"), which is for valid NIFs it does not know and is
// itself an error to correct.  A blank identifier gives no recipient: the
// invoice is then one without recipient identification (see InvoiceType).
std::optional<Recipient> TenantRecipient(std::string_view name, std::string_view taxId);

// One line of the breakdown by VAT treatment (DetalleDesglose); the tax is
// VAT (Impuesto not given).  A taxed line has qualification "S1" and a rate
// and tax; an exempt line has no qualification, an exemption cause and
// neither rate nor tax.
struct TaxLine {
  std::string regimeKey;       // ClaveRegimen, list L8A
  std::string qualification;   // CalificacionOperacion
  std::string exemptionCause;  // OperacionExenta, when qualification is empty
  int rate = 0;                // TipoImpositivo in hundredths of a percent
  long long baseCents = 0;     // BaseImponibleOimporteNoSujeto
  long long taxCents = 0;      // CuotaRepercutida
};

// Regime keys (list L8A): the general regime, and the agency's own key for
// rent of business premises (with which it accepts no rate but 21 %).
inline constexpr char kGeneralRegime[] = "01";
inline constexpr char kBusinessPremisesRegime[] = "11";

// A taxed line ("S1") under regimeKey.
TaxLine TaxedLine(std::string_view regimeKey, int rate, long long baseCents, long long taxCents);

// Rent of a dwelling, exempt from VAT by article 20 of the VAT law
// (20.Uno.23): general regime, cause "E1".
TaxLine ExemptDwellingRent(long long baseCents);

// Marks of a record made again to correct one generated earlier.
struct Correction {
  bool amends = false;            // Subsanacion "S": replaces an earlier record
  std::string previousRejection;  // RechazoPrevio: "" (not given), "S" or "X"
};

// A registration record (RegistroAlta) of an issued receipt.
struct Registration {
  InvoiceId invoice;
  std::string issuerName;                  // NombreRazonEmisor, the owner
  std::optional<Recipient> recipient;      // the tenant
  std::string description;                 // DescripcionOperacion, up to 500
  std::vector<TaxLine> lines;              // 1 to 12
  std::optional<PreviousRecord> previous;  // none: the first record of the chain
  SystemIdentity system;
  std::string generationTime;  // FechaHoraHusoGenRegistro, GenerationTime (values.h)
  std::string fingerprint;     // Huella of type 01 (SHA-256), Fingerprint (fingerprint.h)
  Correction correction;
};

// A cancellation record (RegistroAnulacion) of a cancelled receipt.
struct Cancellation {
  InvoiceId invoice;  // the cancelled invoice
  std::optional<PreviousRecord> previous;
  SystemIdentity system;
  std::string generationTime;
  std::string fingerprint;
  std::string previousRejection;  // RechazoPrevio: "" or "S"
};

using BillingRecord = std::variant<Registration, Cancellation>;

// "F1" (invoice) with a recipient; "F2" without one, marked as an invoice
// without recipient identification of article 6.1.d of the invoicing
// regulation, which lets a full invoice to a private tenant without any
// identifier be registered at all (F1 requires a recipient).
std::string InvoiceType(const Registration& record);

// CuotaTotal: the tax of every line.  ImporteTotal: bases plus tax;
// withholding is not part of the invoice's total.
long long TotalTax(const Registration& record);
long long TotalAmount(const Registration& record);

// The link a record's successor in the chain carries.
PreviousRecord LinkTo(const BillingRecord& record);

}  // namespace verifactu
