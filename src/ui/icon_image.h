// The images of the window's icon group as the resources hold them, read
// without the system's help, so that a size the group lacks can be scaled
// down from a larger image by the program's own scaler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/picture_scaling.h"

namespace quorvel {

// The `count`-byte little-endian number at `at` in `bytes`, which must hold it.
std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count);

// Of an icon group's directory (an RT_GROUP_ICON resource), the resource
// number of its 32-bit image `size` pixels square; 0 where it has none.
int IconImageId(std::span<const std::uint8_t> group, int size);

// A 32-bit icon image (a BITMAPINFOHEADER whose height counts the mask too,
// blue-green-red-alpha rows bottom up with straight alpha, then the mask) as
// pixels 0xAARRGGBB, rows top down; empty where `image` is not one.
PixelPicture DecodeIconImage(std::span<const std::uint8_t> image);

}  // namespace quorvel
