// Issuing cycles with the register on (the demo office turns it on): the
// numbers move on, a month issued again prints copies or refuses changed
// receipts, a cycle registers all of itself or none, on SQLite and on
// PostgreSQL, with two processes or a kill in the middle.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <set>

#include "../support/demo_office.h"
#include "../support/file_size_limit.h"
#include "../support/pg_cluster.h"
#include "commands.h"
#include "format/packed.h"
#include "issuing/batch.h"
#include "issuing/issuing_run.h"
#include "ledger/register.h"
#include "office/selection.h"
#include "platform/paths.h"
#include "platform/waits.h"
#include "records/record_table.h"
#include "remittance/cycle.h"
#include "storage/record_backend.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

struct Cycle {
  IssueSummary summary;
  CycleOutcome outcome;
  std::vector<std::string> told;
};

Cycle RunCycle(const office::Selection& s) {
  Cycle c;
  c.outcome = RunIssuingCycle(
      s, false, [&c](const std::string& t) { c.told.push_back(t); }, &c.summary);
  return c;
}

office::Selection Month(int month, int year) {
  office::Selection s = office::SelectionFromScreen();
  char digits[9];
  std::snprintf(digits, sizeof digits, "%04d%02d01", year, month);
  s.issueDate = format::PackDigits(digits);
  return s;
}

std::vector<ledger::IssuedReceipt> Registered(const ledger::ReceiptFilter& filter = {}) {
  std::string error;
  auto reg = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
  std::vector<ledger::IssuedReceipt> out;
  EXPECT_NE(reg, nullptr) << error;
  if (reg != nullptr) {
    EXPECT_TRUE(reg->Receipts(filter, &out)) << reg->error();
  }
  return out;
}

int Count(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// A month issued twice prints copies with the registered numbers and
// registers nothing; the next month numbers on from the register, not from
// the owners' stored numbers (which nothing moves on).
void MonthTwiceThenNextMonth() {
  const Cycle first = RunCycle(Month(12, 2026));
  ASSERT_EQ(first.outcome, CycleOutcome::kNotPrinted) << (first.told.empty() ? "" : first.told[0]);
  const std::vector<ledger::IssuedReceipt> december = Registered();
  ASSERT_EQ(december.size(), 12u);
  EXPECT_EQ(december[0].lines.empty(), false);
  const Cycle again = RunCycle(Month(12, 2026));
  EXPECT_EQ(again.summary.receipts, 12);
  EXPECT_EQ(again.summary.copies, 12);
  EXPECT_EQ(Registered().size(), 12u);
  const Cycle january = RunCycle(Month(1, 2027));
  EXPECT_EQ(january.summary.copies, 0);
  std::map<std::string, int64_t> highest;
  for (const auto& r : december) highest[r.ownerKey] = std::max(highest[r.ownerKey], r.number);
  for (const auto& r : Registered({0, "2027-01", "", true})) {
    EXPECT_GT(r.number, highest[r.ownerKey]) << r.ownerKey;
  }
}

TEST(RegisterRun, AMonthIssuedAgainPrintsCopiesAndTheNextMonthNumbersOn) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  MonthTwiceThenNextMonth();
  RunCycle(Month(12, 2026));
  EXPECT_EQ(Count(office.Spool(), "FACTURA C\xE3PIA"), 2 * 12);  // the demo prints a duplicate
}

TEST(RegisterRun, OnPostgreSqlTheNumbersMoveOnAsWell) {
  DemoOffice office;
  const std::string conninfo = testing_support::PgNewDatabase("register_run");
  ASSERT_FALSE(conninfo.empty());
  ASSERT_EQ(recutil::CopyInstallation(office.Root(), conninfo, false), 0);
  storage::SetRecordDatabase({conninfo, office.Root()});
  ASSERT_TRUE(office.Start());
  MonthTwiceThenNextMonth();
  EXPECT_FALSE(platform::FileExists(office.Root() + "REGISTRE.DB"));
  storage::SetRecordDatabase({});
}

TEST(RegisterRun, ChangedAmountsAreRefusedAndACancelledReceiptIsIssuedAnew) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  ASSERT_EQ(RunCycle(Month(12, 2026)).summary.receipts, 12);
  office::Selection rentOnly = Month(12, 2026);
  rentOnly.conceptOn.fill(false);
  rentOnly.conceptOn[0] = true;
  const Cycle refused = RunCycle(rentOnly);
  // Units charged rent alone are the same receipts: copies.
  EXPECT_EQ(refused.summary.receipts, refused.summary.copies);
  ASSERT_FALSE(refused.summary.refused.empty());
  const Refusal& r = refused.summary.refused[0];
  EXPECT_EQ(r.issuedOn, "2026-12-01");
  EXPECT_NE(std::find(refused.told.begin(), refused.told.end(), RefusalMessage(r)),
            refused.told.end());
  EXPECT_EQ(Registered().size(), 12u);

  std::string error;
  auto reg = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
  const ledger::IssuedReceipt first = Registered()[0];
  ASSERT_EQ(reg->Cancel(first.ownerKey, first.number, {}), ledger::CancelOutcome::kCancelled);
  EXPECT_EQ(reg->Cancel(first.ownerKey, first.number, {}),
            ledger::CancelOutcome::kAlreadyCancelled);
  reg.reset();
  const Cycle anew = RunCycle(Month(12, 2026));
  EXPECT_EQ(anew.summary.copies, 11);
  const std::vector<ledger::IssuedReceipt> now = Registered();
  ASSERT_EQ(now.size(), 13u);
  int64_t highest = 0;
  for (const auto& e : now) {
    if (e.ownerKey == first.ownerKey) highest = std::max(highest, e.number);
  }
  EXPECT_GT(highest, first.number);
}

