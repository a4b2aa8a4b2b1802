// The order of the checks: the certificate before any connection (so its
// problems are named precisely and nothing half-signed goes out), then
// the transport, then the message.  A SOAP fault counts whatever the HTTP
// status (SOAP 1.1 servers send faults with 500); any other status of 4xx
// or 5xx is an HTTP failure, whatever its body.
#include "submission/send.h"

#include "platform/paths.h"
#include "submission/certificate.h"
#include "submission/envelope.h"
#include "submission/http_post.h"
#include "submission/transport_failure.h"

namespace submission {
namespace {

Outcome Failed(Failure failure) {
  Outcome outcome;
  outcome.failure = std::move(failure);
  return outcome;
}

Outcome FromAnswer(const PostResult& post) {
  AnswerReading reading = ReadAnswer(post.body);
  Failure failure;
  failure.subject = post.host;
  failure.httpStatus = static_cast<int>(post.httpStatus);
  failure.requestSent = true;
  if (reading.kind == AnswerReading::Kind::kFault) {
    failure.kind = FailureKind::kSoapFault;
    failure.faultCode = reading.faultCode;
    failure.faultString = reading.faultString;
    return Failed(failure);
  }
  if (post.httpStatus < 200 || post.httpStatus >= 300) {
    failure.kind = FailureKind::kHttpStatus;
    return Failed(failure);
  }
  if (reading.kind != AnswerReading::Kind::kAnswer) {
    failure.kind = FailureKind::kNotAgencyAnswer;
    failure.detail = reading.problem;
    return Failed(failure);
  }
  Outcome outcome;
  outcome.answer = std::move(reading.answer);
  return outcome;
}

}  // namespace

Outcome SendSubmission(const SendSettings& settings, std::string_view document) {
  Failure certificate = CheckCertificate(settings.certificateFile, settings.certificatePassword);
  if (certificate.kind != FailureKind::kNone) return Failed(certificate);
  PostRequest request;
  request.url = settings.url.empty() ? EndpointUrl(settings.entorn) : settings.url;
  request.body = SoapEnvelope(document);
  request.certificateFile = platform::NativePath(settings.certificateFile);
  request.password = settings.certificatePassword;
  if (!settings.authorityFile.empty()) {
    request.authorityFile = platform::NativePath(settings.authorityFile);
  }
  request.connectTimeoutMs = settings.connectTimeoutMs;
  request.totalTimeoutMs = settings.totalTimeoutMs;
  const PostResult post = PostSoap(request);
  if (post.curlCode != 0) return Failed(FailureOfPost(post));
  return FromAnswer(post);
}

}  // namespace submission
