// Writers of a laid-out spool: PDF (cairo and pango, DejaVu Sans Mono) and
// plain UTF-8 text.  Both return false with a message in *error when the
// file cannot be written.
#pragma once

#include <string>

#include "spool_layout.h"

namespace kelprint {

// One PDF page per spool page, A4 portrait, the monospaced font sized so the
// widest line and the longest page of the document fit.
bool WritePdf(const Document& doc, const std::string& path, std::string* error);

// Pages as UTF-8 lines without trailing spaces, a form feed between pages.
bool WriteText(const Document& doc, const std::string& path, std::string* error);

}  // namespace kelprint
