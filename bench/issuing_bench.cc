// The issuing run on a large office: a generated installation of 40 owners
// with 20 properties each, every unit due every month, boxed layout with the
// duplicate, Spanish session; 125 units a property (100,000 units) or 375
// (300,000 units), the benchmark's argument.  The selection's unit range
// reaches property 999, so the generated properties (from 100 on) stay
// below it.
//
//   IssuingRun      the whole batch cycle (start-up excluded, reported as a
//                   counter): receipts per second, the peak memory, the user
//                   and system time of the cycle, and its ratio to the I/O
//                   floor measured right after it (x_floor).
//   Breakdown       the same cycle with the product's timed steps (record
//                   reads, TranslateText, the number formatting and the spool
//                   writers) timed through its timing hooks (see
//                   issuing_bench_timers.h).
//   IoFloor         the same record bytes read straight from SQLite and the
//                   same number of spool bytes written through stdio.
//   IssuingRunWithRemittance
//                   the whole cycle again with the bank remittance written:
//                   its extra cost per receipt is the difference to
//                   IssuingRun divided by the receipts.
//
// Each installation is built once and kept under the build folder.  Every
// measurement runs in a child process of its own, so that the peak memory
// and the times are those of that size alone.  QANTIRES_BENCH_OWNERS sets the
// number of generated owners (a small office for profiling).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

#include "app/program.h"
#include "commands.h"
#include "config/session_settings.h"
#include "demo_files.h"
#include "demo_records.h"
#include "issuing/batch.h"
#include "issuing/issuing_run.h"
#include "issuing_bench_timers.h"
#include "ledger/register_settings.h"
#include "office/receipt_settings.h"
#include "office/remittance_settings.h"
#include "office/selection.h"
#include "print/spool.h"
#include "remittance/cycle.h"
#include "storage/sqlite_statement.h"
#include "terminal/headless_backend.h"

