// The program's main flow: start-up in a fixed order, the issuing run, and
// the close-down.
//
// Start-up order (each step uses what the earlier ones left):
//   1. program name
//   2. the six record files, opened under their file identifiers
//   (the steps of the later subsystems are added here as they are built:
//    company data and session settings, the change to the installation
//    root, customer variant, screen-form file, receipt settings, issuing
//    run)
// Close-down: release the record files, exit code 0.  A start that cannot
// go on ends with a non-zero exit code.
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

inline constexpr int kStartFailureExitCode = 1;

// Opens, in this order and under these identifiers, RootDir followed by
// "DADES\TVRebut" (503), "DADES\TRemeses" (502), "DADES\PropietV" (505),
// "DADES\FinquesV" (506), "DADES\DepartaV" (507) and "DADES\CobramV"
// (509), each bound to its record area of issuing::Areas().  A file that
// cannot be opened ends the program; the status of the first failure comes
// back only when that end is replaced.
std::int16_t OpenIssuingFiles();

// Runs start-up, the issuing run and the close-down; returns the exit code.
int RunProgram();

}  // namespace startup
