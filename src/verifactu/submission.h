// The submission document: the billing records of one issuer as the
// agency's message RegFactuSistemaFacturacion, in UTF-8 XML.  The sending
// layer puts its root element into the body of its SOAP envelope.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "verifactu/records.h"

namespace verifactu {

inline constexpr size_t kMaxRecordsPerSubmission = 1000;

// A person or firm with a Spanish NIF (texts in code page 850).
struct Taxpayer {
  std::string name;  // up to 120 characters
  std::string nif;
};

// The message's header (Cabecera).
struct Header {
  Taxpayer issuer;          // ObligadoEmision: the owner whose records these are
  Taxpayer representative;  // Representante: the office that generated them; empty NIF: none
  // The records are sent late because of a technical incident (no
  // connection, no power, a failure of the system): RemisionVoluntaria/
  // Incidencia "S".  Without it the element is left out, which means "N".
  bool incident = false;
};

struct Submission {
  Header header;
  // Each one RegistroFactura, in this order: the records as RecordXml wrote
  // them when they were made (a registered record is sent as it was kept).
  std::vector<std::string> records;
};

// One record's element (sum1:RegistroAlta or sum1:RegistroAnulacion), UTF-8,
// its prefixes declared by the submission document it goes into; empty
// when it could not be written.
std::string RecordXml(const BillingRecord& record);

// The document, starting with its XML declaration; empty when it holds no
// record or more than kMaxRecordsPerSubmission, or cannot be written.
// Records go as they are: their fingerprints are not recomputed.
std::string SubmissionXml(const Submission& submission);

// The document as the whole file at path, through platform::WriteNewFile:
// complete and synced before it takes the name.  False, with path as it
// was, when the document is empty (see above) or the file cannot be written.
bool WriteSubmission(std::string_view path, const Submission& submission);

}  // namespace verifactu
