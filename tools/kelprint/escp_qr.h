// A QR code as ESC/P bit images, for a continuous-form printer.
//
// The code is drawn in bands of the head's height (ESC *: 24 dots at 180
// dpi, mode 39, on a 24-pin printer; 8 dots at 72 dpi, mode 5, on a 9-pin
// one), every module the same whole number of dots, starting at its
// column by spaces, so that it lines up with the text
// at any character pitch.  The text lines beside it are printed between the
// bands, each at its own height: the paper is moved by ESC J (n/180 inch on
// 24 pins, n/216 on 9), which leaves the printer's line spacing as it was,
// and the block ends at the top of the line after it, where the line feeds
// of its lines at 6 lines an inch (the forms' spacing) would have left it.
#pragma once

#include <string>
#include <vector>

#include "qr_code.h"

namespace kelprint {

class EscpCode {
 public:
  // The code of `code` for a head of `pins` pins (9 or 24).
  EscpCode(const QrCode& code, const QrMatrix& matrix, int pins);

  // The text lines the code and its blank cover, under its heading.
  int Lines() const { return lines_; }

  // The bytes of the block: texts[j] (the bytes of the j-th line it covers,
  // Lines() of them, without a line end) and the bands in order down the
  // paper, each ended by a carriage return, then the paper moved to the
  // line after the block.
  std::string Bytes(const std::vector<std::string>& texts) const;

 private:
  std::string Band(int band) const;

  const QrCode& code_;
  const QrMatrix& matrix_;
  int pins_;
  int dpi_;
  int unitsPerDot_;   // ESC J units a dot takes
  int unitsPerLine_;  // ESC J units a 1/6 inch line takes
  int blankDots_;
  int sideDots_;
  int lines_;
};

}  // namespace kelprint
