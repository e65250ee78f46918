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

// What the fourth channel (the high byte) is: a channel like the others, or
// the straight alpha of the other three, which are then weighted by it so
// that a transparent pixel lends its neighbours none of its colour.
enum class Alpha : std::uint8_t { kChannel, kStraight };

// `source` scaled to `width` × `height`; each channel on its own, or the
// colours weighted by `alpha`. The same size gives the same pixels.
PixelPicture ScalePicture(const PixelPicture& source, int width, int height,
                          Alpha alpha = Alpha::kChannel);

}  // namespace quorvel
