#include "raster.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <memory>
#include <stdexcept>

namespace quorvel::art {
namespace {

struct GObjectUnref {
  void operator()(gpointer p) const { g_object_unref(p); }
};
struct SurfaceDestroy {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDestroy {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

std::string TakeError(GError* error) {
  std::string text = error ? error->message : "unknown error";
  if (error) g_error_free(error);
  return text;
}

}  // namespace

Picture RenderSvg(const std::string& path, int size, const std::string& css) {
  GError* error = nullptr;
  std::unique_ptr<RsvgHandle, GObjectUnref> handle(rsvg_handle_new_from_file(path.c_str(), &error));
  if (!handle) throw std::runtime_error(path + ": " + TakeError(error));
  if (!css.empty() &&
      !rsvg_handle_set_stylesheet(handle.get(), reinterpret_cast<const guint8*>(css.data()),
                                  css.size(), &error)) {
    throw std::runtime_error(path + ": style sheet: " + TakeError(error));
  }

  std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
  {
    std::unique_ptr<cairo_t, CairoDestroy> cr(cairo_create(surface.get()));
    const RsvgRectangle viewport{0, 0, static_cast<double>(size), static_cast<double>(size)};
    if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error)) {
      throw std::runtime_error(path + ": " + TakeError(error));
    }
  }
  cairo_surface_flush(surface.get());

  // Cairo keeps premultiplied native-endian ARGB; the writers want straight RGBA.
  Picture picture(size, size);
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < size; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < size; ++x) {
      const uint32_t p = row[x];
      const int a = p >> 24;
      auto unpremultiply = [a](uint32_t c) {
        return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a);
      };
      picture.at(x, y) = {unpremultiply((p >> 16) & 0xFF), unpremultiply((p >> 8) & 0xFF),
                          unpremultiply(p & 0xFF), static_cast<uint8_t>(a)};
    }
  }
  return picture;
}

}  // namespace quorvel::art
