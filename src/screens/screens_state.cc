// The one instance of the console screens' state.
#include "screens/screens_state.h"

namespace screens {

ScreensState& Screens() {
  static ScreensState state;
  return state;
}

void ResetScreens() {
  Screens() = ScreensState{};
}

}  // namespace screens
