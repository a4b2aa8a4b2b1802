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
constexpr double kLineSpacing = 1.2;   // line height / font size
constexpr int kMinColumns = 80;
constexpr int kMinRows = 24;

// Advance of one monospaced character at 1 pt.
double CharacterAdvance(cairo_t* cr, PangoFontDescription* font) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, "MMMMMMMMMM", -1);
  int width = 0, height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  double size = pango_font_description_get_size(font) / double(PANGO_SCALE);
  return width / double(PANGO_SCALE) / 10.0 / size;
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
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Mono 10");
  const int columns = std::max(DocumentColumns(doc), kMinColumns);
  const int rows = std::max(DocumentRows(doc), kMinRows);
  const double byWidth = (kPageWidth - 2 * kMargin) / (columns * CharacterAdvance(cr, font));
  const double byHeight = (kPageHeight - 2 * kMargin) / (rows * kLineSpacing);
  const double size = std::min(byWidth, byHeight);
  pango_font_description_set_size(font, static_cast<int>(size * PANGO_SCALE));

  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout, font);
  for (const Page& page : doc.pages) {
    for (size_t i = 0; i < page.lines.size(); ++i) {
      std::string utf8 = platform::Cp850ToUtf8(page.lines[i]);
      pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
      cairo_move_to(cr, kMargin, kMargin + static_cast<double>(i) * size * kLineSpacing);
      pango_cairo_show_layout(cr, layout);
    }
    cairo_show_page(cr);
  }
  g_object_unref(layout);
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
