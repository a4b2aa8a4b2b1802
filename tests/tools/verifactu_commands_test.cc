// recutil register send, status, xml and correct on a demo office whose
// December cycle made twelve VERI*FACTU billing records, sent to the
// stand-in for the tax agency: answers kept and shown, the agency's wait and
// the pauses after failures kept in the register, a rejected record
// corrected, and the documents written out as the sending sends them.
#include "verifactu_commands.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "../support/agency_test_server.h"
#include "../support/demo_office.h"
#include "format/packed.h"
#include "issuing/issuing_run.h"
#include "ledger/billing_records.h"
#include "ledger/register_settings.h"
#include "office/record_layouts.h"
#include "office/selection.h"
#include "platform/clock.h"
#include "record_handle.h"
#include "register_access.h"
#include "register_commands.h"

namespace recutil {
namespace {

using testing_support::AgencyScenario;
using testing_support::AgencyTestServer;
using testing_support::TestCertificates;

// An environment variable put back as it was found.
class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) value_ = value;
  }
  ~SavedVariable() {
    if (value_) {
      ::setenv(name_, value_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> value_;
};

// A command's exit code and standard output.
struct Output {
  int code = -1;
  std::string out;
};

// Runs a command with its standard output caught.
template <typename Command>
Output Capture(Command command) {
  Output run;
  std::FILE* out = std::tmpfile();
  run.code = command(out);
  std::rewind(out);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) run.out.append(buffer, n);
  std::fclose(out);
  return run;
}

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

int Count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

class VerifactuCommands : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certificates_ = new TestCertificates(); }
  static void TearDownTestSuite() { delete certificates_; }

  void SetUp() override {
    // Every address here is this machine's: no proxy may carry them off.
    ::setenv("no_proxy", "*", 1);
    ::setenv("NO_PROXY", "*", 1);
    ::setenv("KELCERTCLAU", TestCertificates::kPassword, 1);
    ASSERT_EQ(certificates_->problem(), "");
    std::vector<demo::RecordFile> files = demo::BuildDemoRecords({});
    demo::GiveOwnersValidTaxIds(files);
    office_ = std::make_unique<testing_support::DemoOffice>(files);
    server_ = Serve(AgencyScenario::kAllAccepted);
    // The demo's [VeriFactu] section, turned on and pointed at the stand-in.
    std::string tora = office_->dir().Read("Tora.ini");
    const size_t section = tora.find("[VeriFactu]");
    ASSERT_NE(section, std::string::npos);
    tora.replace(tora.find("Actiu=N", section), 7,
                 "Actiu=S\r\nURL=" + server_->url() + "\r\nAutoritats=" + certificates_->authority());
    tora.insert(tora.find("Certificat=", section) + 11, certificates_->client());
    office_->dir().Write("Tora.ini", tora);
    ASSERT_TRUE(office_->Start());
    Issue(12, 2026);
    // The test certificates are valid from when they were made, so their
    // check needs the computer's clock back in place of the office's date.
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    platform::FixToday({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec});
    place_ = RegisterPlaceOf(office_->Root(), "");
    std::vector<ledger::BillingEntry> records;
    ASSERT_TRUE(Open()->Billing("", &records));
    ASSERT_EQ(records.size(), 12u);
    issuedAt_ = ledger::GenerationMoment(records.back().generatedAt);
  }
  void TearDown() override { office_.reset(); }

  // A server of scenario, which the sending goes to from now on.
  static std::unique_ptr<AgencyTestServer> Serve(AgencyScenario scenario) {
    auto server = std::make_unique<AgencyTestServer>(*certificates_, scenario);
    EXPECT_EQ(server->problem(), "");
    ledger::RegisterSettings().url = server->url();
    return server;
  }

  static void Issue(int month, int year) {
    office::Selection s = office::SelectionFromScreen();
    char digits[9];
    std::snprintf(digits, sizeof digits, "%04d%02d01", year, month);
    s.issueDate = format::PackDigits(digits);
    issuing::IssueSummary summary;
    std::string told;
    issuing::RunIssuingCycle(
        s, false, [&](const std::string& t) { told += t + "\n"; }, &summary);
    ASSERT_GT(summary.receipts, 0) << told;
  }

  std::unique_ptr<ledger::Register> Open() const {
    std::string error;
    auto reg = OpenExistingRegister(place_, &error);
    EXPECT_NE(reg, nullptr) << error;
    return reg;
  }

  Output Send(std::time_t now) const {
    return Capture([&](std::FILE* out) { return SendRegister(place_, now, out); });
  }
  Output Status(std::time_t now) const {
    return Capture([&](std::FILE* out) { return ShowBillingStatus(place_, now, out); });
  }

  // The records, each with the answers kept for it.
  std::vector<std::pair<ledger::BillingEntry, std::vector<ledger::AnswerEntry>>> Answers() const {
    auto reg = Open();
    std::vector<ledger::BillingEntry> records;
    EXPECT_TRUE(reg->Billing("", &records));
    std::vector<std::pair<ledger::BillingEntry, std::vector<ledger::AnswerEntry>>> out;
    for (const ledger::BillingEntry& e : records) {
      out.push_back({e, {}});
      EXPECT_TRUE(reg->AnswersFor(e.id, &out.back().second));
    }
    return out;
  }

  // Gives the unit's tenant a new tax identifier in its record, as the
  // office mends it.
  void MendTenantTaxId(const std::string& unitKey, const std::string& nif) const {
    Handle h;
    ASSERT_EQ(h.Open(office_->Root() + "DADES/DepartaV.dat", btrieve::kOpenNormal),
              btrieve::kStatusOk);
    std::vector<char> data(kBufferSize);
    uint32_t length = kBufferSize;
    char key[256] = {};
    const std::string packed = format::PackDigits(unitKey);
    std::copy(packed.begin(), packed.end(), key);
    ASSERT_EQ(BTRCALL(btrieve::kBtrGetEqual, h.block, data.data(), &length, key, 255, 0),
              btrieve::kStatusOk);
    std::string field = nif;
    field.resize(office::unit_fields::kFiscalId.width, ' ');
    std::copy(field.begin(), field.end(), data.begin() + office::unit_fields::kFiscalId.offset);
    ASSERT_EQ(BTRCALL(btrieve::kBtrUpdate, h.block, data.data(), &length, key, 255, 0),
              btrieve::kStatusOk);
  }

  static TestCertificates* certificates_;
  SavedVariable noProxy_{"no_proxy"}, noProxyUpper_{"NO_PROXY"}, password_{"KELCERTCLAU"};
  std::unique_ptr<testing_support::DemoOffice> office_;
  std::unique_ptr<AgencyTestServer> server_;
  ledger::RegisterPlace place_;
  std::time_t issuedAt_ = 0;
};

