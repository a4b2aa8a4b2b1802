// ESC/P bands of a QR code and the text lines between them.
#include "escp_qr.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace kelprint {
namespace {

constexpr double kMmPerInch = 25.4;
// The smallest module a reader makes out on paper.
constexpr double kMinModuleMm = 0.5;

int Dots(double mm, int dpi) {
  return static_cast<int>(std::ceil(mm / kMmPerInch * dpi));
}

// ESC J n moves the paper n units, at most 255 at a time.
void Feed(std::string& out, int units) {
  for (; units > 0; units -= 255) {
    out += "\x1bJ";
    out += static_cast<char>(std::min(units, 255));
  }
}

}  // namespace

EscpCode::EscpCode(const QrCode& code, const QrMatrix& matrix, int pins)
    : code_(code), matrix_(matrix), pins_(pins == 9 ? 8 : 24) {
  dpi_ = pins == 9 ? 72 : 180;
  unitsPerDot_ = pins == 9 ? 3 : 1;
  unitsPerLine_ = pins == 9 ? 36 : 30;
  blankDots_ = Dots(kBlankMm, dpi_);
  // Every module takes the same whole number of dots, as near the side
  // asked for as makes the code at least the smallest side and its modules
  // large enough to read.
  const int wanted = static_cast<int>(std::lround(QrSideMm(code.room) / kMmPerInch * dpi_));
  const int w = matrix.width;
  sideDots_ = w * std::max({(wanted + w / 2) / w, (Dots(kQrMinMm, dpi_) + w - 1) / w,
                            Dots(kMinModuleMm, dpi_)});
  const int blockUnits = (sideDots_ + 2 * blankDots_) * unitsPerDot_;
  lines_ = (blockUnits + unitsPerLine_ - 1) / unitsPerLine_;
}

std::string EscpCode::Band(int band) const {
  const int columns = blankDots_ + sideDots_;
  std::string out(static_cast<size_t>(code_.room.column - 1), ' ');
  out += "\x1b*";
  out += static_cast<char>(pins_ == 24 ? 39 : 5);
  out += static_cast<char>(columns & 0xFF);
  out += static_cast<char>(columns >> 8);
  const int bytes = pins_ / 8;
  for (int x = 0; x < columns; ++x) {
    const int moduleX = (x - blankDots_) * matrix_.width / sideDots_;
    for (int b = 0; b < bytes; ++b) {
      unsigned char bits = 0;
      for (int pin = 0; pin < 8; ++pin) {
        const int y = band * pins_ + b * 8 + pin;  // dots down from the code's top
        const bool dark = x >= blankDots_ && y < sideDots_ &&
                          matrix_.Dark(moduleX, y * matrix_.width / sideDots_);
        if (dark) bits |= static_cast<unsigned char>(0x80 >> pin);
      }
      out += static_cast<char>(bits);
    }
  }
  return out + '\r';
}

std::string EscpCode::Bytes(const std::vector<std::string>& texts) const {
  // What goes down the paper, by its height in ESC J units from the top of
  // the block's first line: the text lines, then the bands of the code,
  // which starts below its blank.
  std::vector<std::tuple<int, int, int>> items;  // height, 0 text / 1 band, index
  for (int line = 0; line < lines_; ++line) items.emplace_back(line * unitsPerLine_, 0, line);
  const int bands = (sideDots_ + pins_ - 1) / pins_;
  for (int band = 0; band < bands; ++band) {
    items.emplace_back((blankDots_ + band * pins_) * unitsPerDot_, 1, band);
  }
  std::sort(items.begin(), items.end());
  std::string out;
  int at = 0;
  for (const auto& [height, kind, index] : items) {
    Feed(out, height - at);
    at = height;
    out += kind == 0 ? texts[static_cast<size_t>(index)] + '\r' : Band(index);
  }
  Feed(out, lines_ * unitsPerLine_ - at);
  return out;
}

}  // namespace kelprint
