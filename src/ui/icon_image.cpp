#include "ui/icon_image.h"

#include <cstddef>

namespace quorvel {

namespace {

constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;  // the 16-byte entry of an .ico, with a 16-bit id last
constexpr int kLargestIcon = 256;

}  // namespace

std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

int IconImageId(std::span<const std::uint8_t> group, int size) {
  if (group.size() < kGroupHeader || ReadLittleEndian(group, 2, 2) != 1) return 0;  // type 1: icons
  const std::size_t count = ReadLittleEndian(group, 4, 2);
  for (std::size_t i = 0; i < count && kGroupHeader + (i + 1) * kGroupEntry <= group.size(); ++i) {
    const std::size_t entry = kGroupHeader + i * kGroupEntry;
    const int width = group[entry] == 0 ? kLargestIcon : group[entry];  // 0 stands for 256
    const int height = group[entry + 1] == 0 ? kLargestIcon : group[entry + 1];
    if (width == size && height == size && ReadLittleEndian(group, entry + 6, 2) == 32) {
      return static_cast<int>(ReadLittleEndian(group, entry + 12, 2));
    }
  }
  return 0;
}

PixelPicture DecodeIconImage(std::span<const std::uint8_t> image) {
  constexpr std::size_t kInfoHeader = 40;
  if (image.size() < kInfoHeader) return {};
  const std::uint32_t header = ReadLittleEndian(image, 0, 4);
  const std::uint32_t width = ReadLittleEndian(image, 4, 4);
  // Uncompressed 32 bits, one plane, no colour table, and a height that
  // counts the colour rows and the mask's.
  if (header < kInfoHeader || width == 0 || width > kLargestIcon ||
      ReadLittleEndian(image, 8, 4) != 2 * width ||
      ReadLittleEndian(image, 12, 4) != (1u | 32u << 16) || ReadLittleEndian(image, 16, 4) != 0 ||
      ReadLittleEndian(image, 32, 4) != 0 || header > image.size() ||
      (image.size() - header) / 4 / width < width) {
    return {};
  }
  const int side = static_cast<int>(width);
  PixelPicture picture{side, side, std::vector<std::uint32_t>(std::size_t{width} * width)};
  for (std::size_t y = 0; y < width; ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      picture.pixels[y * width + x] =
          ReadLittleEndian(image, header + 4 * ((width - 1 - y) * width + x), 4);
    }
  }
  return picture;
}

}  // namespace quorvel
