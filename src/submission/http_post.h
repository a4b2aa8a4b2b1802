// One HTTPS POST of a SOAP request with a client certificate, through
// libcurl, and what came of it, in the library's own terms.
#pragma once

#include <string>

namespace submission {

struct PostRequest {
  std::string url;
  std::string body;
  std::string certificateFile;  // PKCS#12, a path on this machine
  std::string password;
  std::string authorityFile;  // PEM authorities for the server; empty: the system's
  long connectTimeoutMs = 0;
  long totalTimeoutMs = 0;
};

struct PostResult {
  int curlCode = 0;             // CURLcode; 0 when an HTTP answer came whole
  int osErrno = 0;              // the system's error of the last connect
  std::string errorText;        // libcurl's own words for curlCode
  bool answerTooLarge = false;  // the answer passed kMaxAnswerBytes and was cut off
  long httpStatus = 0;
  std::string body;
  bool requestSent = false;  // the whole request went out
  std::string host;          // the server's host, from url
};

// Posts request.body as text/xml; charset=utf-8 with an empty SOAPAction,
// verifying the server's certificate and name and signing in with the
// client certificate.  Only https is allowed, and redirections are not
// followed.  Proxies set in the environment (https_proxy, no_proxy) apply.
PostResult PostSoap(const PostRequest& request);

}  // namespace submission
