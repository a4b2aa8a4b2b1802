// QR codes through libqrencode, and their blocks as text.
#include "qr_code.h"

#include <qrencode.h>

#include <algorithm>

namespace kelprint {

int QrSideMm(const QrRoom& room) {
  return std::clamp(room.sizeMm, kQrMinMm, kQrMaxMm);
}

std::optional<QrMatrix> EncodeQr(const std::string& text) {
  if (text.empty()) return std::nullopt;
  // Version 0: the smallest that holds the text.
  QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (code == nullptr) return std::nullopt;
  QrMatrix m;
  m.width = code->width;
  const size_t modules = static_cast<size_t>(code->width) * static_cast<size_t>(code->width);
  m.dark.resize(modules);
  // Bit 0 of each byte is the module's colour; the others say what it is.
  for (size_t i = 0; i < modules; ++i) m.dark[i] = code->data[i] & 1;
  QRcode_free(code);
  return m;
}

void PutCells(std::vector<std::string>& lines, int line, int column, std::string_view text) {
  if (text.empty() || line < 0 || column < 1) return;
  if (static_cast<int>(lines.size()) <= line) lines.resize(static_cast<size_t>(line) + 1);
  std::string& l = lines[static_cast<size_t>(line)];
  const size_t end = static_cast<size_t>(column - 1) + text.size();
  if (l.size() < end) l.resize(end, ' ');
  std::copy(text.begin(), text.end(), l.begin() + (column - 1));
}

void PutQrLegends(std::vector<std::string>& lines, const QrCode& code, int codeLines) {
  PutCells(lines, code.line, code.room.column, kQrHeading);
  PutCells(lines, code.line + 1 + codeLines, code.room.column, kQrLegend);
  PutCells(lines, code.line + 2 + codeLines, code.room.column, code.note);
}

void PutQrTexts(Page& page) {
  for (const QrCode& code : page.codes) {
    const size_t width =
        code.room.freeColumns > 0 ? static_cast<size_t>(code.room.freeColumns) : code.text.size();
    int codeLines = 0;
    for (size_t at = 0; at < code.text.size(); at += width, ++codeLines) {
      PutCells(page.lines, code.line + 1 + codeLines, code.room.column,
               std::string_view(code.text).substr(at, width));
    }
    PutQrLegends(page.lines, code, codeLines);
  }
}

}  // namespace kelprint
