// A stand-in for the tax agency's VERI*FACTU service, for the tests of the
// submission transport: HTTPS on 127.0.0.1 (a free port), a client
// certificate of the test authority required, and answers by scenario.
// It serves in a thread of its own from construction to destruction and
// never connects anywhere.
#pragma once

#include <openssl/ssl.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "agency_answers.h"
#include "test_certificates.h"

namespace testing_support {

class AgencyTestServer {
 public:
  AgencyTestServer(const TestCertificates& certificates, AgencyScenario scenario);
  ~AgencyTestServer();
  AgencyTestServer(const AgencyTestServer&) = delete;
  AgencyTestServer& operator=(const AgencyTestServer&) = delete;

  // Empty when the server listens; else why it could not start.
  const std::string& problem() const { return problem_; }
  // The service address, https://127.0.0.1:<port>/...
  std::string url() const;

  // A further check of every request body (a caller's check of the
  // records' chain or fingerprints): "" when it passes, else what is
  // wrong, which fails the request as the server's own checks do.  Set it
  // before the first request.
  void SetExtraCheck(std::function<std::string(const std::string& body)> check);

  // The bodies of the requests read whole, in order.
  std::vector<std::string> requests() const;
  // What the checks found wrong with requests (each also answered with a
  // SOAP fault of the client's).
  std::vector<std::string> findings() const;
  // TLS handshakes that failed: a client without a certificate of the
  // test authority, for one.
  int refusedHandshakes() const;

 private:
  void Serve();
  void ServeOne(int fd);
  void Answer(SSL* ssl, int fd, const std::string& head, const std::string& body);

  AgencyScenario scenario_;
  std::string problem_;
  SSL_CTX* context_ = nullptr;
  int listener_ = -1;
  int stopPipe_[2] = {-1, -1};
  int port_ = 0;
  std::function<std::string(const std::string&)> extraCheck_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<std::string> findings_;
  int refusedHandshakes_ = 0;
  std::thread thread_;
};

}  // namespace testing_support
