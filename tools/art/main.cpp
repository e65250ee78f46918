// quorvel-art SOURCE_DIR OUTPUT_DIR SHEET_PNG
//
// Makes the program's artwork from its sources: the four button pictures (GIF), the
// window icon (ICO, nine images), the hand cursor (CUR) and a contact sheet of them all.

#include <exception>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "palette.h"
#include "raster.h"
#include "sheet.h"
#include "writers.h"

namespace quorvel::art {
namespace {

// Each button picture is drawn at 48 pixels and again at twice that, for larger displays.
constexpr int kButtonSizes[] = {48, 96};
// Below these a pixel is left out. The button pictures keep fainter edge pixels, which the
// white matte turns into a pale rim; the icons' 1-bit mask cuts at half.
constexpr uint8_t kButtonCutAlpha = 64;
constexpr uint8_t kMaskCutAlpha = 128;
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kOpaqueWhite{254, 254, 254, 255};

struct Button {
  const char* name;
  int colours;
};
constexpr Button kButtons[] = {
    {"image1", 256},  // the power button
    {"image2", 128},  // the sheet of paper and the pencil
    {"image3", 256},  // the crossed tools
    {"image4", 256},  // the drive and the arrow
};

// Blends the soft edge over a white matte and cuts it, so the outermost
// opaque pixels are pale tints of the edge colour.
Picture OverWhite(const Picture& picture) {
  Picture out = picture;
  for (Rgba& p : out.pixels) {
    if (p.a < kButtonCutAlpha) {
      p = {};
      continue;
    }
    auto blend = [&](uint8_t c) {
      return static_cast<uint8_t>((c * p.a + 255 * (255 - p.a)) / 255);
    };
    p = {blend(p.r), blend(p.g), blend(p.b), 255};
  }
  return out;
}

// Cuts the soft edge for a picture that only has a 1-bit mask: keeps the colour as it is.
Picture CutEdge(const Picture& picture) {
  Picture out = picture;
  for (Rgba& p : out.pixels) p = p.a < kMaskCutAlpha ? Rgba{} : Rgba{p.r, p.g, p.b, 255};
  return out;
}

Indexed MakeButton(const std::string& svg, int size, int colours) {
  Indexed picture = Quantize(OverWhite(RenderSvg(svg, size)), colours, 0.5f);
  // The transparent entry is white; white that is drawn must stay distinct from it.
  for (Rgba& entry : picture.palette) {
    if (entry == kWhite) entry = kOpaqueWhite;
  }
  picture.palette[picture.transparent] = kWhite;
  return picture;
}

// A picture drawn pixel by pixel: one line a row, one character a pixel, decoded by
// `pixel`. Lines that start with ';' are comments; "hotspot X Y" names a hotspot.
struct Grid {
  Picture picture;
  int hot_x = -1, hot_y = -1;
};

Grid ReadGrid(const std::string& path, int size, const std::function<bool(char, Rgba&)>& pixel) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error(path + ": cannot read");
  Grid grid{Picture(size, size)};
  int row = 0;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == ';') continue;
    if (line.rfind("hotspot", 0) == 0) {
      std::istringstream(line.substr(7)) >> grid.hot_x >> grid.hot_y;
      continue;
    }
    if (static_cast<int>(line.size()) != size || row >= size) {
      throw std::runtime_error(path + ": bad row: " + line);
    }
    for (int x = 0; x < size; ++x) {
      if (!pixel(line[x], grid.picture.at(x, row))) {
        throw std::runtime_error(path + ": bad pixel in: " + line);
      }
    }
    ++row;
  }
  if (row != size) throw std::runtime_error(path + ": incomplete");
  return grid;
}

// The hand: '#' black, '+' white, '.' clear.
bool HandPixel(char c, Rgba& out) {
  if (c == '#') out = {0, 0, 0, 255};
  if (c == '+') out = {255, 255, 255, 255};
  return c == '#' || c == '+' || c == '.';
}

// A 16-colour icon drawn by hand: a hex digit is a system colour, '.' is clear.
bool SystemColourPixel(char c, Rgba& out) {
  const auto digit = std::string("0123456789abcdef").find(c);
  if (digit != std::string::npos) out = SystemColours()[digit];
  return digit != std::string::npos || c == '.';
}

// The 16-colour redraw of one size: a pixel grid where one is drawn, else a hard-edged SVG.
Picture SixteenColourIcon(const std::string& src, int size) {
  const std::string base = src + "/icon-" + std::to_string(size) + "-16colours";
  if (std::ifstream(base + ".txt")) return ReadGrid(base + ".txt", size, SystemColourPixel).picture;
  return RenderSvg(base + ".svg", size);
}

void Run(const std::string& src, const std::string& out, const std::string& sheet_path) {
  std::vector<SheetEntry> sheet;

  for (const Button& button : kButtons) {
    for (int size : kButtonSizes) {
      const std::string name =
          button.name + std::string(size == kButtonSizes[0] ? "" : "@2x") + ".gif";
      const Indexed picture = MakeButton(src + "/" + button.name + ".svg", size, button.colours);
      WriteGif(out + "/" + name, picture);
      sheet.push_back({name, Expand(picture)});
    }
  }

  // The window icon: at each size a 16-colour redraw, and one drawing with two shadows,
  // solid for the 256-colour image and soft for the 32-bit one.
  const int sizes[] = {16, 32, 48};
  std::vector<IconImage> images;
  for (int size : sizes) {
    const std::string n = std::to_string(size);
    images.push_back(MakeIcon4(SixteenColourIcon(src, size)));
    const Picture solid =
        RenderSvg(src + "/icon-" + n + ".svg", size, "#soft-shadow{display:none}");
    images.push_back(MakeIcon8(Quantize(CutEdge(solid), 256, 0.0f)));
  }
  for (int size : sizes) {
    const std::string n = std::to_string(size);
    images.push_back(
        MakeIcon32(RenderSvg(src + "/icon-" + n + ".svg", size, "#solid-shadow{display:none}")));
  }
  WriteBytes(out + "/quorvel.ico", IcoFile(images));
  for (const IconImage& image : images) {
    sheet.push_back({"quorvel.ico " + std::to_string(image.size) + "x" +
                         std::to_string(image.size) + ", " + std::to_string(image.bits) + "-bit",
                     image.preview});
  }

  // The hand cursor at the sizes Windows asks for at 100, 150 and 200 per cent.
  for (const auto& [name, size] : {std::pair{"hand", 32}, {"hand-48", 48}, {"hand-64", 64}}) {
    const std::string file = std::string(name) + ".cur";
    const Grid hand = ReadGrid(src + "/" + name + ".txt", size, HandPixel);
    if (hand.hot_x < 0 || hand.hot_y < 0) throw std::runtime_error(file + ": no hotspot");
    WriteBytes(out + "/" + file, CurFile(hand.picture, hand.hot_x, hand.hot_y));
    sheet.push_back(
        {file + ", hotspot " + std::to_string(hand.hot_x) + "," + std::to_string(hand.hot_y),
         hand.picture});
  }

  WriteContactSheet(sheet_path, sheet);
}

}  // namespace
}  // namespace quorvel::art

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: quorvel-art SOURCE_DIR OUTPUT_DIR SHEET_PNG\n";
    return 2;
  }
  try {
    quorvel::art::Run(argv[1], argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "quorvel-art: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
