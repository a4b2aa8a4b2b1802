// Writers of laid-out pages, one page at a time, to an open stream: PDF
// (cairo and pango, DejaVu Sans Mono), plain UTF-8 text, and the raw bytes
// of a continuous-form printer.  None of them holds more than the page it is
// given.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "printer_commands.h"
#include "spool_layout.h"

namespace kelprint {

class PageWriter {
 public:
  virtual ~PageWriter() = default;
  virtual void AddPage(const Page& page) = 0;
  // Ends the document and flushes it to the stream (which stays open).
  // False with the cause in *error when anything could not be written.
  virtual bool Finish(std::string* error) = 0;
};

// One A4 portrait page per spool page, the monospaced font sized so that
// `columns` columns and `rows` lines (the document's widest line and longest
// page) fit, and so do the QR codes in their rooms: a code whose room goes
// to the line's end is given the width it needs right of its column; one
// whose room at column 1 is narrower than it needs takes the page's left
// margin and moves the text right.  Codes are drawn as vectors.
std::unique_ptr<PageWriter> MakePdfWriter(std::FILE* out, int columns, int rows,
                                          const std::vector<QrRoom>& qrRooms = {});

// Pages as UTF-8 lines without trailing spaces, a form feed between pages;
// a QR code as its text (qr_code.h).
std::unique_ptr<PageWriter> MakeTextWriter(std::FILE* out);

// Pages as code page 850 lines without trailing spaces, ended by CR LF, with
// the bytes of each printer command (translated by `commands`) sent at the
// start of the line it came before, and every page, the last included,
// ended by a form feed.  QR codes are bit images in ESC/P for the printer's
// pins (PrinterCommands::Pins), drawn band by band between the text lines
// they lie beside.
std::unique_ptr<PageWriter> MakeRawWriter(std::FILE* out, PrinterCommands commands);

}  // namespace kelprint
