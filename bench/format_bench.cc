// Amounts, long dates and translations: what every printed receipt line
// pays, and the language-file scan that each translated label costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/language.h"
#include "config/program_identity.h"
#include "config/session_settings.h"
#include "format/amounts.h"
#include "format/long_dates.h"
#include "format/packed.h"
#include "format/picture.h"

namespace {

void BM_FormatAmount(benchmark::State& state) {
  format::SetCurrency("a,E");
  double cents = 0;
  for (auto _ : state) benchmark::DoNotOptimize(format::FormatAmount("ZZ,ZZZ,ZZ9", cents += 7));
}
BENCHMARK(BM_FormatAmount);

void BM_FormatPictureLongMask(benchmark::State& state) {
  const std::string mask = std::string(200, 'Z') + ".99";
  for (auto _ : state) benchmark::DoNotOptimize(format::FormatPicture(mask, -12345.678));
}
BENCHMARK(BM_FormatPictureLongMask);

void BM_FormatDateLong(benchmark::State& state) {
  const std::string date = format::PackDigits("20241005");
  for (auto _ : state) benchmark::DoNotOptimize(format::FormatDate(date, 2, "dma"));
}
BENCHMARK(BM_FormatDateLong);

// A language file of 300 entries, looked up for its last key (the worst case).
void BM_TranslateLastOf300(benchmark::State& state) {
  const auto root = std::filesystem::temp_directory_path() / "qt_bench_root";
  std::filesystem::create_directories(root / "LOCALE");
  {
    std::ofstream out(root / "LOCALE" / "QANTIRES.LNG", std::ios::binary);
    for (int i = 0; i < 300; ++i) {
      out << "\"TEXT " << i << ", CAT\",TEXT GLG,TEXT OCI,\"TEXT " << i << ", SPA\"\r\n";
    }
  }
  config::Settings().RootDir = root.string() + "/";
  config::Settings().SessionLanguage = "SPA";
  config::Program().ProgramName = "QANTIRES";
  for (auto _ : state) benchmark::DoNotOptimize(config::TranslateText("TEXT 299, CAT"));
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_TranslateLastOf300);

}  // namespace
