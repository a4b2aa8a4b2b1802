// Prints a surveyed spool to a destination: renders its pages one at a time
// and hands them to a file, a device or the CUPS scheduler.  Files appear
// under their final name only when complete; a job is created only for a
// complete document.  What happened is put in words in the session
// language, for the caller to show.
#pragma once

#include <string>

#include "destination.h"
#include "spool_layout.h"

namespace kelprint {

// KELPRINT's exit codes.
enum ExitCode {
  kPrintedOk = 0,       // printed, written, previewed, or nothing to print
  kSpoolProblem = 1,    // the spool cannot be read, holds a line that is no record or lacks its end
  kBadOptions = 2,      // the command line is wrong
  kPrinterProblem = 3,  // unknown destination, no scheduler, job refused
  kOutputProblem = 4,   // a file or device cannot be written
};

struct PrintOutcome {
  ExitCode code = kPrintedOk;
  std::string message;  // code page 850
};

// Prints to any destination but the preview.
PrintOutcome PrintSpool(const std::string& spoolPath, const SpoolSurvey& survey,
                        const Destination& destination);

}  // namespace kelprint
