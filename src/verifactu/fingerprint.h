// The fingerprint (huella) of a billing record: SHA-256 over fixed fields
// of the record, as 64 upper-case hexadecimal digits (fingerprint type 01).
//
// The hashed text is "name=value" pairs joined by "&", in UTF-8, with each
// value as the record's XML carries it, spaces at either end removed; a
// missing value leaves "name=".  A registration hashes IDEmisorFactura,
// NumSerieFactura, FechaExpedicionFactura, TipoFactura, CuotaTotal,
// ImporteTotal, the previous record's Huella and FechaHoraHusoGenRegistro;
// a cancellation IDEmisorFacturaAnulada, NumSerieFacturaAnulada,
// FechaExpedicionFacturaAnulada, the previous Huella and
// FechaHoraHusoGenRegistro.
#pragma once

#include <string>
#include <string_view>

#include "verifactu/records.h"

namespace verifactu {

// 64 upper-case hexadecimal digits of the SHA-256 of bytes.
std::string Sha256Hex(std::string_view bytes);

// The hashed fields of a registration, as UTF-8 texts.
struct RegistrationFields {
  std::string issuerNif;
  std::string seriesNumber;
  std::string issueDate;
  std::string invoiceType;
  std::string totalTax;
  std::string totalAmount;
  std::string previousFingerprint;  // empty for the first record
  std::string generationTime;
};

// The hashed fields of a cancellation.
struct CancellationFields {
  std::string issuerNif;
  std::string seriesNumber;
  std::string issueDate;
  std::string previousFingerprint;
  std::string generationTime;
};

std::string Fingerprint(const RegistrationFields& fields);
std::string Fingerprint(const CancellationFields& fields);

// The fingerprint of a record from its values (its own fingerprint field
// is not read).
std::string Fingerprint(const Registration& record);
std::string Fingerprint(const Cancellation& record);

}  // namespace verifactu
