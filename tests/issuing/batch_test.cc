// Unattended cycles on the demo office: what refuses them before any
// receipt is issued, and the exit codes those refusals give.
#include "issuing/batch.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>

#include "../support/demo_office.h"
#include "btrieve/record_manager.h"
#include "issuing/issuing_run.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

struct Batch {
  int code = -1;
  std::string told;
};

// A run without the print program.
Batch RunBatch(BatchOptions options) {
  options.print = false;
  Batch b;
  b.code = RunBatchCycle(options, [&b](const std::string& t) { b.told += t + "\n"; });
  return b;
}

// With the presets or the date given.
Batch RunBatch(const std::string& date = "") {
  BatchOptions options;
  options.date = date;
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
  Batch b = RunBatch(options);
  EXPECT_EQ(b.code, kBatchBadOptions);
  EXPECT_EQ(b.told, "the collection date 2026-12-01 is before the next working day, 2026-12-02\n");
  options.date = "1/1/2027";
  options.collectionDate = "12/12/2026";
  b = RunBatch(options);
  EXPECT_EQ(b.code, kBatchBadOptions);
  EXPECT_EQ(b.told, "the collection date 2026-12-12 is before the issue date, 2027-01-01\n");
  EXPECT_EQ(office.dir().Read("session/kelprint.tmp"), "");  // nothing issued
  EXPECT_FALSE(std::filesystem::exists(options.remittance));
  options.collectionDate = "4/1/2027";
  EXPECT_EQ(RunBatch(options).code, kBatchIssued);
}

TEST(BatchRun, NoValidDebitLeavesTheEarlierFileSaysSoAndExitsFour) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  office.dir().Write("remesa.xml", "last month's remittance");
  BatchOptions options;
  options.remittance = office.Root() + "remesa.xml";
  options.from = "1.1";  // two domiciled units, both with a wrong account
  options.to = "1.2";
  const Batch b = RunBatch(options);
  EXPECT_EQ(b.code, kBatchRemittanceFailed);
  EXPECT_TRUE(Contains(b.told, "NO S'HA ESCRIT " + options.remittance +
                                   " (EL FITXER QUE HI HA \x90S D'UNA REMESA ANTERIOR)"))
      << b.told;
  EXPECT_EQ(office.dir().Read("remesa.xml"), "last month's remittance");
}

// Drops a table of a record file behind the back of the open that reads it,
// so that its next read fails with a status of the record manager.
void DamageRecordFile(const std::string& path, const char* table) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const std::string drop = std::string("DROP TABLE ") + table;
  EXPECT_EQ(sqlite3_exec(db, drop.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST(BatchRun, ReadFaultStopsTheRunWithTheRecordFileMessageAndExitOne) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  DamageRecordFile(office.dir().Sub("DADES/DepartaV.dat"), "key0");
  // The start's reads keep their snapshot until a write through the record
  // manager; a change made beside it is met by the next snapshot.
  btrieve::ReleaseHeldReads();
  Batch b = RunBatch();
  EXPECT_EQ(b.code, kBatchInstallationFailed);
  EXPECT_TRUE(
      Contains(b.told, "NO ES POT ACCEDIR AL FITXER " + office.Root() + "DADES\\DepartaV ("))
      << b.told;
}

}  // namespace
}  // namespace issuing
