// Console core: the cost of one keystroke in a field, from the input event
// to the flushed screen, and of opening and closing a full-screen window
// through WinPush.tmp.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "config/session_settings.h"
#include "console/field.h"
#include "console/window.h"
#include "platform/program_state.h"
#include "terminal/headless_backend.h"

namespace {

// Field entry, the typed keys and Enter; keys = 0 measures entry and exit
// alone, so the difference is the cost of the keystrokes.
void EditWithKeys(benchmark::State& state) {
  platform::ResetProgramState();
  terminal::HeadlessConsole& con = terminal::UseHeadlessConsole();
  console::SetExitKeys("e", "");
  const int keys = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < keys; ++i) con.PushText("a");
    con.PushText("\r");
    std::string value(30, ' ');
    int position = 1;
    int key = 0;
    console::EditField(5, 10, 0, value, position, key);
    benchmark::DoNotOptimize(value);
  }
  state.counters["presents_per_op"] =
      benchmark::Counter(con.Presents(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(EditWithKeys)->Arg(0)->Arg(1)->Arg(10);

void OpenCloseFullScreenWindow(benchmark::State& state) {
  std::string dir = (std::filesystem::temp_directory_path() / "qt-bench-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) {
    state.SkipWithError("no temporary directory");
    return;
  }
  platform::ResetProgramState();
  config::Settings().SessionDir = dir + "/";
  terminal::UseHeadlessConsole();
  for (auto _ : state) {
    console::OpenWindow(1, 1, 25, 80);
    console::CloseWindow();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(OpenCloseFullScreenWindow)->MeasureProcessCPUTime();

}  // namespace
