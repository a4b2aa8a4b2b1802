// The issuing run over the demo office: which units get receipts, their
// numbers and amounts, what the run leaves untouched, and how a cycle
// reports what went wrong.
#include "issuing/issuing_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "../support/demo_office.h"
#include "config/session_settings.h"
#include "format/packed.h"
#include "ledger/register_settings.h"
#include "office/record_layouts.h"
#include "office/screen_form.h"
#include "office/selection.h"
#include "print/spool.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

// Runs a cycle without the print program and collects what it told.
struct Cycle {
  IssueSummary summary;
  CycleOutcome outcome;
  std::vector<std::string> told;
};

Cycle RunCycle(const office::Selection& s, bool startPrinter = false) {
  Cycle c;
  c.outcome = RunIssuingCycle(
      s, startPrinter, [&c](const std::string& t) { c.told.push_back(t); }, &c.summary);
  return c;
}

int Count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(IssuingRun, DemoOfficeIssuesTheReceiptsDueInDecember) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle(office::SelectionFromScreen());
  EXPECT_EQ(c.outcome, CycleOutcome::kNotPrinted);
  EXPECT_TRUE(c.told.empty());
  EXPECT_EQ(c.summary.receipts, 12);
  EXPECT_DOUBLE_EQ(c.summary.total, 1274402);
  const std::string spool = office.Spool();
  EXPECT_EQ(spool.substr(0, 18), "DEVICErebuts.pdf\r\n");
  EXPECT_EQ(Count(spool, "PAGE 66 \r\n"), 12);
  // Each owner numbers from its own last receipt; quarterly in arrears and
  // yearly in arrears are due in December, half-yearly in advance is not.
  for (const char* number :
       {"00000121", "00000125", "00000008", "00002046", "00002047", "00000001", "00000004"}) {
    EXPECT_NE(spool.find(number), std::string::npos) << number;
  }
  EXPECT_EQ(spool.find("00000126"), std::string::npos);
  EXPECT_NE(spool.find("*001002V12"), std::string::npos);  // a "D" mandate domiciles it
  EXPECT_NE(spool.find(" 001003V12"), std::string::npos);
}

TEST(IssuingRun, TaxesAreRoundedToTheEvenCentAndWithholdingIsSubtracted) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  office::Selection s = office::SelectionFromScreen();
  s.unitLow = s.unitHigh = format::PackDigits("00040001");  // premises with withholding
  Cycle c = RunCycle(s);
  ASSERT_EQ(c.summary.receipts, 1);
  // 2,817.00 base; VAT 21 % of 2,817.00 = 591.57; withholding 19 % of 2,625.00 = 498.75.
  EXPECT_DOUBLE_EQ(c.summary.total, 281700 + 59157 - 49875);
  const std::string spool = office.Spool();
  EXPECT_NE(spool.find(" 2 ,IVA 21,00% 2.817,00, 0 "), std::string::npos);
  EXPECT_NE(spool.find(" 2 ,RET.19,00% 2.625,00, 0 "), std::string::npos);
  EXPECT_NE(spool.find("    498,75"), std::string::npos);
}

TEST(IssuingRun, RecordFilesAreUnchangedByARun) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  const char* names[] = {"TVRebut", "TRemeses", "PropietV", "FinquesV", "DepartaV", "CobramV"};
  std::vector<std::string> before;
  for (const char* n : names) before.push_back(office.Records(n));
  RunCycle(office::SelectionFromScreen());
  RunCycle(office::SelectionFromScreen());
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(office.Records(names[i]), before[i]) << names[i];
}

TEST(IssuingRun, WithoutTheRegisterTheSameSelectionTwicePrintsTheSameReceipts) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  ledger::RegisterSettings().enabled = false;
  RunCycle(office::SelectionFromScreen());
  const std::string first = office.Spool();
  RunCycle(office::SelectionFromScreen());
  EXPECT_EQ(office.Spool(), first);
}

TEST(IssuingRun, SwitchedOffFormsConceptsAndRangesAreLeftOut) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  // Without the register: the same month again with other concepts would
  // be refused receipts.
  ledger::RegisterSettings().enabled = false;
  office::Selection s = office::SelectionFromScreen();
  s.formOn = {false, true, false};  // bank receipts only
  EXPECT_EQ(RunCycle(s).summary.receipts, 9);
  s.codeHigh[1] = "B" + format::PackDigits("0001");  // bank code 2 (2/0) out of range
  EXPECT_EQ(RunCycle(s).summary.receipts, 8);
  s = office::SelectionFromScreen();
  s.conceptOn.fill(false);
  s.conceptOn[3] = true;  // IBI only: the yearly charge of 3/1
  Cycle c = RunCycle(s);
  EXPECT_EQ(c.summary.receipts, 1);
  EXPECT_DOUBLE_EQ(c.summary.total, 45000);
  s = office::SelectionFromScreen();
  s.unitLow = format::PackDigits("00020000");
  s.unitHigh = format::PackDigits("00020000");  // unit number 0 is a unit like any other
  EXPECT_EQ(RunCycle(s).summary.receipts, 1);
}

