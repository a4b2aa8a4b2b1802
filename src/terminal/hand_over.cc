// The backend gives the terminal up around the child's run, so that a help
// viewer or the print program's preview can draw and read keys there.
#include "terminal/hand_over.h"

#include "platform/process.h"
#include "terminal/cell_buffer.h"

namespace terminal {

int RunOnTerminal(std::string_view path, const std::vector<std::string>& args) {
  CurrentConsoleBackend().Suspend();
  const int status = platform::RunProgram(path, args);
  CurrentConsoleBackend().Resume(CurrentScreen());
  return status;
}

}  // namespace terminal
