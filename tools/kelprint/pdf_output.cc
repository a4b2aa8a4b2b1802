// PDF output through cairo and pango.
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "outputs.h"
#include "platform/cp850.h"

namespace kelprint {
namespace {

constexpr double kPageWidth = 595.28;  // A4 in points
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 36;
constexpr int kMinColumns = 80;
constexpr int kMinRows = 24;
constexpr double kProbeSize = 10;  // font size the cell is measured at

// The cell of the monospaced font at size 1: the advance of one character
// and the height of one line (box characters span it, so lines placed one
// cell apart join up).
struct Cell {
  double width;
  double height;
};

Cell MeasureCell(PangoContext* context, PangoFontDescription* font) {
  pango_font_description_set_size(font, static_cast<int>(kProbeSize * PANGO_SCALE));
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, "MMMMMMMMMM", -1);
  int width = 0, height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  return {width / double(PANGO_SCALE) / 10.0 / kProbeSize,
          height / double(PANGO_SCALE) / kProbeSize};
}

// A text context whose character advances scale exactly with the font size:
// hinted metrics and rounded glyph positions would round each advance up to
// a whole unit at small sizes and push long lines off the page.
PangoContext* UnhintedContext(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  PangoContext* context = pango_cairo_create_context(cr);
  pango_cairo_context_set_font_options(context, options);
  pango_context_set_round_glyph_positions(context, FALSE);
  cairo_font_options_destroy(options);
  return context;
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
  std::FILE* out = static_cast<std::FILE*>(closure);
  return std::fwrite(data, 1, length, out) == length ? CAIRO_STATUS_SUCCESS
                                                     : CAIRO_STATUS_WRITE_ERROR;
}

class PdfWriter : public PageWriter {
 public:
  PdfWriter(std::FILE* out, int columns, int rows) : out_(out) {
    surface_ = cairo_pdf_surface_create_for_stream(WriteToStream, out, kPageWidth, kPageHeight);
    cr_ = cairo_create(surface_);
    font_ = pango_font_description_from_string("DejaVu Sans Mono");
    context_ = UnhintedContext(cr_);
    const Cell cell = MeasureCell(context_, font_);
    const double byWidth =
        (kPageWidth - 2 * kMargin) / (std::max(columns, kMinColumns) * cell.width);
    const double byHeight = (kPageHeight - 2 * kMargin) / (std::max(rows, kMinRows) * cell.height);
    const double size = std::min(byWidth, byHeight);
    pango_font_description_set_size(font_, static_cast<int>(size * PANGO_SCALE));
    lineHeight_ = size * cell.height;
    layout_ = pango_layout_new(context_);
    pango_layout_set_font_description(layout_, font_);
  }

  ~PdfWriter() override {
    g_object_unref(layout_);
    g_object_unref(context_);
    pango_font_description_free(font_);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }

  void AddPage(const Page& page) override {
    for (size_t i = 0; i < page.lines.size(); ++i) {
      std::string utf8 = platform::Cp850ToUtf8(page.lines[i]);
      pango_layout_set_text(layout_, utf8.c_str(), static_cast<int>(utf8.size()));
      cairo_move_to(cr_, kMargin, kMargin + static_cast<double>(i) * lineHeight_);
      pango_cairo_show_layout(cr_, layout_);
    }
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
  std::FILE* out_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
  PangoFontDescription* font_;
  PangoContext* context_;
  PangoLayout* layout_;
  double lineHeight_ = 0;
};

}  // namespace

std::unique_ptr<PageWriter> MakePdfWriter(std::FILE* out, int columns, int rows) {
  return std::make_unique<PdfWriter>(out, columns, rows);
}

}  // namespace kelprint
