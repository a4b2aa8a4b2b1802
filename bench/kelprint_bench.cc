// KELPRINT on large spools of boxed receipts: the program itself is run
// (survey, layout and writing, one page at a time) on 5,000 and 50,000
// pages, to PDF and as raw printer text, and to PDF with the tax agency's
// QR code on every receipt.  Reports pages per second and the
// program's peak resident memory, which must not grow with the pages.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

// One receipt's page in the shape of the boxed layout: six boxes of seven
// lines across 95 columns, dotted labels, right-justified amounts.
std::string BoxedPage(long n, bool qrCode) {
  const std::string rule(93, '\xC4');
  std::string s = "PAGE 66 \r\n*@e\r\nJUSE\r\n";
  if (qrCode) {  // a code of its own for every receipt, as its number differs
    s += "QR 97 , 0 , 35 , 0 ,https://www2.agenciatributaria.gob.es/wlpl/TIKE-CONT/"
         "ValidarQR?nif=B17654321&numserie=" +
         std::to_string(n) + "&fecha=01-12-2026&importe=1210.00\r\nQRNOTETOTAL 1.210,00\r\n";
  }
  for (int box = 0; box < 6; ++box) {
    s += " 1 ,\xDA"
         "FACTURA" +
         rule.substr(7) + "\xBF, 1 \r\n";
    for (int row = 0; row < 7; ++row) {
      s += " 1 ,\xB3, 0 \r\nJUSN 20 \\.\\\r\n 2 ,CONCEPTE , 0 \r\n 0 ,: LLOGUER " +
           std::to_string(n) + ", 0 \r\nJUSD\r\n 80 ,1.234,56, 0 \r\nJUSE\r\n 95 ,\xB3, 1 \r\n";
    }
    s += " 1 ,\xC0" + rule + "\xD9, 1 \r\n";
  }
  return s;
}

std::string Scratch(const std::string& name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// The spool of `pages` receipts for the device, written before the timing.
std::string SpoolOf(long pages, const std::string& device, bool qrCodes) {
  const std::string path = Scratch("qt-kelprint-bench.tmp");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fputs(("DEVICE" + device + "\r\n").c_str(), f);
  for (long n = 0; n < pages; ++n) std::fputs(BoxedPage(n, qrCodes).c_str(), f);
  std::fputs("END\r\n", f);
  std::fclose(f);
  return path;
}

void RunKelprint(benchmark::State& state, const std::string& device, const std::string& out,
                 bool qrCodes = false) {
  const long pages = state.range(0);
  std::string spool = SpoolOf(pages, device, qrCodes);
  long peakKb = 0;
  double cpuSeconds = 0;  // the program's, as the wall time counts other loads too
  for (auto _ : state) {
    std::string kelprint = KELPRINT_PATH;
    std::string spoolOption = "--spool";
    char* argv[] = {kelprint.data(), spoolOption.data(), spool.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    posix_spawn_file_actions_t quiet;  // its report line would clutter the table
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
      return state.SkipWithError("cannot start kelprint");
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      return state.SkipWithError("kelprint failed");
    peakKb = std::max(peakKb, usage.ru_maxrss);
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
  state.counters["cpu_pages/s"] = static_cast<double>(pages) * state.iterations() / cpuSeconds;
  state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
  std::filesystem::remove(out);
  std::filesystem::remove(spool);
}

void BoxedReceiptsToPdf(benchmark::State& state) {
  const std::string out = Scratch("qt-kelprint-bench.pdf");
  RunKelprint(state, out, out);
}
BENCHMARK(BoxedReceiptsToPdf)
    ->Arg(5000)
    ->Arg(50000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BoxedReceiptsWithQrCodesToPdf(benchmark::State& state) {
  const std::string out = Scratch("qt-kelprint-bench.pdf");
  RunKelprint(state, out, out, true);
}
BENCHMARK(BoxedReceiptsWithQrCodesToPdf)
    ->Arg(5000)
    ->Arg(50000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BoxedReceiptsToRawText(benchmark::State& state) {
  const std::string out = Scratch("qt-kelprint-bench.prn");
  RunKelprint(state, "raw:" + out, out);
}
BENCHMARK(BoxedReceiptsToRawText)
    ->Arg(5000)
    ->Arg(50000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