TestCertificates* VerifactuCommands::certificates_ = nullptr;

TEST_F(VerifactuCommands, AcceptedRecordsAreSentOnceAndCountedAsAccepted) {
  const std::time_t now = issuedAt_ + 10;
  ledger::RegisterSettings().verifactu = false;
  EXPECT_EQ(Send(now).code, 1);  // the mode cannot be switched off once records exist
  ledger::RegisterSettings().verifactu = true;
  EXPECT_EQ(server_->requests().size(), 0u);

  const Output sent = Send(now);
  EXPECT_EQ(sent.code, 0) << sent.out;
  EXPECT_EQ(Count(sent.out, "records sent, CSV A-QT7XW2M9KD4BFR"),
            static_cast<int>(server_->requests().size()));
  const Output status = Status(now);
  EXPECT_EQ(status.code, 0);
  int accepted = 0;
  for (size_t at = status.out.find(", accepted "); at != std::string::npos;
       at = status.out.find(", accepted ", at + 1)) {
    accepted += std::atoi(status.out.c_str() + at + 11);
  }
  EXPECT_EQ(accepted, 12) << status.out;
  EXPECT_FALSE(Has(status.out, "rejected 1") || Has(status.out, "waiting 1")) << status.out;
  EXPECT_TRUE(Has(status.out, "answered, CSV A-QT7XW2M9KD4BFR")) << status.out;

  const size_t requests = server_->requests().size();
  const Output again = Send(now + 3600);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(again.out, "nothing waiting\n");
  EXPECT_EQ(server_->requests().size(), requests);
}

