// The real end of the program and its stand-in.
#include "platform/program_end.h"

#include <cstdlib>

#include "platform/program_state.h"

namespace platform {
namespace {

std::function<void(int)>& EndStandIn() {
  static std::function<void(int)> end;
  return end;
}

[[maybe_unused]] const bool registered =
    RegisterStateReset(Layer::kPlatform, "platform::EndStandIn", [] { EndStandIn() = nullptr; });

}  // namespace

void EndProgram(int exitCode) {
  if (EndStandIn()) {
    EndStandIn()(exitCode);
    return;
  }
  std::exit(exitCode);
}

void SetEndProgramStandIn(std::function<void(int)> end) {
  EndStandIn() = std::move(end);
}

}  // namespace platform
