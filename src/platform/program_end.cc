// The real end of the program and its stand-in.
#include "platform/program_end.h"

#include <cstdlib>

namespace platform {
namespace {

std::function<void(int)>& EndStandIn() {
  static std::function<void(int)> end;
  return end;
}

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