TEST_F(VerifactuCommands, RejectedRecordIsCorrectedWithTheTenantAsTheUnitHasItNow) {
  const std::time_t now = issuedAt_ + 10;
  auto rejecting = Serve(AgencyScenario::kSomeRejected);
  ASSERT_EQ(Send(now).code, 0);
  const Output status = Status(now);
  EXPECT_TRUE(Has(status.out, " rejected 1110: El NIF no est\xC3\xA1 identificado")) << status.out;
  EXPECT_TRUE(Has(Capture([&](std::FILE* out) { return ListRegister(place_, {}, out); }).out,
                  " rejected 1110: "));

  const auto answers = Answers();
  auto answered = [&](const std::string& state) {
    return std::find_if(answers.begin(), answers.end(),
                        [&](const auto& a) { return a.second[0].state == state; })
        ->first;
  };
  std::vector<ledger::IssuedReceipt> found;
  ASSERT_TRUE(Open()->ReceiptById(answered("Incorrecto").receipt, &found));
  const ledger::IssuedReceipt rejected = found[0];
  ASSERT_TRUE(Open()->ReceiptById(answered("Correcto").receipt, &found));
  const ledger::IssuedReceipt accepted = found[0];
  auto correct = [&](const ledger::IssuedReceipt& r) {
    return Capture(
        [&](std::FILE* out) { return CorrectReceipt(place_, r.ownerKey, r.number, now, out); });
  };
  EXPECT_EQ(correct(accepted).code, 1);
  ledger::IssuedReceipt missing = rejected;
  missing.number += 1000;
  EXPECT_EQ(correct(missing).code, 1);
  MendTenantTaxId(rejected.unitKey, "12345678Z");
  EXPECT_EQ(correct(rejected).code, 0);
  EXPECT_EQ(correct(rejected).code, 1);  // its correction waits already
  EXPECT_EQ(Answers().size(), 13u);
  EXPECT_TRUE(Has(Status(now).out, ", corrected since"));

  auto accepting = Serve(AgencyScenario::kAllAccepted);
  const Output sent = Send(now + 60);
  EXPECT_EQ(sent.code, 0) << sent.out;
  ASSERT_EQ(accepting->requests().size(), 1u);
  const std::string body = accepting->requests()[0];
  EXPECT_EQ(Count(body, "RegistroAlta>") / 2, 1);
  EXPECT_TRUE(Has(body, "Subsanacion>S<") && Has(body, "RechazoPrevio>S<")) << body;
  EXPECT_TRUE(Has(body, "12345678Z")) << body;
  EXPECT_TRUE(Has(Status(now + 60).out, "corrected 1")) << Status(now + 60).out;
}

TEST_F(VerifactuCommands, AgencysWaitHoldsTheNextSubmissionAcrossRegisterObjects) {
  const std::time_t now = issuedAt_ + 10;
  auto waiting = Serve(AgencyScenario::kShortWait);
  ASSERT_EQ(Send(now).code, 0);
  const size_t first = waiting->requests().size();
  Issue(1, 2027);
  const Output held = Send(now + 1);
  EXPECT_EQ(held.code, 0);
  EXPECT_TRUE(Has(held.out, "the next submission may go in 2 s")) << held.out;
  EXPECT_TRUE(Has(Status(now + 1).out, "(in 2 s)"));
  EXPECT_EQ(waiting->requests().size(), first);
  const Output sent = Send(now + 3);
  EXPECT_EQ(sent.code, 0) << sent.out;
  EXPECT_EQ(waiting->requests().size(), 2 * first);
}

TEST_F(VerifactuCommands, FailuresLeaveEveryRecordWaitingBehindAGrowingPause) {
  const std::string certificate = ledger::RegisterSettings().certificate;
  const std::vector<std::function<std::unique_ptr<AgencyTestServer>()>> failures = {
      [] { return Serve(AgencyScenario::kUnavailable); },
      [] { return Serve(AgencyScenario::kClosedConnection); },
      [] { return Serve(AgencyScenario::kSoapFault); },
      [&] {
        ledger::RegisterSettings().certificate = office_->dir().Sub("none.p12");
        return Serve(AgencyScenario::kAllAccepted);
      },
      [&] {
        ledger::RegisterSettings().certificate = certificate;
        ::setenv("KELCERTCLAU", "not the password", 1);
        return Serve(AgencyScenario::kAllAccepted);
      },
  };
  std::time_t now = issuedAt_ + 10;
  int64_t pause = 60;
  std::vector<std::string> issuers;
  ASSERT_TRUE(Open()->IssuersWaiting(&issuers));
  for (const auto& serve : failures) {
    auto server = serve();
    const Output failed = Send(now);
    EXPECT_EQ(failed.code, 1) << failed.out;
    EXPECT_EQ(Send(now + pause - 1).code, 0);  // held by the pause, not tried
    for (const auto& [record, answers] : Answers()) EXPECT_TRUE(answers.empty());
    for (const std::string& issuer : issuers) {
      ledger::FlowEntry flow;
      ASSERT_TRUE(Open()->Flow(issuer, &flow));
      EXPECT_EQ(flow.nextAt, now + pause) << failed.out;
    }
    now += pause;
    pause *= 2;
  }
  ::setenv("KELCERTCLAU", TestCertificates::kPassword, 1);
  auto accepting = Serve(AgencyScenario::kAllAccepted);
  EXPECT_EQ(Send(now).code, 0);
  ASSERT_FALSE(accepting->requests().empty());
  EXPECT_TRUE(Has(accepting->requests()[0], "Incidencia>S<"));
  auto reg = Open();
  for (const auto& [record, answers] : Answers()) {
    ASSERT_EQ(answers.size(), 1u);
    std::vector<ledger::SubmissionEntry> submissions;
    ASSERT_TRUE(reg->Submissions(record.issuerNif, 100, &submissions));
    const int64_t answeredIn = answers[0].submission;
    EXPECT_EQ(std::count_if(submissions.begin(), submissions.end(),
                            [answeredIn](const auto& s) {
                              return s.id == answeredIn && s.outcome == "answered";
                            }),
              1);
  }
}

