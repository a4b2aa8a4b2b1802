// The console core's one state instance.
#include "console/state.h"

namespace console {

ConsoleState& Console() {
  static ConsoleState state;
  return state;
}

void ResetConsoleState() {
  Console() = ConsoleState{};
}

}  // namespace console
