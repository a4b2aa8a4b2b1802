// Issuing cycles of a VERI*FACTU installation: every receipt registered gets
// its billing record in its issuer's chain, recomputed here from the XML that
// would be sent; copies get none; exempt rent goes as an exempt line; the
// mode cannot be switched off once records exist; a clock gone back stops
// the cycle; a cancellation is chained as well.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <openssl/sha.h>
#include <stdlib.h>

#include <map>

#include "../support/demo_office.h"
#include "format/packed.h"
#include "issuing/issuing_run.h"
#include "ledger/billing_records.h"
#include "ledger/register.h"
#include "ledger/register_settings.h"
#include "office/selection.h"
#include "platform/clock.h"
#include "verifactu/submission.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

// The demo office with owners' tax identifiers whose check letters are
// right, so that the agency would take them, and one tenant's as well; the
// other tenants go as other identifiers.
std::vector<demo::RecordFile> ValidTaxIds() {
  std::vector<demo::RecordFile> files = demo::BuildDemoRecords({});
  demo::GiveOwnersValidTaxIds(files);
  for (std::string& record : testing_support::FileNamed(files, "DepartaV").records) {
    const size_t at = record.find("41234567-L");
    if (at != std::string::npos) record.replace(at, 10, "41234567-Y");
  }
  return files;
}

class VerifactuRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = getenv("TZ")) oldZone_ = tz;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    std::string tora = office_.dir().Read("Tora.ini");
    const size_t section = tora.find("[VeriFactu]");
    ASSERT_NE(section, std::string::npos);
    tora.replace(tora.find("Actiu=N", section), 7, "Actiu=S");
    tora.replace(tora.find("Serie=", section), 6, "Serie=R");
    office_.dir().Write("Tora.ini", tora);
    ASSERT_TRUE(office_.Start());
  }
  void TearDown() override {
    if (oldZone_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", oldZone_.c_str(), 1);
    }
  }

  struct Cycle {
    IssueSummary summary;
    CycleOutcome outcome;
    std::vector<std::string> told;
  };
  Cycle Run() {
    Cycle c;
    c.outcome = RunIssuingCycle(
        office::SelectionFromScreen(), false, [&c](const std::string& t) { c.told.push_back(t); },
        &c.summary);
    return c;
  }
  std::vector<ledger::BillingEntry> Records() {
    std::string error;
    auto reg = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
    std::vector<ledger::BillingEntry> out;
    EXPECT_TRUE(reg != nullptr && reg->Billing("", &out)) << error;
    return out;
  }

  std::string oldZone_;
  DemoOffice office_{ValidTaxIds()};
};

int Count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

std::string Sha256(const std::string& text) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
  static const char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : digest) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

// The text of the first element named `name` under node (any depth).
std::string Text(xmlNode* node, const char* name) {
  for (xmlNode* n = node->children; n != nullptr; n = n->next) {
    if (n->type != XML_ELEMENT_NODE) continue;
    if (xmlStrcmp(n->name, BAD_CAST name) == 0) {
      xmlChar* content = xmlNodeGetContent(n);
      std::string text = reinterpret_cast<const char*>(content);
      xmlFree(content);
      return text;
    }
    std::string inner = Text(n, name);
    if (!inner.empty()) return inner;
  }
  return {};
}

TEST_F(VerifactuRun, EveryReceiptGetsAChainedRecordThatRecomputesFromItsXml) {
  const Cycle first = Run();
  ASSERT_EQ(first.outcome, CycleOutcome::kNotPrinted) << (first.told.empty() ? "" : first.told[0]);
  std::vector<ledger::BillingEntry> records = Records();
  ASSERT_EQ(records.size(), 12u);
  std::map<std::string, std::vector<const ledger::BillingEntry*>> chains;
  for (const auto& r : records) chains[r.issuerNif].push_back(&r);
  EXPECT_EQ(chains.size(), 4u);
  for (const auto& [issuer, chain] : chains) {
    verifactu::Submission s{{{"OWNER", issuer}, {"OFFICE", "B17654321"}, false}, {}};
    for (const auto* r : chain) s.records.push_back(r->xml);
    const std::string xml = verifactu::SubmissionXml(s);
    xmlDoc* doc =
        xmlReadMemory(xml.c_str(), static_cast<int>(xml.size()), nullptr, "UTF-8", XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr);
    std::string previous;
    int seen = 0;
    for (xmlNode* n = xmlDocGetRootElement(doc)->children; n != nullptr; n = n->next) {
      if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "RegistroFactura") != 0) {
        continue;
      }
      const std::string fingerprint = Text(n, "Huella");  // the previous one's comes first
      const std::string own = chain[seen]->fingerprint;
      EXPECT_EQ(chain[seen]->chainSeq, seen + 1);
      EXPECT_EQ(Text(n, "PrimerRegistro") == "S", seen == 0) << issuer;
      if (seen > 0) {
        EXPECT_EQ(fingerprint, previous) << issuer << " link " << seen;
      }
      // Recomputed from the values of the XML, with the previous record's
      // fingerprint as the chain gives it.
      EXPECT_EQ(Sha256("IDEmisorFactura=" + Text(n, "IDEmisorFactura") + "&NumSerieFactura=" +
                       Text(n, "NumSerieFactura") + "&FechaExpedicionFactura=" +
                       Text(n, "FechaExpedicionFactura") + "&TipoFactura=" +
                       Text(n, "TipoFactura") + "&CuotaTotal=" + Text(n, "CuotaTotal") +
                       "&ImporteTotal=" + Text(n, "ImporteTotal") + "&Huella=" + previous +
                       "&FechaHoraHusoGenRegistro=" + Text(n, "FechaHoraHusoGenRegistro")),
                own)
          << issuer << " record " << seen;
      EXPECT_EQ(Text(n, "NumSerieFactura").substr(0, 1), "R");
      previous = own;
      ++seen;
    }
    EXPECT_EQ(seen, static_cast<int>(chain.size()));
    xmlFreeDoc(doc);
  }
  // Every invoice carries its QR code, with its owner, number, date and
  // total; a month issued again prints copies with theirs, and makes no
  // record more.
  const std::string spool = office_.Spool();
  EXPECT_EQ(Count(spool, "\r\nQR "), 12);
  EXPECT_NE(spool.find("ValidarQR?nif=40000001B&numserie=R00000121&fecha=01-12-2026&importe="),
            std::string::npos);
  EXPECT_EQ(Run().summary.copies, 12);
  EXPECT_EQ(Count(office_.Spool(), "\r\nQR "), 12);
  EXPECT_EQ(Records().size(), 12u);
}

