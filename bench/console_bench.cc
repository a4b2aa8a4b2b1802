// The terminal console's costs: one keystroke from terminal bytes to the
// bytes that show its effect, and a full-screen repaint.  The bytes sent to
// the terminal are reported as counters.
#include <benchmark/benchmark.h>

#include <string>

#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"
#include "terminal/key_decoder.h"
#include "terminal/tty_render.h"

namespace {

// A screen like a form: a frame and a few rows of coloured text.
void FillScreen() {
  terminal::UseHeadlessConsole();
  terminal::SetTextColour(15, 1);
  for (int r = 1; r <= terminal::kConsoleRows; ++r) {
    terminal::SetCursorPosition(r, 1);
    terminal::WriteText(std::string(terminal::kConsoleColumns, r % 2 ? '\xC4' : ' '));
  }
  terminal::SetTextColour(0, 7);
  terminal::SetCursorPosition(10, 20);
  terminal::WriteText("Data d'emissi\xA2: 01/03/2024");
}

// Decode "x", write it into a field, render the change.
void BM_KeystrokeToTerminalBytes(benchmark::State& state) {
  FillScreen();
  terminal::TerminalRenderer renderer;
  renderer.Render(terminal::CurrentScreen());
  terminal::KeyDecoder decoder;
  size_t bytes = 0;
  int column = 0;
  for (auto _ : state) {
    decoder.Feed("\xc3\xa7");  // a typed c-cedilla
    terminal::ConsoleEvent event;
    decoder.Next(&event);
    terminal::SetCursorPosition(12, 20 + column);
    terminal::WriteText(std::string(1, static_cast<char>(event.character + (column & 1))));
    column = (column + 1) % 40;
    const std::string out = renderer.Render(terminal::CurrentScreen());
    bytes += out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes_per_key"] =
      benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeystrokeToTerminalBytes);

void BM_FullScreenRepaint(benchmark::State& state) {
  FillScreen();
  terminal::TerminalRenderer renderer;
  size_t bytes = 0;
  for (auto _ : state) {
    renderer.Invalidate();
    const std::string out = renderer.Render(terminal::CurrentScreen());
    bytes += out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes_per_repaint"] =
      benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FullScreenRepaint);

void BM_DecodeCtrlLeft(benchmark::State& state) {
  terminal::KeyDecoder decoder;
  terminal::ConsoleEvent event;
  for (auto _ : state) {
    decoder.Feed("\x1b[1;5D");
    benchmark::DoNotOptimize(decoder.Next(&event));
  }
}
BENCHMARK(BM_DecodeCtrlLeft);

}  // namespace
