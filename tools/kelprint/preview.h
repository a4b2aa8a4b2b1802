// The preview: the spool's pages on the screen, full-screen in the look of
// QANTIRES (its console layer, colours and double frame), one page laid out
// at a time.  Arrows scroll by a line and across the page, Page Up/Down go
// to the previous and next page, Home/End to the first and last, G asks for
// a page number, P prints the whole printout to a destination chosen from
// the CUPS destinations and a PDF file (kelprint.pdf in the session folder),
// Escape ends the preview.
#pragma once

#include <string>

#include "print_run.h"
#include "spool_layout.h"

namespace kelprint {

// Needs a terminal; returns kOutputProblem without one, else the code of
// the last print made from the preview (kPrintedOk when none).
ExitCode RunPreview(const std::string& spoolPath);

}  // namespace kelprint
