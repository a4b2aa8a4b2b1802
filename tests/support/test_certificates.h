// Certificates for TLS between the tests and their own server on this
// machine: a test authority, a server certificate for 127.0.0.1 signed by
// it, and client certificates in PKCS#12 files.  They are made with the
// openssl command (run without a shell) in a temporary folder when the
// object is made, and removed with it.
#pragma once

#include <string>
#include <vector>

#include "temp_dir.h"

namespace testing_support {

class TestCertificates {
 public:
  // The password of every PKCS#12 file made here.
  static constexpr const char* kPassword = "clau de prova";

  TestCertificates();

  // Empty when every file was made; else the openssl command that failed.
  const std::string& problem() const { return problem_; }

  // PEM files: the test authority, and the server's certificate and key.
  std::string authority() const { return dir_.Sub("authority.pem"); }
  std::string serverCertificate() const { return dir_.Sub("server.pem"); }
  std::string serverKey() const { return dir_.Sub("server.key"); }
  // A client certificate of the test authority, valid for ten years.
  std::string client() const { return dir_.Sub("client.p12"); }
  // A client certificate of the test authority valid only in 2020.
  std::string expiredClient() const { return dir_.Sub("expired.p12"); }
  // A client certificate of another authority, which the server does not
  // know, and that authority.
  std::string foreignClient() const { return dir_.Sub("foreign.p12"); }
  std::string foreignAuthority() const { return dir_.Sub("foreign-authority.pem"); }

 private:
  void Run(const std::vector<std::string>& args);
  void MakeAuthority(const std::string& name, const std::string& subject);
  void MakeSigned(const std::string& name, const std::string& authority,
                  const std::string& extensions, const std::vector<std::string>& validity);
  void Export(const std::string& name);

  TempDir dir_;
  std::string problem_;
};

}  // namespace testing_support
