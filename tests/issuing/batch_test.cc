// Unattended cycles on the demo office: what refuses them before any
// receipt is issued, and the exit codes those refusals give.
#include "issuing/batch.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "../support/demo_office.h"
#include "btrieve/record_manager.h"
#include "config/session_settings.h"
#include "format/packed.h"
#include "issuing/issuing_run.h"
#include "office/record_layouts.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

struct Batch {
  int code = -1;
  std::string told;
  std::string summary;
};

// A run; what it printed on standard output goes to `summary`.
Batch RunBatch(const BatchOptions& options) {
  Batch b;
  testing::internal::CaptureStdout();
  b.code = RunBatchCycle(options, [&b](const std::string& t) { b.told += t + "\n"; });
  b.summary = testing::internal::GetCapturedStdout();
  return b;
}

// A run without the print program, with the remittance and its
// collection date given.
Batch RunBatchWithout(BatchOptions options) {
  options.print = false;
  return RunBatch(options);
}

// With the presets or the date given, by default without the print program.
Batch RunBatch(const std::string& date = "", bool print = false) {
  BatchOptions options;
  options.date = date;
  options.print = print;
  return RunBatch(options);
}

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

TEST(BatchRun, WorkingDateThatIsNoDayRefusesTheRunNamingTheSetting) {
  for (const char* working : {"99999999", "20260230"}) {
    DemoOffice office(demo::BuildDemoRecords({}), working);
    ASSERT_TRUE(office.Start());
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchBadOptions) << working;
    EXPECT_TRUE(Contains(b.told, "DATA D'EMISSI\xE0 NO V\xB7LIDA")) << b.told;
    EXPECT_TRUE(Contains(b.told, "ToraTerm.ini [Sistema] Data=" + std::string(working))) << b.told;
    EXPECT_EQ(office.dir().Read("session/kelprint.tmp"), "");  // nothing issued
  }
}

TEST(BatchRun, AGivenDateStandsInForAWorkingDateThatIsNoDay) {
  DemoOffice office(demo::BuildDemoRecords({}), "20260230");
  ASSERT_TRUE(office.Start());
  EXPECT_EQ(RunBatch("1/12/2026").code, kBatchIssued);
}

TEST(BatchRun, MissingWorkingDateRefusesTheRunNamingWhatIsMissing) {
  {
    DemoOffice office;
    std::filesystem::remove(office.dir().Sub("session/ToraTerm.ini"));
    ASSERT_TRUE(office.Start());
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchBadOptions);
    EXPECT_TRUE(Contains(b.told, "CAP DATA D'EMISSI\xE0")) << b.told;
    EXPECT_TRUE(Contains(b.told, "there is no " + office.Root() + "session/")) << b.told;
    EXPECT_TRUE(Contains(b.told, "ToraTerm.ini;")) << b.told;
  }
  {
    DemoOffice office;
    ::unsetenv("KELTMP");
    ASSERT_TRUE(office.Start());
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchBadOptions);
    EXPECT_TRUE(Contains(b.told, "KELTMP is not set")) << b.told;
  }
  {
    DemoOffice office(demo::BuildDemoRecords({}), "");
    ASSERT_TRUE(office.Start());
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchBadOptions);
    EXPECT_TRUE(Contains(b.told, "ToraTerm.ini [Sistema] Data is not set")) << b.told;
  }
}

TEST(BatchRun, SettingsACycleNeedsRefuseItWithExitOne) {
  DemoOffice office;
  office.dir().Write("Tora.ini", "[Empresa]\r\nLinia1=FINQUES\r\n");
  ASSERT_TRUE(office.Start());
  Batch b = RunBatch();
  EXPECT_EQ(b.code, kBatchInstallationFailed);
  EXPECT_EQ(b.told, "FALTA [Empresa] Linia7 A " + office.Root() + "Tora.ini\n");
}

TEST(BatchRun, ACollectionDateTheBankCannotTakeRefusesTheRun) {
  DemoOffice office;  // working date Tuesday 1 December 2026
  ASSERT_TRUE(office.Start());
  BatchOptions options;
  options.remittance = office.Root() + "remesa.xml";
  options.collectionDate = "1/12/2026";
  Batch b = RunBatchWithout(options);
  EXPECT_EQ(b.code, kBatchBadOptions);
  EXPECT_EQ(b.told, "the collection date 2026-12-01 is before the next working day, 2026-12-02\n");
  options.date = "1/1/2027";
  options.collectionDate = "12/12/2026";
  b = RunBatchWithout(options);
  EXPECT_EQ(b.code, kBatchBadOptions);
  EXPECT_EQ(b.told, "the collection date 2026-12-12 is before the issue date, 2027-01-01\n");
  EXPECT_EQ(office.dir().Read("session/kelprint.tmp"), "");  // nothing issued
  EXPECT_FALSE(std::filesystem::exists(options.remittance));
  options.collectionDate = "4/1/2027";
  EXPECT_EQ(RunBatchWithout(options).code, kBatchIssued);
}

