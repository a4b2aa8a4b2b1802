// The program's main flow: start-up in a fixed order, the issuing run, and
// the close-down.
//
// Start-up order (each step uses what the earlier ones left):
//   1. company data, then the session and terminal settings
//   2. the installation root (RootDir, when set) becomes the current directory
//   3. program name and customer variant
//   4. the screen-form file and the presets of the selection screen
//   5. the six record files, opened under their file identifiers, with the
//      concept-type names copied into the labels of the concept switches
//   6. the receipt settings of Tora.ini
// Then the issuing run (interactive, or one unattended cycle in batch mode).
// Close-down: the record files are released together, exit code 0.  A start
// that cannot go on ends with a non-zero exit code.
#pragma once

#include <cstdint>
#include <string>

#include "config/program_identity.h"
#include "issuing/batch.h"

namespace app {

inline constexpr int kStartFailureExitCode = 1;

struct RunOptions {
  bool batch = false;               // one cycle with the presets, no screens
  issuing::BatchOptions selection;  // batch: overrides of the presets
  int lockWaitSeconds = 60;         // batch: the most a held record file is waited for
};

// Steps 1 to 3.
void LoadConfiguration();

// Step 4.  False when the form file cannot be read (the program cannot go on).
bool LoadScreenForms();

// Step 5: RootDir followed by "DADES\TVRebut" (503), "DADES\TRemeses" (502),
// "DADES\PropietV" (505), "DADES\FinquesV" (506), "DADES\DepartaV" (507) and
// "DADES\CobramV" (509), each bound to its record area of office::Areas().
// A file that cannot be opened ends the program; the status of the first
// failure comes back only when that end is replaced.
std::int16_t OpenIssuingFiles();

// The names of concept types 1 to 10 over the labels of screen 1's fields 16
// to 25, from the label's sixth character on, the label's length kept.
void LoadConceptLabels();

// Runs start-up, the issuing run and the close-down; returns the exit code.
int RunProgram(const RunOptions& options = {});

}  // namespace app
