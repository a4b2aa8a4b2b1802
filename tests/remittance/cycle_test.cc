// The remittance of a cycle: which receipts go into the file, which are
// left out and how the operator is told, and the settings that refuse it.
#include "remittance/cycle.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/temp_dir.h"
#include "config/company.h"
#include "config/session_settings.h"
#include "format/packed.h"
#include "office/remittance_settings.h"
#include "pain_file.h"
#include "platform/clock.h"
#include "platform/program_state.h"

namespace remittance {
namespace {

using testing_support::ReadPainFile;
using testing_support::TempDir;

DomiciledReceipt Receipt(int unit, double total, const std::string& account) {
  DomiciledReceipt r;
  char key[16];
  std::snprintf(key, sizeof key, "0001%04d", unit);
  r.unitKey = format::PackDigits(key);
  r.ownerKey = format::PackDigits("0001");
  r.number = "0000012" + std::to_string(unit);
  r.reference = "00100" + std::to_string(unit) + "V12";
  r.period = "12";
  r.total = total;
  r.tenantName = "Anna Garcia Pons";
  r.account = account;
  r.ownerName = "Maria Rosa Puig i Soler";
  return r;
}

const char* kGood = "ES91 2100 0418 4502 0005 1332      ";

class CycleRemittanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    platform::FixToday({2026, 12, 8, 9, 30, 0});
    config::Settings().SessionDir = dir_.path() + "/";
    config::Settings().WorkingDate = format::PackDigits("20261201");
    config::Company().Lines[0] = "ADMINISTRACI\xE0 DE FINQUES DEL TER   ";
    config::Company().Lines[6] = "ESB17654321                          ";
    office::RemittanceSettingsState& s = office::RemittanceSettings();
    s.enabled = true;
    s.account = "ES79 2100 0813 6101 2345 6789";
  }
  void TearDown() override { platform::ResetProgramState(); }
  RemittanceResult Run(const std::vector<DomiciledReceipt>& receipts,
                       const std::string& issueDate = "20261201") {
    told_.clear();
    return WriteCycleRemittance(receipts, format::PackDigits(issueDate),
                                [this](const std::string& t) { told_.push_back(t); });
  }
  TempDir dir_;
  std::vector<std::string> told_;
};

TEST_F(CycleRemittanceTest, GoodReceiptsGoIntoTheFileAndTheOthersAreNamed) {
  DomiciledReceipt unnamed = Receipt(6, 1000, kGood);
  unnamed.tenantName = "\xDB\xDB ";  // nothing of it in the SEPA set
  const RemittanceResult r = Run({Receipt(1, 65000, kGood), Receipt(2, 48000, "   "),
                                  Receipt(3, 1000, "ES91 2100 0418 4502 0005 1333"),
                                  Receipt(4, 0, kGood), Receipt(5, 12345.4, kGood), unnamed});
  EXPECT_EQ(r.outcome, RemittanceOutcome::kWritten);
  EXPECT_EQ(r.path, dir_.path() + "/Remesa-20261203.xml");  // collected two days after
  EXPECT_EQ(r.debits, 2);
  EXPECT_EQ(r.cents, 65000 + 12345);
  ASSERT_EQ(told_.size(), 2u);
  EXPECT_EQ(told_[0],
            "REBUTS FORA DE LA REMESA: 0001.0002 (SENSE COMPTE), 0001.0003 (COMPTE ERRONI), "
            "0001.0004 (IMPORT NO POSITIU), 0001.0006 (SENSE NOM)");
  // The amount in the session's format: here the default decimal mark.
  EXPECT_EQ(told_[1], "REMESA ESCRITA: 2 REBUTS, 773'45 EUR, " + r.path);
  const testing_support::PainFile f = ReadPainFile(r.path);
  for (const std::string& p : f.problems) ADD_FAILURE() << p;
  EXPECT_EQ(f.created, "2026-12-08T09:30:00");
  EXPECT_EQ(f.sum, "773.45");
  ASSERT_EQ(f.blocks.size(), 1u);
  EXPECT_EQ(f.blocks[0].creditorId, "ES47000B17654321");  // computed from line 7
  ASSERT_EQ(f.blocks[0].debits.size(), 2u);
  const testing_support::PainDebit& d = f.blocks[0].debits[0];
  EXPECT_EQ(d.endToEndId, "0001-00000121");
  EXPECT_EQ(d.mandateId, "DEP00010001");
  EXPECT_EQ(d.debtorIban, "ES9121000418450200051332");
  EXPECT_EQ(d.ultimateCreditor, "Maria Rosa Puig i Soler");
  EXPECT_EQ(d.text, "REBUT 00000121 PERIODE 12 REF 001001V12");
}