TEST(BatchRun, NoValidDebitLeavesTheEarlierFileSaysSoAndExitsFour) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  office.dir().Write("remesa.xml", "last month's remittance");
  BatchOptions options;
  options.remittance = office.Root() + "remesa.xml";
  options.from = "1.1";  // two domiciled units, both with a wrong account
  options.to = "1.2";
  const Batch b = RunBatchWithout(options);
  EXPECT_EQ(b.code, kBatchRemittanceFailed);
  EXPECT_TRUE(Contains(b.told, "NO S'HA ESCRIT " + options.remittance +
                                   " (EL FITXER QUE HI HA \x90S D'UNA REMESA ANTERIOR)"))
      << b.told;
  EXPECT_EQ(office.dir().Read("remesa.xml"), "last month's remittance");
}

// Changes a record file behind the back of the open that reads it, so that
// its next read meets the damage.
void DamageRecordFile(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST(BatchRun, ReadFaultStopsTheRunWithTheRecordFileMessageAndExitOne) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  DamageRecordFile(office.dir().Sub("DADES/DepartaV.dat"), "DROP TABLE key0");
  // The start's reads keep their snapshot until a write through the record
  // manager; a change made beside it is met by the next snapshot.
  btrieve::ReleaseHeldReads();
  Batch b = RunBatch();
  EXPECT_EQ(b.code, kBatchInstallationFailed);
  EXPECT_TRUE(Contains(b.told, "NO ES POT ACCEDIR AL FITXER " + office.Root() + "DADES/DepartaV ("))
      << b.told;
  EXPECT_EQ(b.summary, "");
}

TEST(BatchRun, FailedCycleTellsItsErrorWithoutASummary) {
  {
    DemoOffice office;
    ASSERT_TRUE(office.Start());
    config::Settings().SessionDir = office.Root() + "no-such-folder/";  // no spool can be written
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchCycleFailed);
    EXPECT_TRUE(Contains(b.told, office.Root() + "no-such-folder/kelprint.tmp")) << b.told;
    EXPECT_EQ(b.summary, "");
  }
  {
    DemoOffice office;
    ASSERT_TRUE(office.Start());
    std::filesystem::create_directories(office.Root() + "bin");
    std::ofstream(office.Root() + "bin/kelprint") << "#!/bin/sh\nexit 4\n";
    std::filesystem::permissions(office.Root() + "bin/kelprint", std::filesystem::perms::owner_all);
    Batch b = RunBatch("", true);
    EXPECT_EQ(b.code, kBatchCycleFailed);
    EXPECT_EQ(b.summary, "");
  }
}

// The demo records with unit 0006.0001's first fixed amount changed.
std::vector<demo::RecordFile> WithFixedAmount(std::int32_t cents) {
  std::vector<demo::RecordFile> files = demo::BuildDemoRecords({});
  for (std::string& record : testing_support::FileNamed(files, "DepartaV").records) {
    office::RecordArea<office::kUnitLength> area;
    std::memcpy(area.data(), record.data(), office::kUnitLength);
    if (office::UnitView(area).Key() != format::PackDigits("00060001")) continue;
    office::Charges charges = office::UnitView(area).ChargeArea();
    charges.fixedAmounts[0] = cents;
    office::PutCharges(area, charges);
    record.assign(reinterpret_cast<const char*>(area.data()), office::kUnitLength);
  }
  return files;
}

TEST(BatchRun, AmountItsMaskWouldCutStopsTheRunBeforeAnythingIsPrinted) {
  const std::pair<std::int32_t, std::string> tooLarge[] = {{2147483647, "21.474.836,47"},
                                                           {-2147481148, "-21.474.811,48"}};
  for (const auto& [cents, amount] : tooLarge) {
    DemoOffice office(WithFixedAmount(cents));
    ASSERT_TRUE(office.Start());
    Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchInstallationFailed) << amount;
    EXPECT_EQ(b.told, "L'IMPORT " + amount +
                          " EUR DEL DEPARTAMENT 0006.0001 NO CAP A LA M\xB7SCARA ZZ,ZZZ,ZZ9: "
                          "NO S'HA EM\xD4S CAP REBUT\n");
    EXPECT_EQ(b.summary, "");
    EXPECT_FALSE(std::filesystem::exists(office.dir().Sub("session/kelprint.tmp")))
        << "not even the receipts before it are left to print";
  }
  // A million euros fits whole, without its thousands separators.
  DemoOffice office(WithFixedAmount(100000000));
  ASSERT_TRUE(office.Start());
  EXPECT_EQ(RunBatch().code, kBatchIssued);
  EXPECT_NE(office.Spool().find("1000000,00"), std::string::npos);
}

// An index that lost the entry of unit 6.2 (position 14), or whose entry
// leads to unit 6.1's record instead: the walk would issue 11 receipts, or
// bill 6.1 twice and 6.2 never.  Both stop the run as a damaged file does.
TEST(BatchRun, DamagedIndexStopsTheRunWithTheRecordFileMessageAndExitOne) {
  for (const char* damage :
       {"DELETE FROM key0 WHERE pos = 14", "UPDATE key0 SET pos = 13 WHERE pos = 14"}) {
    DemoOffice office;
    ASSERT_TRUE(office.Start());
    DamageRecordFile(office.dir().Sub("DADES/DepartaV.dat"), damage);
    btrieve::ReleaseHeldReads();
    const Batch b = RunBatch();
    EXPECT_EQ(b.code, kBatchInstallationFailed) << damage << "\n" << b.summary;
    EXPECT_TRUE(
        Contains(b.told, "NO ES POT ACCEDIR AL FITXER " + office.Root() + "DADES/DepartaV (2"))
        << damage << "\n"
        << b.told;
  }
}

}  // namespace
}  // namespace issuing
