// The program's main flow: start-up in a fixed order, the issuing run, and
// the close-down.
//
// Start-up order (each step uses what the earlier ones left):
//   1. company data, then the session and terminal settings
//   2. the installation root (RootDir, when set) becomes the current directory
//   3. program name and customer variant
//   (the steps of the later subsystems are added here as they are built:
//    screen-form file, record files, receipt settings, issuing run)
// Close-down: release what start-up took, exit code 0.
#pragma once

#include "startup/program_state.h"

namespace startup {

// Runs start-up, the issuing run and the close-down; returns the exit code.
int RunProgram();

}  // namespace startup
