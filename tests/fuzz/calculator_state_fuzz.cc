// Any bytes as a left-over KELCALC.TMP: the reader must give a state within
// the calculator's ranges, that state must survive writing and reading
// back unchanged, and the calculator must draw it and leave (the empty
// input script ends it with Escape).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/session_settings.h"
#include "console/calculator.h"
#include "console/calculator_state.h"
#include "console/console_state.h"
#include "fuzz_scratch.h"
#include "platform/program_state.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string& dir = fuzz_scratch::FolderPath("kelcalc");
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const console::CalculatorState s = console::ReadCalculatorState(text);
  Check(s.leftColumn >= 1 && s.leftColumn <= console::kLastLeftColumn);
  Check(s.tapeTop >= console::kFirstTapeRow && s.tapeTop <= console::kNoTape);
  Check(s.decimals >= 0 && s.decimals <= console::kMaxDecimals);
  Check(s.key.size() <= 2 && s.pendingOperator.size() <= 1);
  const std::string written = console::WriteCalculatorState(s);
  Check(console::WriteCalculatorState(console::ReadCalculatorState(written)) == written);

  platform::ResetProgramState();
  config::Settings().SessionDir = dir;
  config::Settings().TerminalDir = dir;
  std::FILE* f = std::fopen((dir + "KELCALC.TMP").c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  Check(console::ShowCalculator().empty());
  Check(console::Console().depth == 0);
  return 0;
}