TEST_F(VerifactuRun, ExemptRentIsAnExemptLineAndATenantWithoutANifGoesAsAnotherId) {
  ASSERT_EQ(Run().outcome, CycleOutcome::kNotPrinted);
  int exempt = 0, taxed = 0, nif = 0, other = 0;
  for (const auto& r : Records()) {
    exempt += r.xml.find("<sum1:OperacionExenta>E1</sum1:OperacionExenta>") != std::string::npos;
    taxed += r.xml.find("<sum1:CalificacionOperacion>S1") != std::string::npos;
    nif += r.xml.find("<sum1:NIF>41234567Y</sum1:NIF>") != std::string::npos;
    other += r.xml.find("<sum1:IDType>03</sum1:IDType>") != std::string::npos;
  }
  EXPECT_GT(exempt, 0);
  EXPECT_GT(taxed, 0);
  EXPECT_EQ(nif, 1);
  EXPECT_GT(other, 0);
}

TEST_F(VerifactuRun, TheModeCannotBeTurnedOffOnceRecordsExist) {
  ASSERT_EQ(Run().outcome, CycleOutcome::kNotPrinted);
  ledger::RegisterSettings().verifactu = false;
  Cycle off = Run();
  EXPECT_EQ(off.outcome, CycleOutcome::kSettingsRefused);
  ASSERT_FALSE(off.told.empty());
  EXPECT_NE(off.told[0].find("cannot be turned off"), std::string::npos) << off.told[0];
  ledger::RegisterSettings().verifactu = true;
  ledger::RegisterSettings().enabled = false;
  EXPECT_EQ(Run().outcome, CycleOutcome::kSettingsRefused);
}

TEST_F(VerifactuRun, AClockGoneBackStopsTheCycleWithoutARecord) {
  ASSERT_EQ(Run().outcome, CycleOutcome::kNotPrinted);
  platform::FixToday({2026, 12, 8, 9, 58, 0});  // two minutes before the records
  office::Selection january = office::SelectionFromScreen();
  january.issueDate = format::PackDigits("20270101");
  Cycle c;
  c.outcome = RunIssuingCycle(
      january, false, [&c](const std::string& t) { c.told.push_back(t); }, &c.summary);
  EXPECT_EQ(c.outcome, CycleOutcome::kSettingsRefused);
  ASSERT_FALSE(c.told.empty());
  EXPECT_NE(c.told.back().find("clock is behind"), std::string::npos) << c.told.back();
  EXPECT_EQ(Records().size(), 12u);
}

TEST_F(VerifactuRun, ACancellationIsChainedAfterTheReceiptsRecord) {
  ASSERT_EQ(Run().outcome, CycleOutcome::kNotPrinted);
  std::string error;
  auto reg = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
  std::vector<ledger::IssuedReceipt> receipts;
  ASSERT_TRUE(reg->Receipts({}, &receipts));
  const ledger::IssuedReceipt& first = receipts[0];
  std::string problem;
  const auto cancel = [&](const ledger::IssuedReceipt& r) {
    problem = ledger::AppendCancellation(*reg, r, std::time(nullptr));
    return problem.empty();
  };
  ASSERT_EQ(reg->Cancel(first.ownerKey, first.number, {}, cancel),
            ledger::CancelOutcome::kCancelled)
      << problem;
  std::vector<ledger::BillingEntry> chain;
  ASSERT_TRUE(reg->Billing(ledger::IssuerNif(first), &chain));
  const ledger::BillingEntry& last = chain.back();
  EXPECT_EQ(last.kind, "anulacion");
  EXPECT_EQ(last.previousFingerprint, chain[chain.size() - 2].fingerprint);
  EXPECT_EQ(last.fingerprint,
            Sha256("IDEmisorFacturaAnulada=" + last.issuerNif + "&NumSerieFacturaAnulada=" +
                   last.seriesNumber + "&FechaExpedicionFacturaAnulada=" + last.issueDate +
                   "&Huella=" + last.previousFingerprint + "&FechaHoraHusoGenRegistro=" +
                   last.generatedAt));
  EXPECT_NE(last.xml.find("RegistroAnulacion"), std::string::npos);
}

}  // namespace
}  // namespace issuing
