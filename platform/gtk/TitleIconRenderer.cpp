#include "platform/gtk/TitleIconRenderer.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/foundation/GLibPtr.h"

namespace {

struct SurfaceDestroy {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDestroy {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct FontDescriptionFree {
  void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};

// " 45 °C" → {"45", "°C"}; a title without a space is all number.
std::pair<std::string, std::string> splitTitle(std::string_view title) {
  while (!title.empty() && title.front() == ' ') title.remove_prefix(1);
  const std::size_t space = title.rfind(' ');
  if (space == std::string_view::npos) return {std::string(title), ""};
  return {std::string(title.substr(0, space)), std::string(title.substr(space + 1))};
}

// Draws `text` as large as it fits, centred in the box, by its inked outline.
void drawFitted(cairo_t* cr, const std::string& text, const char* font, double x, double y,
                double width, double height) {
  if (text.empty()) return;
  GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(cr));
  std::unique_ptr<PangoFontDescription, FontDescriptionFree> description(
      pango_font_description_from_string(font));
  pango_font_description_set_absolute_size(description.get(), 100.0 * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), description.get());
  pango_layout_set_text(layout.get(), text.c_str(), -1);
  PangoRectangle ink;
  pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
  if (ink.width <= 0 || ink.height <= 0) return;

  const double scale = std::min(width / ink.width, height / ink.height);
  cairo_save(cr);
  cairo_translate(cr, x + (width - ink.width * scale) / 2, y + (height - ink.height * scale) / 2);
  cairo_scale(cr, scale, scale);
  cairo_translate(cr, -ink.x, -ink.y);
  pango_cairo_update_layout(cr, layout.get());
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
}

void drawBadge(cairo_t* cr, double size) {
  const double radius = size * 0.18;
  cairo_new_sub_path(cr);
  cairo_arc(cr, size - radius, radius, radius, -G_PI / 2, 0);
  cairo_arc(cr, size - radius, size - radius, radius, 0, G_PI / 2);
  cairo_arc(cr, radius, size - radius, radius, G_PI / 2, G_PI);
  cairo_arc(cr, radius, radius, radius, G_PI, 3 * G_PI / 2);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.16, 0.17, 0.18, 0.92);
  cairo_fill(cr);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string renderTitleIconPng(const std::string& title, int sizePixels) {
  std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sizePixels, sizePixels));
  std::unique_ptr<cairo_t, ContextDestroy> cr(cairo_create(surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return {};

  const double size = sizePixels;
  const double margin = size * 0.08;
  const double inner = size - 2 * margin;
  drawBadge(cr.get(), size);
  cairo_set_source_rgb(cr.get(), 1.0, 1.0, 1.0);
  const auto [number, unit] = splitTitle(title);
  if (unit.empty()) {
    drawFitted(cr.get(), number, "Sans Bold", margin, margin, inner, inner);
  } else {
    drawFitted(cr.get(), number, "Sans Bold", margin, margin, inner, inner * 0.58);
    drawFitted(cr.get(), unit, "Sans", margin, margin + inner * 0.66, inner, inner * 0.34);
  }
  cairo_surface_flush(surface.get());

  std::string png;
  if (cairo_surface_write_to_png_stream(surface.get(), appendBytes, &png) != CAIRO_STATUS_SUCCESS) {
    return {};
  }
  return png;
}
