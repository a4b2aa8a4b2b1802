// What became of one submission: the agency's answer, or why there is none.
#pragma once

#include <optional>
#include <string>

#include "submission/answer.h"

namespace submission {

enum class FailureKind {
  kNone,  // answered
  // The client certificate, checked before anything is sent.
  kCertificateMissing,        // no file at the path (or no path)
  kCertificateUnreadable,     // not a PKCS#12 file with one certificate and its key
  kCertificateWrongPassword,  // the password does not open it
  kCertificateExpired,        // its end date is past
  kCertificateNotYetValid,    // its start date is to come
  // The connection.
  kNoNetwork,           // no route to the server: the computer is off the network
  kNameNotResolved,     // the server's name gives no address
  kConnectionRefused,   // nothing listens at the server's address
  kServerNotTrusted,    // the server's certificate does not verify: not the agency
  kCertificateRefused,  // the server turned the client certificate down
  kConnectionDropped,   // the connection ended before a whole answer came
  kTimeout,             // no connection, or no whole answer, within the time set
  // The answer.
  kHttpStatus,       // an HTTP status of 4xx or 5xx without a SOAP fault
  kSoapFault,        // the agency refused the whole submission
  kNotAgencyAnswer,  // what came back is not the agency's answer
  kTransportError,   // anything else the HTTP library could not do
};

struct Failure {
  FailureKind kind = FailureKind::kNone;
  // What the messages name: the certificate file for the certificate
  // kinds, the server's host for the connection kinds.
  std::string subject;
  // The certificate's end date (kCertificateExpired) or start date
  // (kCertificateNotYetValid), "YYYY-MM-DD".
  std::string date;
  int httpStatus = 0;       // kHttpStatus; also kept with kSoapFault
  std::string faultCode;    // kSoapFault: "env:Client" or "env:Server", as sent
  std::string faultString;  // kSoapFault: the agency's reason (code page 850)
  // The library's or the reader's own words (English), for the log.
  std::string detail;
  // The request went out whole, so the agency may have registered it:
  // sending it again may bring duplicate rejections.
  bool requestSent = false;
};

struct Outcome {
  std::optional<Answer> answer;  // set exactly when failure.kind is kNone
  Failure failure;
  bool answered() const { return answer.has_value(); }
};

// The failure in English (for standard error and logs), with its subject.
std::string EnglishMessage(const Failure& failure);
// The failure for the operator, in the session language (code page 850).
std::string OperatorMessage(const Failure& failure);
// Whether the same submission may go through if sent again later, with
// nothing changed here: the network, the server's load or a fault the
// agency calls its own (env:Server).  Certificate problems, a refusal of
// the submission's content and unknown answers need a person.
bool WorthRetrying(const Failure& failure);

}  // namespace submission
