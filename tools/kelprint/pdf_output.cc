// PDF output through cairo.  The font is monospaced, so every character
// sits at its column by arithmetic: each code page 850 byte is mapped to its
// glyph once, and a line is drawn as one run of glyphs placed cell by cell,
// with its text attached so that the PDF's text can be searched and copied.
// (A text layout engine per line cost three times as much and placed the
// same cells.)  A QR code is one path, a line a run of dark modules in a
// row, sized in millimetres: the font's size has nothing to do with it.
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "outputs.h"
#include "platform/cp850.h"
#include "qr_code.h"

namespace kelprint {
namespace {

constexpr double kPageWidth = 595.28;  // A4 in points
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 36;
constexpr int kMinColumns = 80;
constexpr int kMinRows = 24;
constexpr double kProbeSize = 10;  // font size the cell is measured at
constexpr double kPointsPerMm = 72 / 25.4;

// The width a QR code's block takes: the code and its blank on both sides.
double BlockPoints(const QrRoom& room) {
  return (QrSideMm(room) + 2 * kBlankMm) * kPointsPerMm;
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
  std::FILE* out = static_cast<std::FILE*>(closure);
  return std::fwrite(data, 1, length, out) == length ? CAIRO_STATUS_SUCCESS
                                                     : CAIRO_STATUS_WRITE_ERROR;
}

// Character advances that scale exactly with the font size: hinted metrics
// would round each advance to a whole unit at small sizes and push long
// lines off the page.
void UseUnhintedMetrics(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

class PdfWriter : public PageWriter {
 public:
  PdfWriter(std::FILE* out, int columns, int rows, const std::vector<QrRoom>& qrRooms) : out_(out) {
    surface_ = cairo_pdf_surface_create_for_stream(WriteToStream, out, kPageWidth, kPageHeight);
    cr_ = cairo_create(surface_);
    UseUnhintedMetrics(cr_);
    cairo_select_font_face(cr_, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    // The cell at size 1: one character's advance, and one line's height
    // (box characters span it, so lines placed a cell apart join up).
    cairo_set_font_size(cr_, kProbeSize);
    cairo_text_extents_t text{};
    cairo_text_extents(cr_, "M", &text);
    cairo_font_extents_t font{};
    cairo_font_extents(cr_, &font);
    const double cellWidth = text.x_advance / kProbeSize;
    const double cellHeight = font.height / kProbeSize;
    columns = std::max(columns, kMinColumns);
    const double width = kPageWidth - 2 * kMargin;
    double size = std::min(width / (columns * cellWidth),
                           (kPageHeight - 2 * kMargin) / (std::max(rows, kMinRows) * cellHeight));
    for (const QrRoom& room : qrRooms) {
      // The columns that share the page's width with the code's block.
      const int beside = room.freeColumns == 0 ? room.column - 1
                         : room.column == 1    ? columns - room.freeColumns
                                               : 0;
      if (beside > 0) size = std::min(size, (width - BlockPoints(room)) / (beside * cellWidth));
    }
    cairo_set_font_size(cr_, size);
    advance_ = size * cellWidth;
    lineHeight_ = size * cellHeight;
    ascent_ = font.ascent / kProbeSize * size;
    textLeft_ = kMargin;
    for (const QrRoom& room : qrRooms) {
      if (room.column == 1 && room.freeColumns > 0) {
        textLeft_ = std::max(textLeft_, kMargin + BlockPoints(room) - room.freeColumns * advance_);
      }
    }
    MapGlyphs();
  }

  ~PdfWriter() override {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }

  void AddPage(const Page& page) override {
    for (size_t i = 0; i < page.lines.size(); ++i) {
      ShowLine(page.lines[i], textLeft_, Baseline(static_cast<int>(i)));
    }
    for (const QrCode& code : page.codes) DrawCode(code);
    cairo_show_page(cr_);
  }

  bool Finish(std::string* error) override {
    cairo_surface_finish(surface_);
    cairo_status_t status = cairo_surface_status(surface_);
    if (status != CAIRO_STATUS_SUCCESS) {
      *error = cairo_status_to_string(status);
      return false;
    }
    if (std::fflush(out_) != 0 || std::ferror(out_) != 0) {
      *error = std::strerror(errno != 0 ? errno : EIO);
      return false;
    }
    return true;
  }

 private:
  // The glyph and the UTF-8 text of every code page 850 byte; a byte the
  // font has no single glyph for is left out of the lines.
  void MapGlyphs() {
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr_);
    for (int b = 0; b < 256; ++b) {
      utf8_[b] = platform::Cp850ToUtf8(std::string(1, static_cast<char>(b)));
      cairo_glyph_t* glyphs = nullptr;
      int count = 0;
      if (cairo_scaled_font_text_to_glyphs(font, 0, 0, utf8_[b].c_str(),
                                           static_cast<int>(utf8_[b].size()), &glyphs, &count,
                                           nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
          count == 1 && glyphs[0].index != 0) {
        glyph_[b] = glyphs[0].index;
      }
      cairo_glyph_free(glyphs);
    }
  }

  double Baseline(int line) const { return kMargin + line * lineHeight_ + ascent_; }

  // The block of a code: the heading on its first line, the code below it in
  // its blank margin, the legend and the note on the lines after; the texts
  // centred on the code, as the agency prefers.
  void DrawCode(const QrCode& code) {
    const double blank = kBlankMm * kPointsPerMm;
    const double side = QrSideMm(code.room) * kPointsPerMm;
    const double left = code.room.column == 1 && code.room.freeColumns > 0
                            ? kMargin
                            : textLeft_ + (code.room.column - 1) * advance_;
    const double codeLeft = left + blank;
    const double codeTop = kMargin + (code.line + 1) * lineHeight_ + blank;
    const int codeLines = static_cast<int>(std::ceil((side + 2 * blank) / lineHeight_));
    const auto centred = [&](const std::string& text, int line) {
      const double x = codeLeft + (side - static_cast<double>(text.size()) * advance_) / 2;
      ShowLine(text, std::max(x, left), Baseline(line));
    };
    centred(kQrHeading, code.line);
    centred(kQrLegend, code.line + 1 + codeLines);
    centred(code.note, code.line + 2 + codeLines);
    if (const std::optional<QrMatrix> m = EncodeQr(code.text)) {
      DrawModules(*m, codeLeft, codeTop, side / m->width);
    }
  }

  // Each run of dark modules in a row is a line one module thick with butt
  // ends: two points a run where a rectangle takes four, and writing out
  // and compressing those points is most of what a code costs.
  void DrawModules(const QrMatrix& m, double left, double top, double module) {
    cairo_save(cr_);
    cairo_translate(cr_, left, top);
    cairo_scale(cr_, module, module);
    cairo_set_line_width(cr_, 1);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    for (int y = 0; y < m.width; ++y) {
      for (int x = 0; x < m.width;) {
        if (!m.Dark(x, y)) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < m.width && m.Dark(x, y)) ++x;
        cairo_move_to(cr_, start, y + 0.5);
        cairo_line_to(cr_, x, y + 0.5);
      }
    }
    cairo_stroke(cr_);
    cairo_restore(cr_);
  }

  void ShowLine(const std::string& line, double left, double baseline) {
    glyphs_.clear();
    clusters_.clear();
    text_.clear();
    for (size_t column = 0; column < line.size(); ++column) {
      const auto b = static_cast<unsigned char>(line[column]);
      if (b == ' ' || glyph_[b] == 0) continue;
      glyphs_.push_back({glyph_[b], left + static_cast<double>(column) * advance_, baseline});
      clusters_.push_back({static_cast<int>(utf8_[b].size()), 1});
      text_ += utf8_[b];
    }
    if (glyphs_.empty()) return;
    cairo_show_text_glyphs(cr_, text_.c_str(), static_cast<int>(text_.size()), glyphs_.data(),
                           static_cast<int>(glyphs_.size()), clusters_.data(),
                           static_cast<int>(clusters_.size()), cairo_text_cluster_flags_t{});
  }

  std::FILE* out_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
  double advance_ = 0;
  double lineHeight_ = 0;
  double ascent_ = 0;
  double textLeft_ = 0;  // column 1's left edge
  std::array<unsigned long, 256> glyph_{};
  std::array<std::string, 256> utf8_;
  // Reused from line to line.
  std::vector<cairo_glyph_t> glyphs_;
  std::vector<cairo_text_cluster_t> clusters_;
  std::string text_;
};

}  // namespace

std::unique_ptr<PageWriter> MakePdfWriter(std::FILE* out, int columns, int rows,
                                          const std::vector<QrRoom>& qrRooms) {
  return std::make_unique<PdfWriter>(out, columns, rows, qrRooms);
}

}  // namespace kelprint
