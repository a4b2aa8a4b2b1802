// The pop-ups: one calculator use from Alt+X to Escape (state file read,
// window, drawing, state file written) with a number of keystrokes, one
// calendar use with a number of day moves, and reading a full KELCALC.TMP.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "config/session_settings.h"
#include "console/calculator.h"
#include "console/calculator_state.h"
#include "console/calendar.h"
#include "console/console_state.h"
#include "format/packed.h"
#include "platform/program_state.h"
#include "terminal/headless_backend.h"

namespace {

// A scratch session and terminal directory for one benchmark.
class ScratchSession {
 public:
  ScratchSession() : dir_((std::filesystem::temp_directory_path() / "qt-bench-XXXXXX").string()) {
    ok_ = ::mkdtemp(dir_.data()) != nullptr;
    platform::ResetProgramState();
    config::Settings().SessionDir = config::Settings().TerminalDir = dir_ + "/";
  }
  ~ScratchSession() { std::filesystem::remove_all(dir_); }
  bool ok() const { return ok_; }

 private:
  std::string dir_;
  bool ok_ = false;
};

void CalculatorUse(benchmark::State& state) {
  ScratchSession session;
  if (!session.ok()) return state.SkipWithError("no temporary directory");
  terminal::HeadlessConsole& con = terminal::UseHeadlessConsole();
  const int keys = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < keys; ++i) con.PushText(i % 2 ? "+" : "7");
    con.PushText("\x1b");
    benchmark::DoNotOptimize(console::ShowCalculator());
  }
}
BENCHMARK(CalculatorUse)->Arg(0)->Arg(20)->MeasureProcessCPUTime();

void CalendarUse(benchmark::State& state) {
  ScratchSession session;
  if (!session.ok()) return state.SkipWithError("no temporary directory");
  config::Settings().WorkingDate = format::PackDigits("20240215");
  terminal::HeadlessConsole& con = terminal::UseHeadlessConsole();
  const int moves = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < moves; ++i)
      con.PushKey(0, 0x50);  // Down: a week, a new quarter now and then
    con.PushText("F");
    benchmark::DoNotOptimize(console::ShowCalendar());
  }
}
BENCHMARK(CalendarUse)->Arg(0)->Arg(20)->MeasureProcessCPUTime();

void ReadFullStateFile(benchmark::State& state) {
  console::CalculatorState full;
  for (auto& line : full.tape) line = {1234567.891, true, 3, '+'};
  const std::string text = console::WriteCalculatorState(full);
  for (auto _ : state) benchmark::DoNotOptimize(console::ReadCalculatorState(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadFullStateFile);

}  // namespace
