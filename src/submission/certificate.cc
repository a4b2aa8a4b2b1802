// The PKCS#12 file is read with OpenSSL, the library libcurl signs in with,
// so what passes here is what the connection will use.  Certificates
// exported by older systems protect their bags with RC2 or RC4, which
// OpenSSL 3 keeps in its "legacy" provider; it is loaded (when installed)
// beside the default one so that those files open here and in libcurl.
#include "submission/certificate.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/clock.h"
#include "platform/paths.h"

namespace submission {
namespace {

// Once per process; given back at exit before OpenSSL's own cleanup, which
// does not free what the provider holds.
void LoadLegacyAlgorithms() {
  static OSSL_PROVIDER* const legacy = [] {
    OSSL_PROVIDER* provider = OSSL_PROVIDER_try_load(nullptr, "legacy", 1);
    if (provider != nullptr) std::atexit([] { OSSL_PROVIDER_unload(legacy); });
    return provider;
  }();
}

std::string LastOpenSslError() {
  const unsigned long code = ERR_peek_last_error();
  ERR_clear_error();
  if (code == 0) return {};
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

std::string DateOf(const ASN1_TIME* time) {
  std::tm t{};
  if (ASN1_TIME_to_tm(time, &t) != 1) return {};
  char text[40];  // room for any int, as g++ asks
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return text;
}

// The form of password that opens p12 into *pass: OpenSSL tells an absent
// password from an empty one, so an empty one is tried both ways.  False
// when neither opens it.
bool OpeningPassword(PKCS12* p12, const std::string& password, const char** pass) {
  *pass = password.c_str();
  if (!PKCS12_mac_present(p12)) return true;
  if (PKCS12_verify_mac(p12, *pass, static_cast<int>(password.size())) == 1) return true;
  *pass = nullptr;
  return password.empty() && PKCS12_verify_mac(p12, nullptr, 0) == 1;
}

// The certificate's dates against today.
Failure CheckDates(X509* cert, Failure failure) {
  std::time_t now = platform::TodayMoment();
  if (X509_cmp_time(X509_get0_notAfter(cert), &now) < 0) {
    failure.kind = FailureKind::kCertificateExpired;
    failure.date = DateOf(X509_get0_notAfter(cert));
  } else if (X509_cmp_time(X509_get0_notBefore(cert), &now) > 0) {
    failure.kind = FailureKind::kCertificateNotYetValid;
    failure.date = DateOf(X509_get0_notBefore(cert));
  }
  return failure;
}

Failure CheckContents(PKCS12* p12, const std::string& password, Failure failure) {
  const char* pass = nullptr;
  if (!OpeningPassword(p12, password, &pass)) {
    failure.kind = FailureKind::kCertificateWrongPassword;
    return failure;
  }
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  if (PKCS12_parse(p12, pass, &key, &cert, nullptr) != 1 || key == nullptr || cert == nullptr ||
      X509_check_private_key(cert, key) != 1) {
    failure.kind = FailureKind::kCertificateUnreadable;
    failure.detail = LastOpenSslError();
    if (failure.detail.empty()) failure.detail = "no certificate with its private key";
  } else {
    failure = CheckDates(cert, failure);
  }
  EVP_PKEY_free(key);
  X509_free(cert);
  return failure;
}

}  // namespace

Failure CheckCertificate(std::string_view path, const std::string& password) {
  Failure failure;
  failure.subject = std::string(path);
  std::string bytes;
  if (path.empty() || !platform::FileExists(path)) {
    failure.kind = FailureKind::kCertificateMissing;
    return failure;
  }
  if (!platform::ReadWholeFile(path, &bytes)) {
    failure.kind = FailureKind::kCertificateUnreadable;
    failure.detail = "the file cannot be read";
    return failure;
  }
  LoadLegacyAlgorithms();
  const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
  PKCS12* p12 = d2i_PKCS12(nullptr, &data, static_cast<long>(bytes.size()));
  if (p12 == nullptr) {
    failure.kind = FailureKind::kCertificateUnreadable;
    failure.detail = "not a PKCS#12 file";
    ERR_clear_error();
    return failure;
  }
  failure = CheckContents(p12, password, failure);
  PKCS12_free(p12);
  // libcurl reads the same error queue after its own calls.
  ERR_clear_error();
  return failure;
}

}  // namespace submission
