#include "ui/picture_scaling.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {

// The source pixels that make one target pixel along one axis, and how much
// each counts; the weights add up to 1.
struct Taps {
  int first = 0;
  std::vector<float> weights;
};

// For each of `target` pixels, its taps among `source` pixels: a tent centred
// where the target pixel's centre falls, its half-width the scale when
// scaling down and one pixel when scaling up. Taps past either edge are left
// out, and the others weighted up to make the whole.
std::vector<Taps> TapsAlong(int source, int target) {
  const float scale = static_cast<float>(source) / static_cast<float>(target);
  const float radius = std::max(1.0f, scale);
  std::vector<Taps> all(static_cast<std::size_t>(target));
  for (int i = 0; i < target; ++i) {
    const float centre = (static_cast<float>(i) + 0.5f) * scale - 0.5f;
    const int first = std::max(0, static_cast<int>(std::ceil(centre - radius)));
    const int last = std::min(source - 1, static_cast<int>(std::floor(centre + radius)));
    Taps& taps = all[static_cast<std::size_t>(i)];
    taps.first = first;
    float total = 0.0f;
    for (int j = first; j <= last; ++j) {
      const float weight =
          std::max(0.0f, 1.0f - std::fabs(static_cast<float>(j) - centre) / radius);
      taps.weights.push_back(weight);
      total += weight;
    }
    for (float& weight : taps.weights) weight /= total;
  }
  return all;
}

// One pass along rows (`horizontal`) or columns; `channels` holds four floats
// a pixel.
std::vector<float> Pass(const std::vector<float>& channels, int width, int height,
                        const std::vector<Taps>& taps, bool horizontal) {
  const int out_width = horizontal ? static_cast<int>(taps.size()) : width;
  const int out_height = horizontal ? height : static_cast<int>(taps.size());
  std::vector<float> out(static_cast<std::size_t>(out_width) * out_height * 4, 0.0f);
  for (int y = 0; y < out_height; ++y) {
    for (int x = 0; x < out_width; ++x) {
      const Taps& t = taps[static_cast<std::size_t>(horizontal ? x : y)];
      float* target = &out[(static_cast<std::size_t>(y) * out_width + x) * 4];
      for (std::size_t k = 0; k < t.weights.size(); ++k) {
        const int sx = horizontal ? t.first + static_cast<int>(k) : x;
        const int sy = horizontal ? y : t.first + static_cast<int>(k);
        const float* source = &channels[(static_cast<std::size_t>(sy) * width + sx) * 4];
        for (int c = 0; c < 4; ++c) target[c] += t.weights[k] * source[c];
      }
    }
  }
  return out;
}

}  // namespace

PixelPicture ScalePicture(const PixelPicture& source, int width, int height, Alpha alpha) {
  if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return {};
  const bool straight = alpha == Alpha::kStraight;
  std::vector<float> channels(source.pixels.size() * 4);
  for (std::size_t i = 0; i < source.pixels.size(); ++i) {
    for (int c = 0; c < 4; ++c)
      channels[i * 4 + c] = static_cast<float>((source.pixels[i] >> (8 * c)) & 0xFF);
    for (int c = 0; straight && c < 3; ++c) channels[i * 4 + c] *= channels[i * 4 + 3] / 255.0f;
  }
  channels = Pass(channels, source.width, source.height, TapsAlong(source.width, width), true);
  channels = Pass(channels, width, source.height, TapsAlong(source.height, height), false);

  PixelPicture scaled{width, height,
                      std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (std::size_t i = 0; i < scaled.pixels.size(); ++i) {
    // Back to straight colours; where nothing is left, transparent black.
    const float opacity = channels[i * 4 + 3];
    for (int c = 0; straight && c < 3; ++c)
      channels[i * 4 + c] = opacity >= 0.5f ? channels[i * 4 + c] * 255.0f / opacity : 0.0f;
    std::uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
      const float value = std::clamp(std::round(channels[i * 4 + c]), 0.0f, 255.0f);
      pixel |= static_cast<std::uint32_t>(value) << (8 * c);
    }
    scaled.pixels[i] = pixel;
  }
  return scaled;
}

}  // namespace quorvel
