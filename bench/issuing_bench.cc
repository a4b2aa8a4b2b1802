// The issuing run on a large office: a generated installation of 2,500 units
// per owner (20 properties of 125 units), every unit due every month (40
// owners: 100,000 units), boxed layout with the duplicate, Spanish session.
// The selection's unit range reaches property 999, so the generated
// properties (from 100 on) stay below it.
//
//   IssuingRun      the whole batch cycle (start-up excluded, reported as a
//                   counter): receipts per second and the peak memory.
//   Breakdown       the same cycle with the product's calls to the record
//                   reads, TranslateText, the number formatting and the spool
//                   writers timed (see issuing_bench_timers.h).
//   IoFloor         the same record bytes read straight from SQLite and the
//                   same number of spool bytes written through stdio.
//   IssuingRunWithRemittance
//                   the whole cycle again with the bank remittance written:
//                   its extra cost per receipt is the difference to
//                   IssuingRun divided by the receipts.
//
// The installation is built once in a child process (so that its memory
// does not count) and kept under the build folder; QT_BENCH_OWNERS sets the
// number of generated owners (a small office for profiling).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/program.h"
#include "commands.h"
#include "config/settings.h"
#include "demo_files.h"
#include "demo_records.h"
#include "issuing/batch.h"
#include "issuing/issuing_run.h"
#include "issuing_bench_timers.h"
#include "office/receipt_settings.h"
#include "office/remittance_settings.h"
#include "office/selection.h"
#include "platform/headless_console.h"
#include "print/spool.h"
#include "remittance/cycle.h"

