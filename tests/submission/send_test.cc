// Submissions sent to the stand-in for the agency's service on this
// machine: every answer read as it was given, and every failure told as
// what it is, with nothing taken as answered.
#include "submission/send.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "../support/agency_test_server.h"
#include "../support/temp_dir.h"
#include "platform/clock.h"
#include "platform/program_state.h"

namespace submission {
namespace {

using testing_support::AgencyScenario;
using testing_support::AgencyTestServer;
using testing_support::TestCertificates;

// A submission of count records of one issuer, as the verifactu layer
// writes it: its own XML declaration, namespaces and UTF-8 text.  The
// last record is a cancellation when cancelLast is set.
std::string Document(int count, bool cancelLast = false) {
  std::string records;
  for (int i = 1; i <= count; ++i) {
    const std::string number = "R-2025/" + std::to_string(i);
    if (cancelLast && i == count) {
      records +=
          "<sum:RegistroFactura><sum1:RegistroAnulacion><sum1:IDVersion>1.0</sum1:IDVersion>"
          "<sum1:IDFactura><sum1:IDEmisorFacturaAnulada>B00000034"
          "</sum1:IDEmisorFacturaAnulada><sum1:NumSerieFacturaAnulada>" +
          number +
          "</sum1:NumSerieFacturaAnulada><sum1:FechaExpedicionFacturaAnulada>15-01-2025"
          "</sum1:FechaExpedicionFacturaAnulada></sum1:IDFactura>"
          "</sum1:RegistroAnulacion></sum:RegistroFactura>";
      continue;
    }
    records +=
        "<sum:RegistroFactura><sum1:RegistroAlta><sum1:IDVersion>1.0</sum1:IDVersion>"
        "<sum1:IDFactura><sum1:IDEmisorFactura>B00000034</sum1:IDEmisorFactura>"
        "<sum1:NumSerieFactura>" +
        number +
        "</sum1:NumSerieFactura>"
        "<sum1:FechaExpedicionFactura>15-01-2025</sum1:FechaExpedicionFactura>"
        "</sum1:IDFactura><sum1:NombreRazonEmisor>FINQUES DE PROVA SL"
        "</sum1:NombreRazonEmisor><sum1:TipoFactura>F1</sum1:TipoFactura>"
        "<sum1:DescripcionOperacion>Lloguer de gener, pla\xC3\xA7"
        "a d'aparcament"
        "</sum1:DescripcionOperacion></sum1:RegistroAlta></sum:RegistroFactura>";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<sum:RegFactuSistemaFacturacion xmlns:sum=\"https://www2.agenciatributaria.gob.es/"
         "static_files/common/internet/dep/aplicaciones/es/aeat/tike/cont/ws/SuministroLR.xsd\" "
         "xmlns:sum1=\"https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/"
         "aplicaciones/es/aeat/tike/cont/ws/SuministroInformacion.xsd\"><sum:Cabecera>"
         "<sum1:ObligadoEmision><sum1:NombreRazon>FINQUES DE PROVA SL</sum1:NombreRazon>"
         "<sum1:NIF>B00000034</sum1:NIF></sum1:ObligadoEmision></sum:Cabecera>" +
         records + "</sum:RegFactuSistemaFacturacion>\n";
}

class Send : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Every address here is this machine's: no proxy may carry them off.
    ::setenv("no_proxy", "*", 1);
    ::setenv("NO_PROXY", "*", 1);
    certificates_ = new TestCertificates();
  }
  static void TearDownTestSuite() { delete certificates_; }
  void SetUp() override {
    platform::ResetProgramState();
    ASSERT_EQ(certificates_->problem(), "");
  }
  void TearDown() override { platform::ResetProgramState(); }

  static SendSettings SettingsFor(const std::string& url) {
    SendSettings settings;
    settings.url = url;
    settings.certificateFile = certificates_->client();
    settings.certificatePassword = TestCertificates::kPassword;
    settings.authorityFile = certificates_->authority();
    settings.connectTimeoutMs = 10 * 1000;
    settings.totalTimeoutMs = 30 * 1000;
    return settings;
  }

  // Sends document to a new server of scenario, allowing totalTimeoutMs
  // for the answer; the server stays in *server for the checks.  A server
  // that cannot start fails the test.
  static Outcome SendTo(AgencyScenario scenario, const std::string& document,
                        std::unique_ptr<AgencyTestServer>* server,
                        long totalTimeoutMs = 30 * 1000) {
    *server = std::make_unique<AgencyTestServer>(*certificates_, scenario);
    EXPECT_EQ((*server)->problem(), "");
    SendSettings settings = SettingsFor((*server)->url());
    settings.totalTimeoutMs = totalTimeoutMs;
    return SendSubmission(settings, document);
  }

