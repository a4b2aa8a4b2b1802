// What the test server makes of a submission: the checks the agency makes
// of every request before reading its records, and the answers it gives.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// How the test server answers.
enum class AgencyScenario {
  kAllAccepted,             // every record Correcto
  kSomeRejected,            // every second record Incorrecto
  kSomeAcceptedWithErrors,  // every second record AceptadoConErrores
  kAlreadyHeld,             // every record Incorrecto as a duplicate, with the record held
  kShortWait,               // every record Correcto, and 3 seconds to wait
  kSoapFault,               // a SOAP fault of the client's (env:Client), HTTP 500
  kUnavailable,             // HTTP 503 with a web page
  kNotTheAgency,            // HTTP 200 with a web page
  kClosedConnection,        // the request read, then the connection closed
  kSlowAnswer,              // the request read, then no answer until the client leaves
};

// One record of a submission, as the answer names it again.
struct SubmittedRecord {
  std::string issuerNif;
  std::string seriesNumber;
  std::string issueDate;
  bool cancellation = false;  // RegistroAnulacion
};

struct SubmissionCheck {
  std::string headerNif;  // Cabecera/ObligadoEmision/NIF
  std::vector<SubmittedRecord> records;
  std::string problem;  // empty when the request passes
};

// Checks a request body: a SOAP 1.1 envelope with its header and a body
// holding one RegFactuSistemaFacturacion, whose Cabecera names the issuer,
// with 1 to 1,000 records, every one of that issuer.
SubmissionCheck CheckSubmission(const std::string& body);

// The agency's answer (a whole SOAP message, UTF-8) to the records.
std::string AgencyAnswer(AgencyScenario scenario, const SubmissionCheck& submission);
// A SOAP 1.1 fault message.
std::string FaultMessage(const std::string& code, const std::string& text);

}  // namespace testing_support