TEST_F(CycleRemittanceTest, WithoutAValidDebitNothingIsWrittenAndAnEarlierFileIsNamed) {
  ASSERT_TRUE(SetOverrides(dir_.Sub("r.xml"), "").empty());
  config::Settings().SessionLanguage = "SPA";
  RemittanceResult r = Run({Receipt(1, 65000, "   ")});
  EXPECT_EQ(r.outcome, RemittanceOutcome::kEmpty);
  EXPECT_FALSE(std::filesystem::exists(dir_.Sub("r.xml")));
  ASSERT_EQ(told_.size(), 2u);
  EXPECT_EQ(
      told_[1],
      "REMESA NO GENERADA: NING\xE9N RECIBO DOMICILIADO V\xB5LIDO; NO SE HA ESCRITO " + r.path);
  dir_.Write("r.xml", "last month's");
  r = Run({Receipt(1, 65000, "   ")});
  EXPECT_EQ(told_.back(),
            "REMESA NO GENERADA: NING\xE9N RECIBO DOMICILIADO V\xB5LIDO; NO SE HA ESCRITO " +
                r.path + " (EL FICHERO QUE HAY ES DE UNA REMESA ANTERIOR)");
  EXPECT_EQ(dir_.Read("r.xml"), "last month's");
}

TEST_F(CycleRemittanceTest, TheCollectionDateIsTheFirstWorkingDayAfterTheNoticeDays) {
  auto collection = [this](const std::string& issueDate) {
    return ReadPainFile(Run({Receipt(1, 65000, kGood)}, issueDate).path)
        .blocks.at(0)
        .collectionDate;
  };
  config::Settings().WorkingDate = format::PackDigits("20261203");  // a Thursday
  EXPECT_EQ(collection("20261201"), "2026-12-07");
  config::Settings().WorkingDate = format::PackDigits("20261201");  // a Tuesday
  office::RemittanceSettings().noticeDays = "3";
  EXPECT_EQ(collection("20261201"), "2026-12-04");
  EXPECT_EQ(collection("20270102"), "2027-01-04");  // not before the issue date, a Saturday
  for (const char* wrong : {"0", "x", "-1", "366"}) {
    office::RemittanceSettings().noticeDays = wrong;
    Run({Receipt(1, 65000, kGood)});
    EXPECT_EQ(told_.back(), "NO ES GENERA LA REMESA, REVISEU Tora.ini: [Remesa] DiesPrevis");
  }
}

TEST_F(CycleRemittanceTest, TheRunsCollectionDateAndFileOverrideTheSettings) {
  office::RemittanceSettings().enabled = false;
  ASSERT_TRUE(SetOverrides(dir_.Sub("dec.xml"), "15/12/2026").empty());
  const RemittanceResult r = Run({Receipt(1, 65000, kGood)});
  ASSERT_EQ(r.outcome, RemittanceOutcome::kWritten);
  EXPECT_EQ(ReadPainFile(dir_.Sub("dec.xml")).blocks.at(0).collectionDate, "2026-12-15");
  EXPECT_EQ(SetOverrides("x.xml", "31/02/2026"), "not a valid collection date: 31/02/2026");
}

TEST_F(CycleRemittanceTest, NothingIsWrittenOrToldWhenNoRemittanceIsWanted) {
  office::RemittanceSettings().enabled = false;
  const RemittanceResult r = Run({Receipt(1, 65000, kGood)});
  EXPECT_EQ(r.outcome, RemittanceOutcome::kNotWanted);
  EXPECT_TRUE(told_.empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(CycleRemittanceTest, MissingOrWrongCreditorSettingsRefuseTheFile) {
  office::RemittanceSettings().account = "";
  config::Company().Lines[6] = "ES                                   ";
  office::RemittanceSettings().bic = "CAIXESB";
  office::RemittanceSettings().signatureDate = "31/10/2009";
  office::RemittanceSettings().sequenceType = "NEXT";
  const RemittanceResult r = Run({Receipt(1, 65000, kGood)});
  EXPECT_EQ(r.outcome, RemittanceOutcome::kRefused);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
  ASSERT_EQ(told_.size(), 1u);
  EXPECT_EQ(told_[0],
            "NO ES GENERA LA REMESA, REVISEU Tora.ini: [Empresa] Linia7, [Remesa] Sufix, "
            "[Remesa] Compte, [Remesa] BIC, [Remesa] DataMandat, [Remesa] Sequencia");
}

TEST_F(CycleRemittanceTest, AGivenCreditorIdentifierMustHaveItsCheckDigitsRight) {
  office::RemittanceSettings().creditorId = "ES78000B85626240";
  Run({Receipt(1, 65000, kGood)});
  ASSERT_EQ(told_.size(), 1u);
  EXPECT_EQ(told_[0], "NO ES GENERA LA REMESA, REVISEU Tora.ini: [Remesa] Creditor");
  office::RemittanceSettings().creditorId = "es77 000 b85626240";
  EXPECT_EQ(Run({Receipt(1, 65000, kGood)}).outcome, RemittanceOutcome::kWritten);
}

TEST_F(CycleRemittanceTest, AFileThatCannotBeWrittenIsTold) {
  office::RemittanceSettings().file = dir_.Sub("no/such/folder/r.xml");
  const RemittanceResult r = Run({Receipt(1, 65000, kGood)});
  EXPECT_EQ(r.outcome, RemittanceOutcome::kWriteFailed);
  ASSERT_EQ(told_.size(), 1u);
  EXPECT_EQ(told_[0], "NO ES POT ESCRIURE LA REMESA " + r.path);
}

}  // namespace
}  // namespace remittance
