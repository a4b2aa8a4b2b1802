// PDF output through cairo and pango.
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

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

}  // namespace

bool WritePdf(const Document& doc, const std::string& path, std::string* error) {
  cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kPageWidth, kPageHeight);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    *error = "cannot create " + path + ": " + cairo_status_to_string(cairo_surface_status(surface));
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Mono");
  const int columns = std::max(DocumentColumns(doc), kMinColumns);
  const int rows = std::max(DocumentRows(doc), kMinRows);
  PangoContext* context = UnhintedContext(cr);
  const Cell cell = MeasureCell(context, font);
  const double byWidth = (kPageWidth - 2 * kMargin) / (columns * cell.width);
  const double byHeight = (kPageHeight - 2 * kMargin) / (rows * cell.height);
  const double size = std::min(byWidth, byHeight);
  pango_font_description_set_size(font, static_cast<int>(size * PANGO_SCALE));
  const double lineHeight = size * cell.height;

  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  for (const Page& page : doc.pages) {
    for (size_t i = 0; i < page.lines.size(); ++i) {
      std::string utf8 = platform::Cp850ToUtf8(page.lines[i]);
      pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
      cairo_move_to(cr, kMargin, kMargin + static_cast<double>(i) * lineHeight);
      pango_cairo_show_layout(cr, layout);
    }
    cairo_show_page(cr);
  }
  g_object_unref(layout);
  g_object_unref(context);
  pango_font_description_free(font);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = "cannot write " + path + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

}  // namespace kelprint