namespace {

namespace fs = std::filesystem;

int Owners() {
  const char* given = std::getenv("QANTIRES_BENCH_OWNERS");
  return given != nullptr && std::atoi(given) > 0 ? std::min(std::atoi(given), 44) : 40;
}

// The benchmark's argument: units a property.
int UnitsPerProperty(const benchmark::State& state) {
  return static_cast<int>(state.range(0));
}

std::string OfficeRoot(int unitsPerProperty) {
  // "b": owners with valid tax identifiers (a VERI*FACTU office).
  return std::string(QANTIRES_BENCH_OFFICE_DIR) + "-" + std::to_string(Owners()) + "-" +
         std::to_string(unitsPerProperty) + "b/";
}

bool BuildOffice(const std::string& root, int unitsPerProperty) {
  fs::remove_all(root);
  std::string error;
  demo::InstallationText text{root, root + "session/", "20261201", "SPA"};
  if (!demo::WriteInstallationText(text, &error)) return false;
  fs::create_directories(root + "DADES");
  fs::create_directories(root + "load");
  fs::create_directories(root + "ddf");
  std::vector<demo::RecordFile> files = demo::BuildDemoRecords({Owners(), 20, unitsPerProperty, true});
  demo::GiveOwnersValidTaxIds(files);  // so that every receipt can have its VERI*FACTU record
  for (const demo::RecordFile& f : files) {
    const std::string load = root + "load/" + f.name;
    std::ofstream(load + ".key", std::ios::binary) << demo::KeyDescription(f);
    std::ofstream(load + ".seq", std::ios::binary) << demo::SequentialText(f);
    const std::string xdf = root + "ddf/" + f.name + ".xdf";
    const std::string dat = root + "DADES/" + f.name + ".dat";
    if (recutil::MakeDictionary(load + ".key", xdf) != 0 ||
        recutil::CreateFromDictionary(xdf, dat, true) != 0 ||
        recutil::LoadRecords(dat, load + ".seq", false, 0) != 0) {
      return false;
    }
  }
  fs::remove_all(root + "load");
  std::ofstream(root + "ready") << "built\n";
  return true;
}

// Runs work in a child process and gives back what it returned, with the
// child's resource usage (its times and peak memory); false when the child
// failed.
template <typename Result, typename Work>
bool InChild(Work work, Result* result, rusage* usage) {
  static_assert(std::is_trivially_copyable_v<Result>);
  int channel[2];
  if (::pipe(channel) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const Result r = work();
    const bool sent = ::write(channel[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  const bool received = child > 0 && ::read(channel[0], result, sizeof *result) ==
                                         static_cast<ssize_t>(sizeof *result);
  ::close(channel[0]);
  int status = 0;
  return child > 0 && ::wait4(child, &status, 0, usage) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0 && received;
}

// Builds the office unless it is already there.
bool EnsureOffice(int unitsPerProperty) {
  const std::string root = OfficeRoot(unitsPerProperty);
  if (fs::exists(root + "ready")) return true;
  std::fprintf(stderr, "building the office in %s ...\n", root.c_str());
  bool built = false;
  rusage usage{};
  return InChild([&] { return BuildOffice(root, unitsPerProperty); }, &built, &usage) && built;
}

// Start-up as `qantires --batch` does it; its wall time in seconds, or a
// negative number when it failed.
double StartUp(const std::string& root) {
  ::setenv("KELROOT", root.c_str(), 1);
  ::setenv("KELEXE", (root + "bin/").c_str(), 1);
  ::setenv("KELTMP", (root + "session/").c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  terminal::UseHeadlessConsole();
  app::LoadConfiguration();
  if (!app::LoadScreenForms() || app::OpenIssuingFiles() != 0) return -1;
  office::ReadReceiptSettings();
  office::ReadRemittanceSettings();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// One batch cycle for the whole office on 1 December 2026, without the
// print program; with the remittance written to remittanceFile when given.
issuing::IssueSummary RunCycle(const std::string& remittanceFile = "") {
  issuing::BatchOptions options;
  options.date = "1/12/2026";
  options.remittance = remittanceFile;
  issuing::IssueSummary summary;
  if (!issuing::ApplyBatchOptions(options).empty()) return summary;
  office::CurrentSelection() = office::SelectionFromScreen();
  issuing::RunIssuingCycle(
      office::CurrentSelection(), false, [](const std::string&) {}, &summary);
  return summary;
}

std::uintmax_t SpoolBytes(const std::string& root) {
  return fs::file_size(root + "session/kelprint.tmp");
}

// Every record of a file in the order of key 0, straight from its
// database; the bytes read.
std::uintmax_t ReadInKeyOrder(const std::string& path, long* records) {
  sqlite3* db = nullptr;
  std::uintmax_t bytes = 0;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    storage::SqliteStatement st;
    st.Prepare(db, "SELECT r.data FROM key0 k JOIN records r ON r.pos = k.pos ORDER BY k.k, k.seq");
    while (st.get() != nullptr && sqlite3_step(st.get()) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_blob(st.get(), 0));
      bytes += static_cast<std::uintmax_t>(sqlite3_column_bytes(st.get(), 0));
      ++*records;
    }
  }  // the statement is finalised before the connection closes
  sqlite3_close(db);
  return bytes;
}

// The spool's bytes written again in lines of its average record length.
void WriteSpoolBytes(const std::string& root, std::uintmax_t bytes, std::uintmax_t lines) {
  const std::string path = root + "session/floor.tmp";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  const std::size_t length = lines == 0 ? 64 : static_cast<std::size_t>(bytes / lines);
  const std::string line(length, 'x');
  for (std::uintmax_t written = 0; written < bytes; written += length) {
    std::fwrite(line.data(), 1, length, f);
  }
  std::fclose(f);
  fs::remove(path);
}

struct Floor {
  long records = 0;
  std::uintmax_t readBytes = 0;
  double readSeconds = 0;
  std::uintmax_t spoolBytes = 0;
  double writeSeconds = 0;
};

// The office's records read and its last spool's bytes written again.
Floor MeasureFloor(const std::string& root) {
  Floor floor;
  floor.spoolBytes = SpoolBytes(root);
  std::uintmax_t spoolLines = 0;
  {
    std::ifstream spool(root + "session/kelprint.tmp", std::ios::binary);
    std::string line;
    while (std::getline(spool, line)) ++spoolLines;
  }
  const auto start = std::chrono::steady_clock::now();
  for (const char* name : {"PropietV", "FinquesV", "DepartaV", "CobramV", "TVRebut"}) {
    floor.readBytes += ReadInKeyOrder(root + "DADES/" + name + ".dat", &floor.records);
  }
  const auto middle = std::chrono::steady_clock::now();
  WriteSpoolBytes(root, floor.spoolBytes, spoolLines);
  const auto end = std::chrono::steady_clock::now();
  floor.readSeconds = std::chrono::duration<double>(middle - start).count();
  floor.writeSeconds = std::chrono::duration<double>(end - middle).count();
  return floor;
}

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// What a child tells about its cycle.
struct CycleFigures {
  double startUp = -1;  // seconds; negative when the start failed
  double seconds = 0;   // wall time of the cycle
  double userSeconds = 0;
  double systemSeconds = 0;
  long receipts = 0;
  bench_timers::Parts parts;
};

// What a cycle keeps: nothing, the register, or the register with a
// VERI*FACTU record for every receipt.
enum class Keeping { kNothing, kRegister, kVerifactu };

// Start-up and one cycle in a child process; with the timers when timed;
// with a new register when keeping asks for one.
bool MeasureCycle(benchmark::State& state, bool timed, CycleFigures* figures, rusage* usage,
                  Keeping keeping = Keeping::kNothing) {
  if (!EnsureOffice(UnitsPerProperty(state))) {
    state.SkipWithError("the office could not be built");
    return false;
  }
  const std::string root = OfficeRoot(UnitsPerProperty(state));
  const bool ran = InChild(
      [&] {
        CycleFigures f;
        f.startUp = StartUp(root);
        if (f.startUp < 0) return f;
        for (const char* piece : {"", "-wal", "-shm"}) fs::remove(root + "REGISTRE.DB" + piece);
        ledger::RegisterSettings().enabled = keeping != Keeping::kNothing;
        ledger::RegisterSettings().verifactu = keeping == Keeping::kVerifactu;
        // Nothing is ever sent from a benchmark: the office has no recutil
        // to send with, and the address would be this machine's anyway.
        ledger::RegisterSettings().url = "https://127.0.0.1:9/";
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        if (timed) bench_timers::Start();
        const auto start = std::chrono::steady_clock::now();
        f.receipts = RunCycle().receipts;
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (timed) f.parts = bench_timers::Stop(f.seconds);
        ::getrusage(RUSAGE_SELF, &after);
        f.userSeconds = Seconds(after.ru_utime) - Seconds(before.ru_utime);
        f.systemSeconds = Seconds(after.ru_stime) - Seconds(before.ru_stime);
        return f;
      },
      figures, usage);
  if (!ran || figures->startUp < 0) {
    state.SkipWithError("the office could not be started or issued");
    return false;
  }
  return true;
}

void IssuingRun(benchmark::State& state) {
  CycleFigures f;
  rusage usage{};
  for (auto _ : state) {
    if (!MeasureCycle(state, false, &f, &usage)) return;
    state.SetIterationTime(f.seconds);
  }
  const std::string root = OfficeRoot(UnitsPerProperty(state));
  state.counters["receipts"] = static_cast<double>(f.receipts);
  state.counters["receipts/s"] = static_cast<double>(f.receipts) / f.seconds;
  state.counters["user_s"] = f.userSeconds;
  state.counters["sys_s"] = f.systemSeconds;
  state.counters["spool_MB"] = static_cast<double>(SpoolBytes(root)) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["startup_ms"] = f.startUp * 1000;
  const Floor floor = MeasureFloor(root);
  state.counters["floor_s"] = floor.readSeconds + floor.writeSeconds;
  state.counters["x_floor"] = f.seconds / (floor.readSeconds + floor.writeSeconds);
}
// Three runs of each size, reported as their median (and mean and spread):
// the machine is shared, and a single run swings with its load.
BENCHMARK(IssuingRun)
    ->ArgName("units_per_property")
    ->Arg(125)
    ->Arg(375)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The same cycle without the register, with it, and with VERI*FACTU
// records, one after the other: what registering every receipt and making
// its billing record cost, and whether memory stays flat with the office's
// size.
void RegisterAndVerifactu(benchmark::State& state) {
  CycleFigures off, on, records;
  rusage offUsage{}, onUsage{}, recordsUsage{};
  for (auto _ : state) {
    if (!MeasureCycle(state, false, &off, &offUsage, Keeping::kNothing) ||
        !MeasureCycle(state, false, &on, &onUsage, Keeping::kRegister) ||
        !MeasureCycle(state, false, &records, &recordsUsage, Keeping::kVerifactu)) {
      return;
    }
    state.SetIterationTime(records.seconds);
  }
  state.counters["receipts"] = static_cast<double>(records.receipts);
  state.counters["off_receipts/s"] = static_cast<double>(off.receipts) / off.seconds;
  state.counters["register_receipts/s"] = static_cast<double>(on.receipts) / on.seconds;
  state.counters["verifactu_receipts/s"] = static_cast<double>(records.receipts) / records.seconds;
  state.counters["register_x_off"] = on.seconds / off.seconds;
  state.counters["verifactu_x_off"] = records.seconds / off.seconds;
  state.counters["off_peak_MB"] = static_cast<double>(offUsage.ru_maxrss) / 1024.0;
  state.counters["register_peak_MB"] = static_cast<double>(onUsage.ru_maxrss) / 1024.0;
  state.counters["verifactu_peak_MB"] = static_cast<double>(recordsUsage.ru_maxrss) / 1024.0;
}
BENCHMARK(RegisterAndVerifactu)
    ->ArgName("units_per_property")
    ->Arg(125)
    ->Arg(375)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// What a child tells about its cycle with the remittance.
struct RemittanceFigures {
  double seconds = -1;  // negative when the start failed
  long receipts = 0;
  bool written = false;
  double debits = 0;
  double leftOut = 0;
};

void IssuingRunWithRemittance(benchmark::State& state) {
  if (!EnsureOffice(UnitsPerProperty(state))) {
    state.SkipWithError("the office could not be built");
    return;
  }
  const std::string root = OfficeRoot(UnitsPerProperty(state));
  const std::string file = root + "session/remesa.xml";
  RemittanceFigures f;
  rusage usage{};
  for (auto _ : state) {
    const bool ran = InChild(
        [&] {
          RemittanceFigures r;
          if (StartUp(root) < 0) return r;
          const auto start = std::chrono::steady_clock::now();
          const issuing::IssueSummary summary = RunCycle(file);
          r.seconds =
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
          r.receipts = summary.receipts;
          r.written = summary.remittance.outcome == remittance::RemittanceOutcome::kWritten;
          r.debits = summary.remittance.debits;
          r.leftOut = static_cast<double>(summary.remittance.leftOut.size());
          return r;
        },
        &f, &usage);
    if (!ran || f.seconds < 0) {
      state.SkipWithError("the office could not be started or issued");
      return;
    }
    state.SetIterationTime(f.seconds);
  }
  if (!f.written) {
    state.SkipWithError("no remittance written (an office built before [Remesa]? remove it)");
    return;
  }
  state.counters["receipts"] = static_cast<double>(f.receipts);
  state.counters["receipts/s"] = static_cast<double>(f.receipts) / f.seconds;
  state.counters["debits"] = f.debits;
  state.counters["left_out"] = f.leftOut;
  state.counters["remittance_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(IssuingRunWithRemittance)
    ->ArgName("units_per_property")
    ->Arg(125)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

void Breakdown(benchmark::State& state) {
  CycleFigures f;
  rusage usage{};
  for (auto _ : state) {
    if (!MeasureCycle(state, true, &f, &usage)) return;
    state.SetIterationTime(f.seconds);
  }
  double timed = 0;
  for (int p = 0; p < bench_timers::kPartCount; ++p) {
    state.counters[std::string(bench_timers::kPartNames[p]) + "_s"] = f.parts.seconds[p];
    state.counters[std::string(bench_timers::kPartNames[p]) + "_calls"] =
        static_cast<double>(f.parts.calls[p]);
    timed += f.parts.seconds[p];
  }
  state.counters["rest_s"] = f.seconds - timed;
}
BENCHMARK(Breakdown)
    ->ArgName("units_per_property")
    ->Arg(125)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

void IoFloor(benchmark::State& state) {
  const std::string root = OfficeRoot(UnitsPerProperty(state));
  if (!fs::exists(root + "session/kelprint.tmp")) {  // the spool to write again
    CycleFigures f;
    rusage usage{};
    if (!MeasureCycle(state, false, &f, &usage)) return;
  }
  Floor floor;
  for (auto _ : state) floor = MeasureFloor(root);
  state.counters["records"] = static_cast<double>(floor.records);
  state.counters["read_MB"] = static_cast<double>(floor.readBytes) / 1e6;
  state.counters["read_s"] = floor.readSeconds;
  state.counters["spool_MB"] = static_cast<double>(floor.spoolBytes) / 1e6;
  state.counters["write_s"] = floor.writeSeconds;
}
BENCHMARK(IoFloor)
    ->ArgName("units_per_property")
    ->Arg(125)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