  static TestCertificates* certificates_;
};

TestCertificates* Send::certificates_ = nullptr;

TEST_F(Send, AcceptedSubmissionIsReadLineByLineAndTheRequestCarriesTheDocumentWhole) {
  std::unique_ptr<AgencyTestServer> server;
  const std::string document = Document(3, true);
  const Outcome outcome = SendTo(AgencyScenario::kAllAccepted, document, &server);
  ASSERT_TRUE(outcome.answered()) << EnglishMessage(outcome.failure);
  EXPECT_EQ(outcome.failure.kind, FailureKind::kNone);
  const Answer& answer = *outcome.answer;
  EXPECT_EQ(answer.csv, "A-QT7XW2M9KD4BFR");
  EXPECT_EQ(answer.waitSeconds, 60);
  EXPECT_EQ(answer.state, SendState::kCorrecto);
  ASSERT_EQ(answer.lines.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(answer.lines[i].invoice.seriesNumber, "R-2025/" + std::to_string(i + 1));
    EXPECT_EQ(answer.lines[i].state, RecordState::kCorrecto);
  }
  EXPECT_EQ(answer.lines[0].operation, Operation::kAlta);
  EXPECT_EQ(answer.lines[2].operation, Operation::kAnulacion);
  EXPECT_EQ(server->findings(), std::vector<std::string>{});
  ASSERT_EQ(server->requests().size(), 1u);
  const std::string withoutDeclaration = document.substr(document.find("<sum:"));
  EXPECT_NE(server->requests()[0].find(withoutDeclaration), std::string::npos);
}

TEST_F(Send, FullSubmissionOfAThousandRecordsIsAnsweredWhole) {
  std::unique_ptr<AgencyTestServer> server;
  const Outcome outcome = SendTo(AgencyScenario::kAllAccepted, Document(kMaxRecords), &server);
  ASSERT_TRUE(outcome.answered()) << EnglishMessage(outcome.failure);
  EXPECT_EQ(outcome.answer->lines.size(), static_cast<size_t>(kMaxRecords));
  EXPECT_EQ(outcome.answer->lines.back().invoice.seriesNumber, "R-2025/1000");
  EXPECT_EQ(server->findings(), std::vector<std::string>{});
}

TEST_F(Send, RejectedAndFaultyRecordsCarryTheAgencysCodesAndReasons) {
  std::unique_ptr<AgencyTestServer> server;
  const Outcome rejected = SendTo(AgencyScenario::kSomeRejected, Document(3), &server);
  ASSERT_TRUE(rejected.answered()) << EnglishMessage(rejected.failure);
  EXPECT_EQ(rejected.answer->state, SendState::kParcialmenteCorrecto);
  EXPECT_EQ(rejected.answer->csv, "A-QT7XW2M9KD4BFR");
  ASSERT_EQ(rejected.answer->lines.size(), 3u);
  EXPECT_EQ(rejected.answer->lines[0].state, RecordState::kCorrecto);
  EXPECT_EQ(rejected.answer->lines[1].state, RecordState::kIncorrecto);
  EXPECT_EQ(rejected.answer->lines[1].errorCode, "1110");
  EXPECT_EQ(rejected.answer->lines[1].errorDescription,
            "El NIF no est\xA0 identificado en el censo de la AEAT.");

  const Outcome withErrors = SendTo(AgencyScenario::kSomeAcceptedWithErrors, Document(2), &server);
  ASSERT_TRUE(withErrors.answered()) << EnglishMessage(withErrors.failure);
  EXPECT_EQ(withErrors.answer->state, SendState::kParcialmenteCorrecto);
  ASSERT_EQ(withErrors.answer->lines.size(), 2u);
  EXPECT_EQ(withErrors.answer->lines[1].state, RecordState::kAceptadoConErrores);
  EXPECT_EQ(withErrors.answer->lines[1].errorCode, "2000");
  EXPECT_EQ(withErrors.answer->lines[1].errorDescription,
            "El c\xA0lculo de la huella suministrada es incorrecta.");
}

TEST_F(Send, DuplicatesNameTheRecordsTheAgencyAlreadyHolds) {
  std::unique_ptr<AgencyTestServer> server;
  const Outcome outcome = SendTo(AgencyScenario::kAlreadyHeld, Document(2), &server);
  ASSERT_TRUE(outcome.answered()) << EnglishMessage(outcome.failure);
  EXPECT_EQ(outcome.answer->state, SendState::kIncorrecto);
  EXPECT_EQ(outcome.answer->csv, "");
  ASSERT_EQ(outcome.answer->lines.size(), 2u);
  for (const AnswerLine& line : outcome.answer->lines) {
    EXPECT_EQ(line.state, RecordState::kIncorrecto);
    EXPECT_EQ(line.errorCode, "3000");
    ASSERT_TRUE(line.held.has_value());
    EXPECT_EQ(line.held->state, HeldState::kCorrecta);
  }
  EXPECT_EQ(outcome.answer->lines[1].held->requestId, "202501151030002");
}

TEST_F(Send, WaitingTimeIsTheOneTheAgencyGives) {
  std::unique_ptr<AgencyTestServer> server;
  const Outcome outcome = SendTo(AgencyScenario::kShortWait, Document(1), &server);
  ASSERT_TRUE(outcome.answered()) << EnglishMessage(outcome.failure);
  EXPECT_EQ(outcome.answer->waitSeconds, 3);
}

TEST_F(Send, ServerThatAnswersBadlyOrNotAtAllLeavesNothingAnswered) {
  const struct {
    AgencyScenario scenario;
    FailureKind kind;
    long totalTimeoutMs;
  } cases[] = {
      {AgencyScenario::kSoapFault, FailureKind::kSoapFault, 30 * 1000},
      {AgencyScenario::kUnavailable, FailureKind::kHttpStatus, 30 * 1000},
      {AgencyScenario::kNotTheAgency, FailureKind::kNotAgencyAnswer, 30 * 1000},
      {AgencyScenario::kClosedConnection, FailureKind::kConnectionDropped, 30 * 1000},
      {AgencyScenario::kSlowAnswer, FailureKind::kTimeout, 3 * 1000},
  };
  for (const auto& c : cases) {
    std::unique_ptr<AgencyTestServer> server;
    const Outcome outcome = SendTo(c.scenario, Document(2), &server, c.totalTimeoutMs);
    SCOPED_TRACE(EnglishMessage(outcome.failure));
    EXPECT_FALSE(outcome.answered());
    EXPECT_EQ(outcome.failure.kind, c.kind);
    EXPECT_TRUE(outcome.failure.requestSent);
    EXPECT_EQ(outcome.failure.subject, "127.0.0.1");
    EXPECT_EQ(server->requests().size(), 1u);
    if (c.kind == FailureKind::kSoapFault) {
      EXPECT_EQ(outcome.failure.faultCode, "env:Client");
      EXPECT_EQ(outcome.failure.faultString,
                "Codigo[4104].El NIF del titular en la cabecera no est\xA0 identificado. "
                "NIF:B00000034");
    }
    if (c.kind == FailureKind::kHttpStatus) {
      EXPECT_EQ(outcome.failure.httpStatus, 503);
    }
  }
}

TEST_F(Send, RequestThatACallersCheckRefusesIsAFaultOfTheClient) {
  AgencyTestServer server(*certificates_, AgencyScenario::kAllAccepted);
  ASSERT_EQ(server.problem(), "");
  server.SetExtraCheck([](const std::string& body) {
    return body.find("<sum1:Huella>") == std::string::npos ? "a record without its Huella" : "";
  });
  const Outcome outcome = SendSubmission(SettingsFor(server.url()), Document(1));
  EXPECT_FALSE(outcome.answered());
  EXPECT_EQ(outcome.failure.kind, FailureKind::kSoapFault);
  EXPECT_EQ(outcome.failure.faultString, "a record without its Huella");
  EXPECT_FALSE(WorthRetrying(outcome.failure));
  EXPECT_EQ(server.findings(), std::vector<std::string>{"a record without its Huella"});
}

// A port of this machine where nothing listens.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(fd);
  return ntohs(address.sin_port);
}

