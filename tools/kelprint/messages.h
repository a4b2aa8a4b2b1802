// KELPRINT's words in the session language (ToraTerm.ini [Sistema] Idioma,
// else Tora.ini [Usuari] Idioma: CAT, SPA, GLG or OCI; Catalan otherwise).
// Texts are code page 850; %1, %2 and %3 stand for the arguments.
#pragma once

#include <initializer_list>
#include <string>

namespace kelprint {

enum class Words {
  kSpoolUnreadable,     // %1 spool path
  kSpoolIncomplete,     // %1 spool path
  kBadLine,             // %1 line number, %2 the line
  kUnknownDestination,  // %1 destination
  kNoScheduler,         // %1 destination, %2 cause
  kDefaultDestination,  // the name of the CUPS default destination in messages
  kJobRefused,          // %1 destination, %2 cause
  kCannotWrite,         // %1 path or device, %2 cause
  kNothingToPrint,
  kWritten,      // %1 pages, %2 file
  kPrinted,      // %1 pages, %2 destination, %3 job id
  kJobTitle,     // %1 date, %2 receipts
  kPdfFile,      // the preview's choice of a PDF file
  kPreviewKeys,  // the preview's bottom line
  kPageOf,       // %1 page, %2 pages
  kGoToPage,
  kPrintTo,
  kNoTerminal,
};

std::string Say(Words words, std::initializer_list<std::string> args = {});

// Writes a message to standard error (true) or output, as UTF-8, with a
// final line end.
void Tell(bool problem, const std::string& cp850);

}  // namespace kelprint
