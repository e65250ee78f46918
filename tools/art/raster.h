// Straight-alpha RGBA pictures and the SVG rasteriser that makes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::art {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // rows top-down, not premultiplied

  Picture() = default;
  Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
  Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Renders an SVG file into a size x size picture. `css` is an extra style sheet that can
// hide or show parts of the drawing (for instance one of two shadows).
Picture RenderSvg(const std::string& path, int size, const std::string& css = "");

}  // namespace quorvel::art
