// The demo office moved to a PostgreSQL server (tests/support/pg_cluster.h)
// with recutil's copy: the same receipts as from its SQLite files, the same
// records when copied back, and a run that loses the server prints nothing.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "../support/demo_office.h"
#include "../support/pg_cluster.h"
#include "commands.h"
#include "issuing/batch.h"
#include "issuing/issuing_run.h"
#include "office/selection.h"
#include "storage/record_backend.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

struct Cycle {
  CycleOutcome outcome;
  std::vector<std::string> told;
  std::string spool;
};

Cycle RunCycle(DemoOffice& office, bool startPrinter) {
  Cycle c;
  IssueSummary summary;
  c.outcome = RunIssuingCycle(
      office::SelectionFromScreen(), startPrinter,
      [&c](const std::string& t) { c.told.push_back(t); }, &summary);
  c.spool = office.Spool();
  return c;
}

// Moves the office's record files to the server and makes the program use it.
void MoveToServer(DemoOffice& office) {
  const std::string& conninfo = testing_support::PgConninfo();
  ASSERT_FALSE(conninfo.empty());
  ASSERT_EQ(recutil::CopyInstallation(office.Root(), conninfo, false), 0);
  storage::SetRecordDatabase({conninfo, office.Root()});
}

class ServerRun : public ::testing::Test {
 protected:
  void TearDown() override { storage::SetRecordDatabase({}); }
};

TEST_F(ServerRun, DemoOfficeOnTheServerIssuesTheSameSpoolAndCopiesBack) {
  std::string onFiles;
  std::vector<std::string> records;
  std::vector<std::string> names;
  for (const demo::RecordFile& f : demo::BuildDemoRecords({})) names.push_back(f.name);
  {
    DemoOffice office;
    ASSERT_TRUE(office.Start());
    const Cycle c = RunCycle(office, false);
    ASSERT_EQ(c.outcome, CycleOutcome::kNotPrinted);
    onFiles = c.spool;
    for (const std::string& name : names) records.push_back(office.Records(name));
  }
  DemoOffice office;
  ASSERT_NO_FATAL_FAILURE(MoveToServer(office));
  // The files on disk are emptied: every record the run reads comes from the server.
  for (const std::string& name : names) office.dir().Write("DADES/" + name + ".dat", "");
  ASSERT_TRUE(office.Start());
  const Cycle c = RunCycle(office, false);
  EXPECT_EQ(c.outcome, CycleOutcome::kNotPrinted);
  EXPECT_TRUE(c.told.empty());
  EXPECT_EQ(c.spool, onFiles);
  // And back into new SQLite files, record for record in key order.
  ASSERT_EQ(recutil::CopyInstallation(office.Root(), testing_support::PgConninfo(), true), 0);
  storage::SetRecordDatabase({"", office.Root()});
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(office.Records(names[i]), records[i]) << names[i];
  }
}

TEST_F(ServerRun, LosingTheServerMidRunStopsWithoutPrinting) {
  DemoOffice office;
  ASSERT_NO_FATAL_FAILURE(MoveToServer(office));
  ASSERT_TRUE(office.Start());
  testing_support::PgDropConnections();
  const Cycle c = RunCycle(office, true);
  EXPECT_EQ(c.outcome, CycleOutcome::kRecordsLost);
  ASSERT_EQ(c.told.size(), 1u);
  EXPECT_EQ(c.told[0].rfind("S'HA PERDUT LA CONNEXI\xE0 AMB EL SERVIDOR DE DADES: ", 0), 0u)
      << c.told[0];
  EXPECT_GT(c.told[0].size(), 52u);  // the server's reason follows
  EXPECT_FALSE(office.dir().Read("session/kelprint.tmp").size() > 0);
}

// Unattended, the lost server is an exit code and a message, and no
// summary line claims receipts were issued.
TEST_F(ServerRun, BatchRunThatLosesTheServerGives3AndNoSummary) {
  DemoOffice office;
  ASSERT_NO_FATAL_FAILURE(MoveToServer(office));
  ASSERT_TRUE(office.Start());
  testing_support::PgDropConnections();
  std::vector<std::string> told;
  ::testing::internal::CaptureStdout();
  const int code = RunBatchCycle({}, [&told](const std::string& t) { told.push_back(t); });
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(code, kBatchCycleFailed);
  EXPECT_EQ(printed.find("receipts issued"), std::string::npos) << printed;
  ASSERT_EQ(told.size(), 1u);
}

// A row on the server whose record is not the one its key's entry names
// (unit 6.2's row holding unit 6.1's record, changed beside the record
// manager) stops the run as a damaged file, as on SQLite files: the run
// would bill unit 6.1 twice and 6.2 never.
TEST_F(ServerRun, RowWhoseRecordDisagreesWithItsKeyStopsTheBatchRunWithExitOne) {
  DemoOffice office;
  ASSERT_NO_FATAL_FAILURE(MoveToServer(office));
  ASSERT_TRUE(office.Start());
  PGconn* db = PQconnectdb(testing_support::PgConninfo().c_str());
  PGresult* r = PQexec(db,
                       "DO $$ DECLARE t text; BEGIN"
                       " SELECT 'qt_r' || id INTO t FROM qt_files"
                       "  WHERE name = convert_to('dades/departav.dat', 'UTF8');"
                       " EXECUTE format('UPDATE %I SET data = (SELECT data FROM %I WHERE pos = 13)"
                       "  WHERE pos = 14', t, t); END $$");
  EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQerrorMessage(db);
  PQclear(r);
  PQfinish(db);
  BatchOptions options;
  options.print = false;
  std::vector<std::string> told;
  ::testing::internal::CaptureStdout();
  const int code = RunBatchCycle(options, [&told](const std::string& t) { told.push_back(t); });
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(code, kBatchInstallationFailed) << printed;
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "NO ES POT ACCEDIR AL FITXER " + office.Root() + "DADES/DepartaV (2)");
}

}  // namespace
}  // namespace issuing
