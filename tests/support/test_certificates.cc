// Elliptic-curve keys (P-256) make in milliseconds what RSA keys take
// seconds for.  "openssl ca" signs the leaf certificates because it alone
// takes explicit start and end dates, which the expired one needs.
#include "test_certificates.h"

#include "platform/process.h"

namespace testing_support {
namespace {

// The files of "openssl ca", by absolute paths: openssl runs in the
// test's own folder.
std::string Files(const std::string& dir) {
  return "database = " + dir + "/index.txt\nnew_certs_dir = " + dir + "\nserial = " + dir +
         "/serial.txt\n";
}

std::string Configuration(const std::string& dir) {
  return "[req]\n"
         "distinguished_name = dn\n"
         "[dn]\n"
         "[authority]\n"
         "basicConstraints = critical, CA:TRUE\n"
         "keyUsage = critical, keyCertSign, cRLSign\n"
         "subjectKeyIdentifier = hash\n"
         "[server]\n"
         "basicConstraints = CA:FALSE\n"
         "keyUsage = critical, digitalSignature\n"
         "extendedKeyUsage = serverAuth\n"
         "subjectAltName = IP:127.0.0.1, DNS:localhost\n"
         "[client]\n"
         "basicConstraints = CA:FALSE\n"
         "keyUsage = critical, digitalSignature\n"
         "extendedKeyUsage = clientAuth\n"
         "[ca]\n"
         "default_ca = signer\n"
         "[signer]\n" +
         Files(dir) +
         "default_md = sha256\n"
         "policy = any\n"
         "unique_subject = no\n"
         "[any]\n"
         "commonName = supplied\n";
}

const std::vector<std::string> kNewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                                          "-nodes"};

}  // namespace

TestCertificates::TestCertificates() {
  dir_.Write("openssl.cnf", Configuration(dir_.path()));
  dir_.Write("index.txt", "");
  dir_.Write("serial.txt", "1000\n");
  const std::vector<std::string> tenYears = {"-days", "3650"};
  MakeAuthority("authority", "/CN=QANTIRES test authority");
  MakeAuthority("foreign-authority", "/CN=Some other authority");
  MakeSigned("server", "authority", "server", tenYears);
  MakeSigned("client", "authority", "client", tenYears);
  MakeSigned("expired", "authority", "client",
             {"-startdate", "20200101000000Z", "-enddate", "20210101000000Z"});
  MakeSigned("foreign", "foreign-authority", "client", tenYears);
  for (const char* name : {"client", "expired", "foreign"}) Export(name);
}

void TestCertificates::Run(const std::vector<std::string>& args) {
  if (!problem_.empty()) return;
  std::vector<std::string> argv = {"openssl"};
  argv.insert(argv.end(), args.begin(), args.end());
  if (platform::CaptureProgram(argv, "", nullptr, 60 * 1000) == 0) return;
  for (const std::string& a : argv) problem_ += a + " ";
  problem_ += "failed";
}

void TestCertificates::MakeAuthority(const std::string& name, const std::string& subject) {
  std::vector<std::string> args = {"req",         "-x509",
                                   "-config",     dir_.Sub("openssl.cnf"),
                                   "-extensions", "authority",
                                   "-subj",       subject,
                                   "-days",       "3650",
                                   "-keyout",     dir_.Sub(name + ".key"),
                                   "-out",        dir_.Sub(name + ".pem")};
  args.insert(args.end(), kNewKey.begin(), kNewKey.end());
  Run(args);
}

void TestCertificates::MakeSigned(const std::string& name, const std::string& authority,
                                  const std::string& extensions,
                                  const std::vector<std::string>& validity) {
  std::vector<std::string> request = {"req",     "-new",
                                      "-config", dir_.Sub("openssl.cnf"),
                                      "-subj",   "/CN=QANTIRES test " + name,
                                      "-keyout", dir_.Sub(name + ".key"),
                                      "-out",    dir_.Sub(name + ".csr")};
  request.insert(request.end(), kNewKey.begin(), kNewKey.end());
  Run(request);
  std::vector<std::string> sign = {"ca",
                                   "-batch",
                                   "-notext",
                                   "-config",
                                   dir_.Sub("openssl.cnf"),
                                   "-cert",
                                   dir_.Sub(authority + ".pem"),
                                   "-keyfile",
                                   dir_.Sub(authority + ".key"),
                                   "-extensions",
                                   extensions,
                                   "-in",
                                   dir_.Sub(name + ".csr"),
                                   "-out",
                                   dir_.Sub(name + ".pem")};
  sign.insert(sign.end(), validity.begin(), validity.end());
  Run(sign);
}

void TestCertificates::Export(const std::string& name) {
  Run({"pkcs12", "-export", "-inkey", dir_.Sub(name + ".key"), "-in", dir_.Sub(name + ".pem"),
       "-name", name, "-out", dir_.Sub(name + ".p12"), "-passout",
       std::string("pass:") + kPassword});
}

}  // namespace testing_support
