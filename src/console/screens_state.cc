// The one instance of the console screens' state.
#include "console/screens_state.h"

namespace console {

ScreensState& Screens() {
  static ScreensState state;
  return state;
}

void ResetScreens() {
  Screens() = ScreensState{};
}

}  // namespace console