TEST_F(Send, ConnectionFailuresAreToldApartWithoutAnythingLeavingTheMachine) {
  // A multicast address takes no TCP connection: the system answers "network
  // unreachable" itself.  A label of more than 63 characters is refused by
  // the resolver before any query is sent.
  const std::string tooLongLabel(70, 'a');
  const struct {
    std::string url;
    FailureKind kind;
    std::string host;
  } cases[] = {
      {"https://224.0.0.1/VerifactuSOAP", FailureKind::kNoNetwork, "224.0.0.1"},
      {"https://" + tooLongLabel + ".invalid/VerifactuSOAP", FailureKind::kNameNotResolved,
       tooLongLabel + ".invalid"},
      {"https://127.0.0.1:" + std::to_string(ClosedPort()) + "/VerifactuSOAP",
       FailureKind::kConnectionRefused, "127.0.0.1"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = SendSubmission(SettingsFor(c.url), Document(1));
    SCOPED_TRACE(EnglishMessage(outcome.failure));
    EXPECT_FALSE(outcome.answered());
    EXPECT_EQ(outcome.failure.kind, c.kind);
    EXPECT_EQ(outcome.failure.subject, c.host);
    EXPECT_FALSE(outcome.failure.requestSent);
  }
}

TEST_F(Send, ServerMustProveItselfAndTakesOnlyItsAuthoritysClients) {
  std::unique_ptr<AgencyTestServer> server;
  const Outcome untrusted = [&] {
    server = std::make_unique<AgencyTestServer>(*certificates_, AgencyScenario::kAllAccepted);
    SendSettings settings = SettingsFor(server->url());
    settings.authorityFile = certificates_->foreignAuthority();
    return SendSubmission(settings, Document(1));
  }();
  EXPECT_FALSE(untrusted.answered());
  EXPECT_EQ(untrusted.failure.kind, FailureKind::kServerNotTrusted)
      << EnglishMessage(untrusted.failure);
  EXPECT_EQ(server->requests().size(), 0u);

  SendSettings foreignClient = SettingsFor(server->url());
  foreignClient.certificateFile = certificates_->foreignClient();
  const Outcome refused = SendSubmission(foreignClient, Document(1));
  EXPECT_FALSE(refused.answered());
  EXPECT_EQ(refused.failure.kind, FailureKind::kCertificateRefused)
      << EnglishMessage(refused.failure);
  EXPECT_FALSE(refused.failure.requestSent);
  EXPECT_EQ(server->requests().size(), 0u);
  EXPECT_EQ(server->refusedHandshakes(), 2);
}

TEST_F(Send, CertificateProblemsAreToldBeforeAnythingIsSent) {
  testing_support::TempDir dir;
  dir.Write("junk.p12", "-----BEGIN CERTIFICATE-----\nnot at all\n");
  AgencyTestServer server(*certificates_, AgencyScenario::kAllAccepted);
  ASSERT_EQ(server.problem(), "");
  const struct {
    std::string file;
    std::string password;
    platform::DateTime today;
    FailureKind kind;
    std::string date;
  } cases[] = {
      {"", TestCertificates::kPassword, {}, FailureKind::kCertificateMissing, ""},
      {dir.Sub("missing.p12"),
       TestCertificates::kPassword,
       {},
       FailureKind::kCertificateMissing,
       ""},
      {dir.Sub("junk.p12"),
       TestCertificates::kPassword,
       {},
       FailureKind::kCertificateUnreadable,
       ""},
      {certificates_->client(), "clau equivocada", {}, FailureKind::kCertificateWrongPassword, ""},
      {certificates_->client(), "", {}, FailureKind::kCertificateWrongPassword, ""},
      {certificates_->expiredClient(),
       TestCertificates::kPassword,
       {},
       FailureKind::kCertificateExpired,
       "2021-01-01"},
      {certificates_->expiredClient(),
       TestCertificates::kPassword,
       {2019, 6, 1, 12, 0, 0},
       FailureKind::kCertificateNotYetValid,
       "2020-01-01"},
  };
  for (const auto& c : cases) {
    platform::ResetProgramState();
    if (c.today.year != 0) platform::FixToday(c.today);
    SendSettings settings = SettingsFor(server.url());
    settings.certificateFile = c.file;
    settings.certificatePassword = c.password;
    const Outcome outcome = SendSubmission(settings, Document(1));
    SCOPED_TRACE(EnglishMessage(outcome.failure));
    EXPECT_FALSE(outcome.answered());
    EXPECT_EQ(outcome.failure.kind, c.kind);
    EXPECT_EQ(outcome.failure.subject, c.file);
    EXPECT_EQ(outcome.failure.date, c.date);
  }
  EXPECT_EQ(server.requests().size(), 0u);
  EXPECT_EQ(server.refusedHandshakes(), 0);
}

}  // namespace
}  // namespace submission
