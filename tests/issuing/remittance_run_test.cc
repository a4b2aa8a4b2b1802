// The remittance of an issuing cycle over the demo office: every domiciled
// receipt printed is either a debit of the file or named as left out, and
// a refused file still lets every receipt print.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "../remittance/pain_file.h"
#include "../support/demo_office.h"
#include "config/session_settings.h"
#include "issuing/issuing_run.h"
#include "office/selection.h"
#include "platform/cp850.h"
#include "remittance/cycle.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;
using testing_support::PainCents;
using testing_support::ReadPainFile;

struct Cycle {
  IssueSummary summary;
  std::vector<std::string> told;
};

Cycle RunCycle() {
  Cycle c;
  RunIssuingCycle(
      office::SelectionFromScreen(), false, [&c](const std::string& t) { c.told.push_back(t); },
      &c.summary);
  return c;
}

int Count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(RemittanceRun, DomiciledReceiptsOfTheDemoOfficeBecomeTheFilesDebits) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  const std::string path = office.Root() + "remesa.xml";
  ASSERT_TRUE(remittance::SetOverrides(path, "").empty());
  Cycle c = RunCycle();
  EXPECT_EQ(c.summary.receipts, 12);
  // The printed "*" references (each twice: the demo prints a duplicate)
  // are the receipts handed to the remittance.
  EXPECT_EQ(Count(office.Spool(), "*00"), 2 * 8);
  EXPECT_EQ(c.summary.domiciled.size(), 8u);
  const remittance::RemittanceResult& r = c.summary.remittance;
  EXPECT_EQ(r.outcome, remittance::RemittanceOutcome::kWritten);
  EXPECT_EQ(r.debits + static_cast<int>(r.leftOut.size()), 8);
  ASSERT_EQ(c.told.size(), 2u);
  EXPECT_EQ(c.told[0],
            "REBUTS FORA DE LA REMESA: 0001.0001 (COMPTE ERRONI), 0001.0002 (COMPTE ERRONI), "
            "0002.0000 (COMPTE ERRONI), 0004.0001 (COMPTE ERRONI), 0003.0001 (COMPTE ERRONI), "
            "0006.0003 (SENSE COMPTE)");
  const testing_support::PainFile f = ReadPainFile(path);
  for (const std::string& p : f.problems) ADD_FAILURE() << p;
  EXPECT_EQ(f.count, 2);
  EXPECT_EQ(f.sum, "1000.00");
  ASSERT_EQ(f.blocks.size(), 1u);
  EXPECT_EQ(f.blocks[0].collectionDate, "2026-12-03");  // working date 1 Dec, a Tuesday, + 2
  EXPECT_EQ(f.blocks[0].creditorId, "ES47000B17654321");
  ASSERT_EQ(f.blocks[0].debits.size(), 2u);
  const testing_support::PainDebit& first = f.blocks[0].debits[0];
  EXPECT_EQ(first.endToEndId, "0004-00000002");
  EXPECT_EQ(first.debtorName, "Inaki Canovas Nunez");
  EXPECT_EQ(first.ultimateCreditor, "Nuria Olive Bassols");
  EXPECT_EQ(first.text, "REBUT 00000002 PERIODE 12 REF 006002V12");
  EXPECT_EQ(PainCents(first.amount), 52000);
  EXPECT_EQ(f.blocks[0].debits[1].debtorIban, "ES6000491500051234567892");
}

// A settings file of the demo as an editor on Linux saves it, in UTF-8 with
// LF line ends, with the values of some keys replaced.
void SaveAsUtf8(DemoOffice& office, const std::string& name,
                const std::map<std::string, std::string>& utf8Values) {
  std::istringstream cp850(office.dir().Read(name));
  std::string text, line;
  while (std::getline(cp850, line, '\r')) {
    if (line.starts_with("\n")) line.erase(0, 1);
    const std::string key = line.substr(0, line.find('='));
    const auto value = utf8Values.find(key);
    text += (value == utf8Values.end() ? platform::Cp850ToUtf8(line) : key + "=" + value->second) +
            "\n";
  }
  office.dir().Write(name, text);
}

TEST(RemittanceRun, Utf8SettingsGiveCodePage850OnTheReceiptsAndInTheFile) {
  DemoOffice office;
  SaveAsUtf8(office, "Tora.ini",
             {{"Linia1", "GESTI\xC3\x93 FINQUES PERI\xC3\x87"},
              {"Linia6", "Tel. \xE2\x98\x8E 972 20 30 40"}});  // no such character in code page 850
  SaveAsUtf8(office, "session/Sessio.ini", {{"Titol", "REBUTS DE MAR\xC3\x87"}});
  ASSERT_TRUE(office.Start());
  EXPECT_EQ(config::Settings().MenuTitle, " REBUTS DE MAR\x80 ");
  const std::string path = office.Root() + "remesa.xml";
  ASSERT_TRUE(remittance::SetOverrides(path, "").empty());
  Cycle c = RunCycle();
  EXPECT_EQ(Count(office.Spool(), "GESTI\xE0 FINQUES PERI\x80"), 12);
  EXPECT_EQ(Count(office.Spool(), "Tel.  972 20 30 40"), 12);
  EXPECT_EQ(ReadPainFile(path).blocks.at(0).creditorName, "GESTIO FINQUES PERIC");
  ASSERT_FALSE(c.told.empty());
  EXPECT_EQ(c.told[0],
            "CAR\xB7"
            "CTER NO ADM\xD4S (S'OMET): [Empresa] Linia6 A " +
                office.Root() + "Tora.ini");
  // Told once: the next cycle reads the same settings without a word.
  EXPECT_EQ(RunCycle().told.size(), c.told.size() - 1);
}

TEST(RemittanceRun, ARefusedFileStillLetsEveryReceiptPrint) {
  DemoOffice office;
  std::string tora = office.dir().Read("Tora.ini");
  const size_t at = tora.find("Compte=ES79");
  ASSERT_NE(at, std::string::npos);
  tora.insert(at, ";");
  office.dir().Write("Tora.ini", tora);
  ASSERT_TRUE(office.Start());
  const std::string path = office.Root() + "remesa.xml";
  ASSERT_TRUE(remittance::SetOverrides(path, "").empty());
  Cycle c = RunCycle();
  EXPECT_EQ(c.summary.receipts, 12);
  EXPECT_EQ(Count(office.Spool(), "PAGE 66 \r\n"), 12);
  EXPECT_EQ(c.summary.remittance.outcome, remittance::RemittanceOutcome::kRefused);
  ASSERT_FALSE(c.told.empty());
  EXPECT_EQ(c.told.back(), "NO ES GENERA LA REMESA, REVISEU Tora.ini: [Remesa] Compte");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(RemittanceRun, WithoutARemittanceNoReceiptIsKept) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle();
  EXPECT_TRUE(c.summary.domiciled.empty());
  EXPECT_EQ(c.summary.remittance.outcome, remittance::RemittanceOutcome::kNotWanted);
  EXPECT_TRUE(c.told.empty());
}

}  // namespace
}  // namespace issuing
