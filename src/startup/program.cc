// Start-up and close-down order of the program.
#include "startup/program.h"

namespace startup {

ProgramState& Program() {
  static ProgramState state;
  return state;
}

void ResetProgram() { Program() = ProgramState{}; }

int RunProgram() {
  Program().ProgramName = kProgramName;
  return 0;
}

}  // namespace startup