TEST(IssuingRun, UnknownVatClassLeavesTheUnitOutAndTellsTheOperator) {
  std::vector<demo::RecordFile> files = demo::BuildDemoRecords({});
  // Owner 4's only property (6, units 1 to 4) with VAT class 7.
  std::string& owner4 = testing_support::FileNamed(files, "PropietV").records[3];
  office::RecordArea<office::kOwnerLength> area;
  std::memcpy(area.data(), owner4.data(), office::kOwnerLength);
  office::PutPropertyEntry(area, 1, {format::PackDigits("0006"), 7});
  owner4.assign(reinterpret_cast<const char*>(area.data()), office::kOwnerLength);
  DemoOffice office(files);
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle(office::SelectionFromScreen());
  EXPECT_EQ(c.summary.receipts, 8);
  ASSERT_EQ(c.summary.leftOut,
            (std::vector<std::string>{"0006.0001", "0006.0002", "0006.0003", "0006.0004"}));
  ASSERT_EQ(c.told.size(), 1u);
  EXPECT_NE(c.told[0].find("0006.0001"), std::string::npos);
  EXPECT_EQ(c.outcome, CycleOutcome::kNotPrinted);  // the other receipts still print
}

TEST(IssuingRun, ZeroBaseConsumesNoReceiptNumber) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  office::Selection s = office::SelectionFromScreen();
  s.conceptOn.fill(false);
  s.conceptOn[2] = true;  // water: only 1/3 (and 5/1) charge it; 1/1 and 1/2 are due with base 0
  Cycle c = RunCycle(s);
  EXPECT_EQ(c.summary.receipts, 2);
  EXPECT_NE(office.Spool().find(": 00000121"), std::string::npos);
  EXPECT_NE(office.Spool().find(": 00002046"), std::string::npos);
}

TEST(IssuingRun, MissingPropertyAndMissingConceptTypeAreNoObstacle) {
  std::vector<demo::RecordFile> files = demo::BuildDemoRecords({});
  // Owner 4 also names property 77, which does not exist.
  std::string& owner4 = testing_support::FileNamed(files, "PropietV").records[3];
  office::RecordArea<office::kOwnerLength> area;
  std::memcpy(area.data(), owner4.data(), office::kOwnerLength);
  office::PutPropertyEntry(area, 2, {format::PackDigits("0077"), 0});
  owner4.assign(reinterpret_cast<const char*>(area.data()), office::kOwnerLength);
  // The concept types lose "Comunitat" (type 2).
  std::vector<std::string>& types = testing_support::FileNamed(files, "TVRebut").records;
  types.erase(types.begin() + 1);
  DemoOffice office(files);
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle(office::SelectionFromScreen());
  EXPECT_EQ(c.summary.receipts, 12);
  // Without its type, 4/1's "Comunitat" (150.00) counts for withholding too:
  // 19 % of 2,775.00 = 527.25 instead of 498.75.
  EXPECT_DOUBLE_EQ(c.summary.total, 1274402 - 2850);
  EXPECT_NE(office.Spool().find(" 2 ,, 0 "), std::string::npos);  // a blank concept name
}

TEST(IssuingRun, FixedWordsPrintInTheSessionLanguage) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", "SPA");
  ASSERT_TRUE(office.Start());
  RunCycle(office::SelectionFromScreen());
  const std::string spool = office.Spool();
  EXPECT_NE(spool.find("RECIBO DOMICILIADO"), std::string::npos);
  EXPECT_NE(spool.find("TRIMESTRAL VENCIDO"), std::string::npos);
  EXPECT_NE(spool.find("\xDA"
                       "FACTURA"),
            std::string::npos);  // never translated
  EXPECT_NE(spool.find("N.I.F. "), std::string::npos);
  EXPECT_EQ(spool.find("REBUT DOMICILIAT"), std::string::npos);
}

TEST(IssuingRun, ALanguageFileChangedBetweenCyclesTakesEffectAtTheNextCycle) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", "SPA");
  ASSERT_TRUE(office.Start());
  RunCycle(office::SelectionFromScreen());
  EXPECT_NE(office.Spool().find("RECIBO DOMICILIADO"), std::string::npos);
  std::string words = office.dir().Read("LOCALE/QANTIRES.LNG");
  for (size_t at = words.find("RECIBO DOMICILIADO"); at != std::string::npos;
       at = words.find("RECIBO DOMICILIADO", at + 1)) {
    words.replace(at, 6, "RECIBI");
  }
  office.dir().Write("LOCALE/QANTIRES.LNG", words);
  RunCycle(office::SelectionFromScreen());
  EXPECT_EQ(office.Spool().find("RECIBO DOMICILIADO"), std::string::npos);
  EXPECT_NE(office.Spool().find("RECIBI DOMICILIADO"), std::string::npos);
}

