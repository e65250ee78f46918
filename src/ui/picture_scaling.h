// Smooth scaling of a picture of 32-bit pixels (four 8-bit channels each),
// for drawing the double-size button pictures at any size in between and
// beyond: a tent filter as wide as the scale, so that scaling down averages
// every source pixel that a target pixel covers and scaling up interpolates
// between neighbours.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

struct PixelPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // rows top down, `width` pixels each
};

// `source` scaled to `width` × `height`; each channel on its own. The same
// size gives the same pixels.
PixelPicture ScalePicture(const PixelPicture& source, int width, int height);

}  // namespace quorvel
