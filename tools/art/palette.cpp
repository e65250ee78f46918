#include "palette.h"

#include <libimagequant.h>

#include <limits>
#include <memory>
#include <stdexcept>

namespace quorvel::art {
namespace {

struct LiqAttrFree {
  void operator()(liq_attr* p) const { liq_attr_destroy(p); }
};
struct LiqImageFree {
  void operator()(liq_image* p) const { liq_image_destroy(p); }
};
struct LiqResultFree {
  void operator()(liq_result* p) const { liq_result_destroy(p); }
};

int Distance(Rgba a, Rgba b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

int NearestOpaque(const std::vector<Rgba>& palette, int skip, Rgba colour) {
  int best = -1, best_distance = std::numeric_limits<int>::max();
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    if (i == skip) continue;
    const int d = Distance(palette[i], colour);
    if (d < best_distance) best = i, best_distance = d;
  }
  return best;
}

}  // namespace

Indexed Quantize(const Picture& picture, int colours, float dithering) {
  std::unique_ptr<liq_attr, LiqAttrFree> attr(liq_attr_create());
  liq_set_max_colors(attr.get(), colours);
  liq_set_quality(attr.get(), 0, 100);
  liq_set_speed(attr.get(), 1);

  std::unique_ptr<liq_image, LiqImageFree> image(
      liq_image_create_rgba(attr.get(), picture.pixels.data(), picture.width, picture.height, 0));
  liq_result* raw_result = nullptr;
  if (!image || liq_image_quantize(image.get(), attr.get(), &raw_result) != LIQ_OK) {
    throw std::runtime_error("the quantiser failed");
  }
  std::unique_ptr<liq_result, LiqResultFree> result(raw_result);
  liq_set_dithering_level(result.get(), dithering);

  Indexed out;
  out.width = picture.width;
  out.height = picture.height;
  out.indices.resize(picture.pixels.size());
  liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size());
  const liq_palette* palette = liq_get_palette(result.get());
  for (unsigned i = 0; i < palette->count; ++i) {
    const liq_color c = palette->entries[i];
    out.palette.push_back({c.r, c.g, c.b, c.a});
    if (c.a < 128 && out.transparent < 0) out.transparent = static_cast<int>(i);
  }
  if (out.transparent < 0) {
    out.transparent = static_cast<int>(out.palette.size());
    out.palette.push_back({0, 0, 0, 0});
  }
  if (static_cast<int>(out.palette.size()) > colours) {
    throw std::runtime_error("the quantiser gave too many colours");
  }
  out.palette.resize(colours, Rgba{0, 0, 0, 255});

  // Clear pixels take the one clear entry; opaque pixels never do.
  for (size_t i = 0; i < out.indices.size(); ++i) {
    const Rgba pixel = picture.pixels[i];
    if (pixel.a < 128) {
      out.indices[i] = static_cast<uint8_t>(out.transparent);
    } else if (out.indices[i] == out.transparent || out.palette[out.indices[i]].a < 128) {
      out.indices[i] = static_cast<uint8_t>(NearestOpaque(out.palette, out.transparent, pixel));
    }
  }
  for (Rgba& entry : out.palette) entry.a = 255;
  return out;
}

const std::array<Rgba, 16>& SystemColours() {
  static const std::array<Rgba, 16> kColours = {{
      {0x00, 0x00, 0x00, 255},
      {0x80, 0x00, 0x00, 255},
      {0x00, 0x80, 0x00, 255},
      {0x80, 0x80, 0x00, 255},
      {0x00, 0x00, 0x80, 255},
      {0x80, 0x00, 0x80, 255},
      {0x00, 0x80, 0x80, 255},
      {0xC0, 0xC0, 0xC0, 255},
      {0x80, 0x80, 0x80, 255},
      {0xFF, 0x00, 0x00, 255},
      {0x00, 0xFF, 0x00, 255},
      {0xFF, 0xFF, 0x00, 255},
      {0x00, 0x00, 0xFF, 255},
      {0xFF, 0x00, 0xFF, 255},
      {0x00, 0xFF, 0xFF, 255},
      {0xFF, 0xFF, 0xFF, 255},
  }};
  return kColours;
}

int NearestSystemColour(Rgba colour) {
  const auto& table = SystemColours();
  return NearestOpaque(std::vector<Rgba>(table.begin(), table.end()), -1, colour);
}

}  // namespace quorvel::art