TEST_F(VerifactuCommands, XmlWritesPerIssuerTheDocumentTheSendingSends) {
  const std::string dir = office_->dir().Sub("xml");
  std::filesystem::create_directories(dir);
  const Output written = Capture([&](std::FILE* out) { return WriteWaitingXml(place_, dir, out); });
  ASSERT_EQ(written.code, 0) << written.out;
  std::vector<std::string> issuers;
  ASSERT_TRUE(Open()->IssuersWaiting(&issuers));
  size_t files = 0;
  int records = 0;
  std::vector<std::string> documents;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++files;
    const std::string name = entry.path().stem();
    EXPECT_NE(std::find(issuers.begin(), issuers.end(), name), issuers.end()) << name;
    std::vector<ledger::BillingEntry> waiting;
    ASSERT_TRUE(Open()->WaitingBilling(name, 1000, &waiting));
    xmlDoc* doc = xmlReadFile(entry.path().c_str(), nullptr, XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr) << name;
    int inFile = 0;
    for (xmlNode* n = xmlDocGetRootElement(doc)->children; n != nullptr; n = n->next) {
      inFile += n->type == XML_ELEMENT_NODE && xmlStrEqual(n->name, BAD_CAST "RegistroFactura");
    }
    xmlFreeDoc(doc);
    EXPECT_EQ(inFile, static_cast<int>(waiting.size())) << name;
    EXPECT_TRUE(Has(written.out, name + ".xml: " + std::to_string(inFile) + " records"));
    records += inFile;
    const std::string text = office_->dir().Read("xml/" + name + ".xml");
    documents.push_back(text.substr(text.find("<sum:"), text.rfind('>') + 1 - text.find("<sum:")));
  }
  EXPECT_EQ(files, issuers.size());
  EXPECT_EQ(records, 12);
  ASSERT_EQ(Send(issuedAt_ + 10).code, 0);
  const std::vector<std::string> requests = server_->requests();
  for (const std::string& document : documents) {
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [&](const std::string& body) { return Has(body, document); }),
              1);
  }
}

TEST_F(VerifactuCommands, ASenderKilledMidExchangeLeavesEveryRecordWaiting) {
  const auto slow = Serve(AgencyScenario::kSlowAnswer);
  // The sender is recutil itself, in a process of its own (a fork of this
  // one would inherit the stand-in's thread's locks), sent to the stand-in
  // by Tora.ini.
  std::string tora = office_->dir().Read("Tora.ini");
  const size_t url = tora.find("URL=");
  tora.replace(url, tora.find_first_of("\r\n", url) - url, "URL=" + slow->url());
  office_->dir().Write("Tora.ini", tora);
  std::vector<std::string> args = {RECUTIL_PATH, "register", "send", office_->Root()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t sender = 0;
  ASSERT_EQ(::posix_spawn(&sender, RECUTIL_PATH, nullptr, nullptr, argv.data(), environ), 0);
  // Killed once the stand-in holds its submission and before any answer.
  for (int waited = 0; slow->requests().empty() && waited < 600; ++waited) ::usleep(50000);
  const bool held = !slow->requests().empty();
  ::kill(sender, SIGKILL);
  int status = 0;
  ::waitpid(sender, &status, 0);
  ASSERT_TRUE(held);
  for (const auto& [record, answers] : Answers()) EXPECT_TRUE(answers.empty()) << record.seriesNumber;
  // Its claim runs out, and the next sender sends every record once.
  const auto accepting = Serve(AgencyScenario::kAllAccepted);
  EXPECT_EQ(Send(std::time(nullptr) + 3600).code, 0);
  for (const auto& [record, answers] : Answers()) {
    ASSERT_EQ(answers.size(), 1u) << record.seriesNumber;
    EXPECT_EQ(answers[0].state, "Correcto");
  }
}

}  // namespace
}  // namespace recutil