TEST(IssuingRun, UnwritableSpoolIsToldAndNoPrintProgramRuns) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  config::Settings().SessionDir = office.Root() + "no-such-folder/";
  Cycle c = RunCycle(office::SelectionFromScreen(), true);
  EXPECT_EQ(c.outcome, CycleOutcome::kSpoolFailed);
  ASSERT_EQ(c.told.size(), 1u);
  EXPECT_NE(c.told[0].find("kelprint.tmp"), std::string::npos);
}

TEST(IssuingRun, SettingsThatCannotBeRightRefuseTheCycleInTheSessionLanguage) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", "SPA");
  const std::string tora = office.dir().Read("Tora.ini");
  office.dir().Write("Tora.ini", "[Iva0]\r\nLocals=1e308\r\n" + tora);
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle(office::SelectionFromScreen(), true);
  EXPECT_EQ(c.outcome, CycleOutcome::kSettingsRefused);
  EXPECT_EQ(c.told, std::vector<std::string>{"VALOR NO V\xB5LIDO [Iva0] Locals=1e308 EN " +
                                             office.Root() + "Tora.ini"});
  EXPECT_EQ(c.summary.receipts, 0);
  EXPECT_EQ(office.Spool(), "");  // no spool opened, no print program started
}

TEST(IssuingRun, BlankOrMissingRatesIssueTheSameReceiptsAsRatesOfZero) {
  std::string zerosSpool;
  {
    DemoOffice withZeros;  // [Iva0] Vivendes=0, [Ret1] Locals=0
    ASSERT_TRUE(withZeros.Start());
    RunCycle(office::SelectionFromScreen());
    zerosSpool = withZeros.Spool();
  }
  DemoOffice left;
  std::string tora = left.dir().Read("Tora.ini");
  tora.replace(tora.find("Vivendes=0"), 10, "Vivendes=");
  tora.replace(tora.find("Locals=0", tora.find("[Ret1]")), 8, "");
  left.dir().Write("Tora.ini", tora);
  ASSERT_TRUE(left.Start());
  const Cycle blank = RunCycle(office::SelectionFromScreen());
  EXPECT_TRUE(blank.told.empty()) << blank.told.front();
  EXPECT_EQ(blank.summary.receipts, 12);
  EXPECT_EQ(left.Spool(), zerosSpool);
}

TEST(IssuingRun, MissingPrintProgramIsToldNotSkipped) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  Cycle c = RunCycle(office::SelectionFromScreen(), true);
  EXPECT_EQ(c.outcome, CycleOutcome::kPrinterFailed);
  ASSERT_EQ(c.told.size(), 1u);
  EXPECT_NE(c.told[0].find("KELPRINT"), std::string::npos);
}

// A stand-in print program in the office's bin folder (KELEXE).
void WritePrintProgram(const DemoOffice& office, const std::string& script) {
  const std::string path = office.Root() + "bin/kelprint";
  std::filesystem::create_directories(office.Root() + "bin");
  std::ofstream(path) << "#!/bin/sh\n" << script << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(IssuingRun, FailingPrintProgramIsToldWithItsReasonAndTheSpoolStays) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  WritePrintProgram(office, "echo 'kelprint: cannot create /full/rebuts.pdf' >&2; exit 4");
  Cycle c = RunCycle(office::SelectionFromScreen(), true);
  EXPECT_EQ(c.outcome, CycleOutcome::kPrinterFailed);
  ASSERT_EQ(c.told.size(), 1u);
  EXPECT_EQ(c.told[0],
            "EL PROGRAMA D'IMPRESSI\xE0 HA FALLAT (4): kelprint: cannot create /full/rebuts.pdf "
            "EL FITXER D'IMPRESSI\xE0 ES CONSERVA: " +
                office.Root() + "session/kelprint.tmp");
  EXPECT_EQ(office.Spool().substr(0, 18), "DEVICErebuts.pdf\r\n");
}

TEST(IssuingRun, PrintedCycleEndsWithItsCountTotalAndDestination) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", "SPA");
  ASSERT_TRUE(office.Start());
  // What a runtime adds at the exit (a leak checker's table) is not its word.
  WritePrintProgram(office,
                    "echo 'kelprint: 12 P\xC3\x81GINAS EN /srv/rebuts.pdf'; echo ----; "
                    "echo 'Suppressions used:'");
  Cycle c = RunCycle(office::SelectionFromScreen(), true);
  EXPECT_EQ(c.outcome, CycleOutcome::kPrinted);
  EXPECT_TRUE(c.told.empty());
  EXPECT_EQ(CycleDoneMessage(c.summary),
            "12 RECIBOS EMITIDOS, TOTAL 12.744,02 EUR. 12 P\xB5GINAS EN /srv/rebuts.pdf");
  EXPECT_EQ(CycleDoneMessage(IssueSummary{}), "NO HAY RECIBOS A EMITIR");
}

}  // namespace
}  // namespace issuing
