// The one instance of the issuing run's state.
#include "issuing/issuing_run_state.h"

#include "platform/program_state.h"

namespace issuing {

IssuingRunState& IssuingRun() {
  static IssuingRunState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kIssuing, "issuing::IssuingRun", [] { IssuingRun() = IssuingRunState{}; });
}  // namespace

}  // namespace issuing
