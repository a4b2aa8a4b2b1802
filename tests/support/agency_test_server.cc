// One connection at a time, each closed after its answer (as the client
// opens one per submission).  Sockets carry receive timeouts, so no client
// can hold the server; the slow answer waits on the client's socket and
// on the stop pipe, never in a blind sleep.
#include "agency_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libxml/parser.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace testing_support {
namespace {

constexpr size_t kMaxHead = 64 * 1024;
constexpr size_t kMaxBody = 16 * 1024 * 1024;

void SetReceiveTimeout(int fd, int seconds) {
  timeval t{seconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &t, sizeof t);
}

// Reads the request head (through the blank line) and its body as
// Content-Length gives it.  False when the client left or overran.
bool ReadRequest(SSL* ssl, std::string* head, std::string* body) {
  std::string data;
  char buffer[16384];
  size_t headEnd = std::string::npos;
  size_t length = 0;
  for (;;) {
    if (headEnd == std::string::npos) {
      headEnd = data.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        *head = data.substr(0, headEnd + 2);
        const char* field = strcasestr(head->c_str(), "\r\nContent-Length:");
        if (field == nullptr) return false;
        length = std::strtoul(field + 17, nullptr, 10);
        if (length > kMaxBody) return false;
      } else if (data.size() > kMaxHead) {
        return false;
      }
    }
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + length) {
      *body = data.substr(headEnd + 4, length);
      return true;
    }
    const int n = SSL_read(ssl, buffer, sizeof buffer);
    if (n <= 0) return false;
    data.append(buffer, static_cast<size_t>(n));
  }
}

void Write(SSL* ssl, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int n = SSL_write(ssl, bytes.data() + done, static_cast<int>(bytes.size() - done));
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string Response(int status, const char* reason, const char* type, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
         body;
}

// Closes after the client has stopped sending, so that the close does not
// reset the connection and throw away what was sent last (a TLS alert).
void CloseGently(int fd) {
  ::shutdown(fd, SHUT_WR);
  char buffer[4096];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, 2000) > 0 && ::read(fd, buffer, sizeof buffer) > 0) {
  }
  ::close(fd);
}

// The HTTP side of a request: what the agency's service takes.
std::string CheckHead(const std::string& head) {
  if (head.rfind("POST ", 0) != 0) return "not a POST";
  if (strcasestr(head.c_str(), "\r\nContent-Type: text/xml") == nullptr) {
    return "no Content-Type text/xml";
  }
  if (strcasestr(head.c_str(), "\r\nSOAPAction:") == nullptr) return "no SOAPAction";
  return {};
}

}  // namespace

AgencyTestServer::AgencyTestServer(const TestCertificates& certificates, AgencyScenario scenario)
    : scenario_(scenario) {
  std::signal(SIGPIPE, SIG_IGN);  // a client that leaves must not end the tests
  xmlInitParser();                // before two threads may parse at once
  context_ = SSL_CTX_new(TLS_server_method());
  if (context_ == nullptr ||
      SSL_CTX_use_certificate_file(context_, certificates.serverCertificate().c_str(),
                                   SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_use_PrivateKey_file(context_, certificates.serverKey().c_str(), SSL_FILETYPE_PEM) !=
          1 ||
      SSL_CTX_load_verify_locations(context_, certificates.authority().c_str(), nullptr) != 1) {
    problem_ = "the server's certificates do not load: " + certificates.problem();
    return;
  }
  SSL_CTX_set_verify(context_, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listener_, 8) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
      ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
    problem_ = "the server cannot listen on 127.0.0.1";
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

AgencyTestServer::~AgencyTestServer() {
  if (thread_.joinable()) {
    (void)!::write(stopPipe_[1], "x", 1);
    thread_.join();
  }
  for (int fd : {listener_, stopPipe_[0], stopPipe_[1]}) {
    if (fd >= 0) ::close(fd);
  }
  SSL_CTX_free(context_);
}

std::string AgencyTestServer::url() const {
  return "https://127.0.0.1:" + std::to_string(port_) +
         "/wlpl/TIKE-CONT/ws/SistemaFacturacion/VerifactuSOAP";
}

void AgencyTestServer::SetExtraCheck(std::function<std::string(const std::string&)> check) {
  std::lock_guard<std::mutex> lock(mutex_);
  extraCheck_ = std::move(check);
}

std::vector<std::string> AgencyTestServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::vector<std::string> AgencyTestServer::findings() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return findings_;
}

int AgencyTestServer::refusedHandshakes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return refusedHandshakes_;
}

void AgencyTestServer::Serve() {
  for (;;) {
    pollfd waits[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(waits, 2, -1) < 0) continue;
    if (waits[1].revents != 0) return;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) ServeOne(fd);
  }
}

void AgencyTestServer::ServeOne(int fd) {
  SetReceiveTimeout(fd, 10);
  SSL* ssl = SSL_new(context_);
  SSL_set_fd(ssl, fd);
  std::string head, body;
  if (SSL_accept(ssl) != 1) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++refusedHandshakes_;
  } else if (ReadRequest(ssl, &head, &body)) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(body);
    }
    Answer(ssl, fd, head, body);
  }
  ERR_clear_error();
  SSL_free(ssl);
  CloseGently(fd);
}

void AgencyTestServer::Answer(SSL* ssl, int fd, const std::string& head, const std::string& body) {
  SubmissionCheck check = CheckSubmission(body);
  std::string problem = CheckHead(head);
  if (problem.empty()) problem = check.problem;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (problem.empty() && extraCheck_) problem = extraCheck_(body);
    if (!problem.empty()) findings_.push_back(problem);
  }
  const char* xml = "text/xml; charset=utf-8";
  if (!problem.empty()) {
    Write(ssl, Response(500, "Internal Server Error", xml, FaultMessage("env:Client", problem)));
    return;
  }
  const std::string page = "<html><body><h1>Servicio no disponible</h1></body></html>\n";
  switch (scenario_) {
    case AgencyScenario::kSoapFault:
      Write(ssl, Response(500, "Internal Server Error", xml,
                          FaultMessage("env:Client",
                                       "Codigo[4104].El NIF del titular en la cabecera no "
                                       "est\xC3\xA1 identificado.\n NIF:B00000034")));
      return;
    case AgencyScenario::kUnavailable:
      Write(ssl, Response(503, "Service Unavailable", "text/html", page));
      return;
    case AgencyScenario::kNotTheAgency:
      Write(ssl, Response(200, "OK", "text/html", page));
      return;
    case AgencyScenario::kClosedConnection:
      return;
    case AgencyScenario::kSlowAnswer: {
      // Until the client gives up (its socket readable at its end) or the
      // server stops.
      pollfd waits[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
      ::poll(waits, 2, 30 * 1000);
      return;
    }
    default:
      Write(ssl, Response(200, "OK", xml, AgencyAnswer(scenario_, check)));
      SSL_shutdown(ssl);
  }
}

}  // namespace testing_support
