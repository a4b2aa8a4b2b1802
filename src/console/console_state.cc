// The console core's one state instance.
#include "console/console_state.h"

#include "platform/program_state.h"

namespace console {

ConsoleState& Console() {
  static ConsoleState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConsole, "console::Console", [] { Console() = ConsoleState{}; });
}  // namespace

}  // namespace console
