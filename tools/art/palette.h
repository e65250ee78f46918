// Colour tables: the quantiser for the button pictures and the 8-bit icons, and the
// 16 standard system colours of the 4-bit icons.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "raster.h"

namespace quorvel::art {

struct Indexed {
  int width = 0;
  int height = 0;
  std::vector<Rgba> palette;     // exactly the size asked for
  std::vector<uint8_t> indices;  // rows top-down
  int transparent = -1;          // the one entry that stands for "no pixel"
};

// Chooses a table of exactly `colours` entries for a picture whose pixels are either fully
// opaque or fully clear, and maps it. The clear pixels share one entry, `transparent`;
// no opaque pixel is ever mapped to it. Unused entries at the end are black.
Indexed Quantize(const Picture& picture, int colours, float dithering);

// The 16 standard system colours in their usual order (black, maroon, ... white).
const std::array<Rgba, 16>& SystemColours();
int NearestSystemColour(Rgba colour);

}  // namespace quorvel::art