TEST(RegisterRun, BatchExitsWith5WhenAReceiptIsRefused) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  BatchOptions o;
  o.print = false;
  std::vector<std::string> told;
  auto tell = [&told](const std::string& t) { told.push_back(t); };
  EXPECT_EQ(RunBatchCycle(o, tell), kBatchIssued);
  o.concepts = "1";
  EXPECT_EQ(RunBatchCycle(o, tell), kBatchReceiptsRefused);
}

TEST(RegisterRun, TheRemittanceIsRegisteredAndACopyIsNotDebitedTwice) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  ASSERT_TRUE(remittance::SetOverrides(office.Root() + "remesa.xml", "").empty());
  const Cycle first = RunCycle(Month(12, 2026));
  ASSERT_EQ(first.summary.remittance.outcome, remittance::RemittanceOutcome::kWritten);
  std::string error;
  auto reg = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
  std::vector<ledger::RemittanceEntry> remittances;
  ASSERT_TRUE(reg->Remittances(&remittances));
  ASSERT_EQ(remittances.size(), 1u);
  EXPECT_EQ(remittances[0].count, first.summary.remittance.debits);
  EXPECT_EQ(static_cast<int>(remittances[0].receipts.size()), first.summary.remittance.debits);
  EXPECT_EQ(remittances[0].collectionDate, first.summary.remittance.collectionDate);
  reg.reset();
  const Cycle again = RunCycle(Month(12, 2026));
  EXPECT_EQ(again.summary.remittance.debits, 0);
}

TEST(RegisterRun, AFailedCycleRegistersNothing) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  {
    // The register and the spool cannot grow: a full disk.
    testing_support::FileSizeLimit full(1);
    const Cycle c = RunCycle(Month(12, 2026));
    EXPECT_EQ(c.outcome, CycleOutcome::kRegisterFailed);
  }
  EXPECT_FALSE(platform::FileExists(office.Root() + "session/kelprint.tmp"));
  EXPECT_TRUE(Registered().empty());
  EXPECT_EQ(RunCycle(Month(12, 2026)).summary.copies, 0);
}

TEST(RegisterRun, ABatchWaitsForAnotherWorkstationNoLongerThanItsLockWait) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  std::string error;
  auto other = ledger::Register::Open(ledger::CurrentRegisterPlace(), &error);
  ASSERT_EQ(other->BeginWrite(), ledger::WriteStart::kStarted);
  int slept = 0;
  platform::SetSleepStandIn([&slept](int ms) { slept += ms; });
  records::RecordFiles().lockWaitLimit = 5000;
  const Cycle held = RunCycle(Month(12, 2026));
  EXPECT_EQ(held.outcome, CycleOutcome::kRegisterFailed);
  EXPECT_EQ(slept, 5000);
  ASSERT_FALSE(held.told.empty());
  EXPECT_EQ(held.told.back(), RegisterBusyMessage());
  other->Abandon();
  EXPECT_EQ(RunCycle(Month(12, 2026)).outcome, CycleOutcome::kNotPrinted);
}

// Forks a process that issues month 12 of year on the same office and
// ends with the cycle's outcome.
pid_t IssueInChild(int year) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const Cycle c = RunCycle(Month(12, year));
    for (const std::string& t : c.told) std::fprintf(stderr, "child %d: %s\n", year, t.c_str());
    ::_exit(c.outcome == CycleOutcome::kNotPrinted ? 0 : 1);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(RegisterRun, TwoProcessesIssuingAtOnceNeverGiveANumberTwice) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  const pid_t a = IssueInChild(2026);
  const pid_t b = IssueInChild(2027);
  EXPECT_EQ(WaitFor(a), 0);
  EXPECT_EQ(WaitFor(b), 0);
  const std::vector<ledger::IssuedReceipt> all = Registered();
  EXPECT_EQ(all.size(), 24u);
  std::set<std::pair<std::string, int64_t>> numbers;
  for (const auto& r : all) EXPECT_TRUE(numbers.insert({r.ownerKey, r.number}).second);
}

TEST(RegisterRun, AKilledCycleLeavesAllOrNoneOfItRegistered) {
  DemoOffice office;
  ASSERT_TRUE(office.Start());
  for (int attempt = 0; attempt < 12; ++attempt) {
    const pid_t child = IssueInChild(2030 + attempt);
    ::usleep(static_cast<useconds_t>(attempt * 4000));
    ::kill(child, SIGKILL);
    WaitFor(child);
    const size_t count = Registered({0, std::to_string(2030 + attempt) + "-12", "", true}).size();
    EXPECT_TRUE(count == 0 || count == 12) << count << " after " << attempt * 4 << " ms";
  }
}

}  // namespace
}  // namespace issuing
