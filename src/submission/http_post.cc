// libcurl with the OpenSSL backend.  The answer is collected up to
// kMaxAnswerBytes and no further: a server that keeps sending is cut off
// rather than allowed to fill memory.
#include "submission/http_post.h"

#include <curl/curl.h>

#include "submission/answer.h"

namespace submission {
namespace {

struct Collected {
  std::string* body;
  bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  Collected* collected = static_cast<Collected*>(user);
  const size_t bytes = size * count;
  if (collected->body->size() + bytes > kMaxAnswerBytes) {
    collected->tooLarge = true;
    return 0;  // libcurl stops with CURLE_WRITE_ERROR
  }
  collected->body->append(data, bytes);
  return bytes;
}

std::string HostOf(const std::string& url) {
  std::string host;
  CURLU* parts = curl_url();
  char* text = nullptr;
  if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_HOST, &text, 0) == CURLUE_OK) {
    host = text;
  }
  curl_free(text);
  curl_url_cleanup(parts);
  return host;
}

void SetSecurity(CURL* curl, const PostRequest& request) {
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!request.authorityFile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, request.authorityFile.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_SSLCERTTYPE, "P12");
  curl_easy_setopt(curl, CURLOPT_SSLCERT, request.certificateFile.c_str());
  curl_easy_setopt(curl, CURLOPT_KEYPASSWD, request.password.c_str());
}

void Read(CURL* curl, CURLcode code, const char* errorText, size_t bodySize, PostResult* result) {
  result->curlCode = code;
  result->errorText = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
  long osErrno = 0;
  curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
  result->osErrno = static_cast<int>(osErrno);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result->httpStatus);
  curl_off_t uploaded = 0;
  curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &uploaded);
  result->requestSent = bodySize > 0 && uploaded == static_cast<curl_off_t>(bodySize);
}

}  // namespace

PostResult PostSoap(const PostRequest& request) {
  PostResult result;
  result.host = HostOf(request.url);
  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    result.curlCode = CURLE_FAILED_INIT;
    result.errorText = "libcurl could not start";
    return result;
  }
  char errorText[CURL_ERROR_SIZE] = "";
  Collected collected{&result.body};
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
  headers = curl_slist_append(headers, "SOAPAction: \"\"");
  headers = curl_slist_append(headers, "Expect:");  // no wait for "100 Continue"
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "QANTIRES");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &collected);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  SetSecurity(curl, request);
  const CURLcode code = curl_easy_perform(curl);
  Read(curl, code, errorText, request.body.size(), &result);
  result.answerTooLarge = collected.tooLarge;
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return result;
}

}  // namespace submission