namespace {

namespace fs = std::filesystem;

int Owners() {
  const char* given = std::getenv("QT_BENCH_OWNERS");
  return given != nullptr && std::atoi(given) > 0 ? std::min(std::atoi(given), 44) : 40;
}

std::string OfficeRoot() {
  return std::string(QT_BENCH_OFFICE_DIR) + "-" + std::to_string(Owners()) + "/";
}

bool BuildOffice(const std::string& root) {
  fs::remove_all(root);
  std::string error;
  demo::InstallationText text{root, root + "session/", "20261201", "SPA"};
  if (!demo::WriteInstallationText(text, &error)) return false;
  fs::create_directories(root + "DADES");
  fs::create_directories(root + "load");
  fs::create_directories(root + "ddf");
  for (const demo::RecordFile& f : demo::BuildDemoRecords({Owners(), 20, 125, true})) {
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

// Builds the office in a child process unless it is already there.
bool EnsureOffice(const std::string& root) {
  if (fs::exists(root + "ready")) return true;
  std::fprintf(stderr, "building the office in %s ...\n", root.c_str());
  const pid_t child = ::fork();
  if (child == 0) ::_exit(BuildOffice(root) ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// Start-up as `qantires --batch` does it; its wall time in seconds, or a
// negative number when it failed.
double StartUp(const std::string& root) {
  static double seconds = 0;
  if (seconds != 0) return seconds;
  if (!EnsureOffice(root)) return seconds = -1;
  ::setenv("KELROOT", root.c_str(), 1);
  ::setenv("KELEXE", (root + "bin/").c_str(), 1);
  ::setenv("KELTMP", (root + "session/").c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  platform::UseHeadlessConsole();
  app::LoadConfiguration();
  if (!app::LoadScreenForms() || app::OpenIssuingFiles() != 0) return seconds = -1;
  office::ReadReceiptSettings();
  office::ReadRemittanceSettings();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return seconds = took.count();
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

// A line of /proc/self/status in megabytes ("VmHWM").
double StatusMegabytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    }
  }
  return 0;
}

std::uintmax_t SpoolBytes() {
  return fs::file_size(OfficeRoot() + "session/kelprint.tmp");
}

void IssuingRun(benchmark::State& state) {
  const double startUp = StartUp(OfficeRoot());
  if (startUp < 0) {
    state.SkipWithError("the office could not be built or started");
    return;
  }
  issuing::IssueSummary summary;
  for (auto _ : state) summary = RunCycle();
  state.counters["receipts"] = summary.receipts;
  state.counters["receipts/s"] =
      benchmark::Counter(summary.receipts, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["spool_MB"] = static_cast<double>(SpoolBytes()) / 1e6;
  state.counters["peak_MB"] = StatusMegabytes("VmHWM");
  state.counters["startup_ms"] = startUp * 1000;
}
BENCHMARK(IssuingRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void IssuingRunWithRemittance(benchmark::State& state) {
  if (StartUp(OfficeRoot()) < 0) {
    state.SkipWithError("the office could not be built or started");
    return;
  }
  const std::string file = OfficeRoot() + "session/remesa.xml";
  issuing::IssueSummary summary;
  for (auto _ : state) summary = RunCycle(file);
  remittance::ResetOverrides();
  if (summary.remittance.outcome != remittance::RemittanceOutcome::kWritten) {
    state.SkipWithError("no remittance written (an office built before [Remesa]? remove it)");
    return;
  }
  state.counters["receipts"] = summary.receipts;
  state.counters["receipts/s"] =
      benchmark::Counter(summary.receipts, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["debits"] = summary.remittance.debits;
  state.counters["left_out"] = static_cast<double>(summary.remittance.leftOut.size());
  state.counters["remittance_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
  state.counters["peak_MB"] = StatusMegabytes("VmHWM");
}
BENCHMARK(IssuingRunWithRemittance)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void Breakdown(benchmark::State& state) {
  if (StartUp(OfficeRoot()) < 0) {
    state.SkipWithError("the office could not be built or started");
    return;
  }
  bench_timers::Parts parts;
  double seconds = 0;
  for (auto _ : state) {
    bench_timers::Start();
    const auto start = std::chrono::steady_clock::now();
    RunCycle();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    parts = bench_timers::Stop(seconds);
  }
  double timed = 0;
  for (int p = 0; p < bench_timers::kPartCount; ++p) {
    state.counters[std::string(bench_timers::kPartNames[p]) + "_s"] = parts.seconds[p];
    state.counters[std::string(bench_timers::kPartNames[p]) + "_calls"] =
        static_cast<double>(parts.calls[p]);
    timed += parts.seconds[p];
  }
  state.counters["rest_s"] = seconds - timed;
}
BENCHMARK(Breakdown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Every record of a file in the order of key 0, straight from its
// database; the bytes read.
std::uintmax_t ReadInKeyOrder(const std::string& path, long* records) {
  sqlite3* db = nullptr;
  std::uintmax_t bytes = 0;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT r.data FROM key0 k JOIN records r ON r.pos = k.pos ORDER BY k.k, "
                       "k.seq",
                       -1, &st, nullptr);
    while (st != nullptr && sqlite3_step(st) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_blob(st, 0));
      bytes += static_cast<std::uintmax_t>(sqlite3_column_bytes(st, 0));
      ++*records;
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return bytes;
}

// The spool's bytes written again in lines of its average record length.
void WriteSpoolBytes(std::uintmax_t bytes, std::uintmax_t lines) {
  const std::string path = OfficeRoot() + "session/floor.tmp";
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

void IoFloor(benchmark::State& state) {
  if (StartUp(OfficeRoot()) < 0) {
    state.SkipWithError("the office could not be built or started");
    return;
  }
  const std::uintmax_t spoolBytes = SpoolBytes();
  std::uintmax_t spoolLines = 0;
  {
    std::ifstream spool(OfficeRoot() + "session/kelprint.tmp", std::ios::binary);
    std::string line;
    while (std::getline(spool, line)) ++spoolLines;
  }
  double readSeconds = 0, writeSeconds = 0;
  std::uintmax_t readBytes = 0;
  long records = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    readBytes = 0;
    records = 0;
    for (const char* name : {"PropietV", "FinquesV", "DepartaV", "CobramV", "TVRebut"}) {
      readBytes += ReadInKeyOrder(OfficeRoot() + "DADES/" + name + ".dat", &records);
    }
    auto middle = std::chrono::steady_clock::now();
    WriteSpoolBytes(spoolBytes, spoolLines);
    auto end = std::chrono::steady_clock::now();
    readSeconds = std::chrono::duration<double>(middle - start).count();
    writeSeconds = std::chrono::duration<double>(end - middle).count();
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["read_MB"] = static_cast<double>(readBytes) / 1e6;
  state.counters["read_s"] = readSeconds;
  state.counters["spool_MB"] = static_cast<double>(spoolBytes) / 1e6;
  state.counters["write_s"] = writeSeconds;
}
BENCHMARK(IoFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
