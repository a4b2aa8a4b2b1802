// The one instance of the console screens' state.
#include "screens/screens_state.h"

#include "platform/program_state.h"

namespace screens {

ScreensState& Screens() {
  static ScreensState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kScreens, "screens::Screens", [] { Screens() = ScreensState{}; });
}  // namespace

}  // namespace screens
