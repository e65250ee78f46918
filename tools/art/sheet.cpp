#include "sheet.h"

#include <cairo.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace quorvel::art {
namespace {

struct SurfaceDestroy {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDestroy {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroy>;

constexpr int kCell = 96;     // the largest picture
constexpr int kZoomed = 192;  // pictures are enlarged 4x, or less where that would pass this
constexpr int kZoom = 4;
constexpr int kPad = 10;
constexpr int kLabel = 22;
constexpr int kPanelW = kPad + kCell + kPad + kZoomed + kPad;
constexpr int kPanelH = kPad + kZoomed + kPad;
constexpr int kTileW = 2 * kPanelW + kPad;
constexpr int kTileH = kLabel + kPanelH + kPad;
constexpr int kColumns = 2;
constexpr int kTitle = 40;

Surface ToSurface(const Picture& picture) {
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height));
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba p = picture.at(x, y);
      auto pre = [&](uint8_t c) { return static_cast<uint32_t>((c * p.a + 127) / 255); };
      row[x] = (static_cast<uint32_t>(p.a) << 24) | (pre(p.r) << 16) | (pre(p.g) << 8) | pre(p.b);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void DrawPicture(cairo_t* cr, cairo_surface_t* picture, double x, double y, int zoom) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, zoom, zoom);
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void DrawPanel(cairo_t* cr, cairo_surface_t* picture, double x, double y, double shade) {
  cairo_set_source_rgb(cr, shade, shade, shade);
  cairo_rectangle(cr, x, y, kPanelW, kPanelH);
  cairo_fill(cr);
  DrawPicture(cr, picture, x + kPad, y + kPad, 1);
  const int size = cairo_image_surface_get_width(picture);
  DrawPicture(cr, picture, x + kPad + kCell + kPad, y + kPad, std::min(kZoom, kZoomed / size));
}

}  // namespace

void WriteContactSheet(const std::string& path, const std::vector<SheetEntry>& entries) {
  const int rows = static_cast<int>((entries.size() + kColumns - 1) / kColumns);
  const int width = kPad + kColumns * (kTileW + kPad);
  const int height = kTitle + rows * kTileH + kPad;
  Surface sheet(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  {
    std::unique_ptr<cairo_t, CairoDestroy> owner(cairo_create(sheet.get()));
    cairo_t* cr = owner.get();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 18);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, kPad, 28);
    cairo_show_text(
        cr, "Quorvel artwork: 1x and enlarged (4x, 3x at 64 px, 2x at 96 px), on light and dark");

    cairo_set_font_size(cr, 13);
    for (size_t i = 0; i < entries.size(); ++i) {
      const double x = kPad + static_cast<double>(i % kColumns) * (kTileW + kPad);
      const double y = kTitle + static_cast<double>(i / kColumns) * kTileH;
      cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
      cairo_move_to(cr, x, y + 15);
      cairo_show_text(cr, entries[i].label.c_str());
      Surface picture = ToSurface(entries[i].picture);
      DrawPanel(cr, picture.get(), x, y + kLabel, 0.93);
      DrawPanel(cr, picture.get(), x + kPanelW + kPad, y + kLabel, 0.16);
    }
  }
  if (cairo_surface_write_to_png(sheet.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error(path + ": cannot write");
  }
}

}  // namespace quorvel::art
