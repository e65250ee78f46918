// The file writers: GIF through giflib, and the icon and cursor files, whose byte layout
// is written here by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "palette.h"
#include "raster.h"

namespace quorvel::art {

// Writes a one-frame GIF89a with the picture's table as the global table, one Graphic
// Control Extension that names its transparent entry, and nothing else.
void WriteGif(const std::string& path, const Indexed& picture);

struct IconImage {
  int size = 0;
  int bits = 0;
  std::vector<uint8_t> dib;  // header, colour table, colour bits, AND mask
  Picture preview;           // what the image looks like, for the contact sheet
};

// 4-bit: every opaque pixel must already be one of the system colours.
IconImage MakeIcon4(const Picture& picture);
// 8-bit: the picture's own table of 256; its transparent entry is masked.
IconImage MakeIcon8(const Indexed& picture);
// 32-bit: straight BGRA; the mask is set exactly where alpha is 0.
IconImage MakeIcon32(const Picture& picture);

std::vector<uint8_t> IcoFile(const std::vector<IconImage>& images);

// A square two-colour cursor. Pixels must be opaque black, opaque white or clear.
std::vector<uint8_t> CurFile(const Picture& hand, int hot_x, int hot_y);

// What an indexed picture looks like, with its transparent entry clear.
Picture Expand(const Indexed& picture);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace quorvel::art
