// The tax agency's QR code on a page: its modules (libqrencode, error
// correction level M, 8-bit) and the block every writer draws it in.
//
// A block, from its first line down: the heading "QR tributario:", the code
// inside a blank margin of kBlankMm on every side, then the legend
// "VERI*FACTU" and, when the spool gives one, the note (the invoice total).
// The legends are text in the page's own font.  The code is 30 to 40 mm a
// side on paper whatever the page's font: the PDF draws it as vectors, a
// continuous-form printer as bit-image graphics, and the text outputs (text
// file, preview) show its text instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spool_layout.h"

namespace kelprint {

inline constexpr char kQrHeading[] = "QR tributario:";
inline constexpr char kQrLegend[] = "VERI*FACTU";
// The code's side on paper, whatever the spool asks for.
inline constexpr int kQrMinMm = 30;
inline constexpr int kQrMaxMm = 40;
// Blank around the code: more than the 2 mm the agency asks for, and about
// the four modules the QR standard asks for at these sizes.
inline constexpr double kBlankMm = 3;

// The side the spool asks for, within kQrMinMm..kQrMaxMm.
int QrSideMm(const QrRoom& room);

// Modules of a code, width x width, row by row.
struct QrMatrix {
  int width = 0;
  std::vector<unsigned char> dark;
  bool Dark(int x, int y) const { return dark[static_cast<size_t>(y * width + x)] != 0; }
};

// The code of `text`; none when the text is empty or too long for a code.
std::optional<QrMatrix> EncodeQr(const std::string& text);

// Writes text into the lines at a 1-based column, adding lines and cells as
// needed; later texts overwrite earlier cells, as on a laid-out page.
void PutCells(std::vector<std::string>& lines, int line, int column, std::string_view text);

// The heading on the block's first line, and the legend and note on the
// lines after `codeLines` lines of code.
void PutQrLegends(std::vector<std::string>& lines, const QrCode& code, int codeLines);

// For the outputs that have no graphics: each code of the page as its
// block in text, the code's text in its place, cut to the room's free
// columns a line.
void PutQrTexts(Page& page);

}  // namespace kelprint
