// The program's main flow: start-up in a fixed order, the issuing run, and
// the close-down.
//
// Start-up order (each step uses what the earlier ones left):
//   1. program name
//   (the steps of the later subsystems are added here as they are built:
//    company data and session settings, the change to the installation
//    root, customer variant, screen-form file, record files, receipt
//    settings, issuing run)
// Close-down: release what start-up took, exit code 0.
#pragma once

#include <cstdint>
#include <string>

namespace startup {

// Fixed at start-up, read-only afterwards.
struct ProgramState {
  std::string ProgramName;         // "QANTIRES": language, form and help file names
  std::int16_t CustomerVariant = 0;  // 0, 1 or 2
};
ProgramState& Program();
void ResetProgram();

inline constexpr const char* kProgramName = "QANTIRES";

// Runs start-up, the issuing run and the close-down; returns the exit code.
int RunProgram();

}  // namespace startup
