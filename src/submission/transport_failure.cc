// libcurl's codes and the system's errno, sorted into the kinds the
// operator can act on.  A TLS alert from the server that names the
// certificate comes as a failed handshake or a failed read, depending on
// the TLS version; its text tells it from a cut connection.
#include "submission/transport_failure.h"

#include <curl/curl.h>

#include <cctype>
#include <cerrno>

namespace submission {
namespace {

bool CertificateAlert(const std::string& errorText) {
  std::string text;
  for (char c : errorText) text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text.find("alert") == std::string::npos) return false;
  for (const char* word : {"certificate", "unknown ca", "access denied"}) {
    if (text.find(word) != std::string::npos) return true;
  }
  return false;
}

FailureKind KindOfConnect(int osErrno) {
  return osErrno == ECONNREFUSED ? FailureKind::kConnectionRefused : FailureKind::kNoNetwork;
}

FailureKind KindOf(const PostResult& post) {
  switch (post.curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return FailureKind::kNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return KindOfConnect(post.osErrno);
    case CURLE_OPERATION_TIMEDOUT:
      return FailureKind::kTimeout;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
      return FailureKind::kServerNotTrusted;
    case CURLE_SSL_CERTPROBLEM:
      return FailureKind::kCertificateUnreadable;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
      return CertificateAlert(post.errorText) ? FailureKind::kCertificateRefused
                                              : FailureKind::kConnectionDropped;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
      return FailureKind::kConnectionDropped;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_WRITE_ERROR:
      return FailureKind::kNotAgencyAnswer;
    default:
      return FailureKind::kTransportError;
  }
}

}  // namespace

Failure FailureOfPost(const PostResult& post) {
  Failure failure;
  failure.kind = KindOf(post);
  failure.subject = post.host;
  failure.detail = post.answerTooLarge
                       ? "answer larger than " + std::to_string(kMaxAnswerBytes) + " bytes"
                       : post.errorText;
  // A server that refused the client, or was refused, read nothing of it.
  failure.requestSent = post.requestSent && failure.kind != FailureKind::kCertificateRefused &&
                        failure.kind != FailureKind::kServerNotTrusted;
  return failure;
}

}  // namespace submission
