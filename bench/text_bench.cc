// Text helpers and the INI reader: the per-call costs that every screen and
// every receipt pays.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/ini.h"
#include "format/text.h"

namespace {

void BM_FoldText(benchmark::State& state) {
  std::string line(80, 'a');
  for (size_t i = 0; i < line.size(); i += 3) line[i] = '\x87';
  for (auto _ : state) benchmark::DoNotOptimize(format::FoldText(line));
}
BENCHMARK(BM_FoldText);

void BM_WrapParagraph(benchmark::State& state) {
  std::string source;
  for (int i = 0; i < 40; ++i) source += "paraula ";
  for (auto _ : state) {
    std::string t = source;
    format::WrapParagraph(t, 0, 76, "i");
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_WrapParagraph);

// A Tora.ini of realistic size (about 60 lines) read for its last key.
void BM_IniReadLastKey(benchmark::State& state) {
  std::string path = (std::filesystem::temp_directory_path() / "qt_bench_tora.ini").string();
  {
    std::ofstream out(path, std::ios::binary);
    for (int s = 0; s < 10; ++s) {
      out << "[Seccio" << s << "]\r\n";
      for (int k = 0; k < 5; ++k) out << "Clau" << k << "=valor " << k << " ; nota\r\n";
    }
  }
  for (auto _ : state) benchmark::DoNotOptimize(config::IniRead(path, "Seccio9", "Clau4"));
  std::remove(path.c_str());
}
BENCHMARK(BM_IniReadLastKey);

// A key behind a line of 10 MB: each lookup scans that line once.
void BM_IniReadPastLongLine(benchmark::State& state) {
  std::string path = (std::filesystem::temp_directory_path() / "qt_bench_long.ini").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "[Usuari]\r\nNota=" << std::string(10'000'000, 'x') << "\r\nIdioma=CAT\r\n";
  }
  for (auto _ : state) benchmark::DoNotOptimize(config::IniRead(path, "Usuari", "Idioma"));
  std::remove(path.c_str());
}
BENCHMARK(BM_IniReadPastLongLine)->Unit(benchmark::kMillisecond);

}  // namespace
