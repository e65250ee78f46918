// The window at other DPIs: captions widened about their centres, and the
// smooth scaling of the pictures and icons. The places, and which rendition of
// the pictures, the hand and the icons each DPI shows, are checked on the
// window itself, under Wine.
#include <gtest/gtest.h>

#include <cstdint>

#include "ui/layout_at_dpi.h"
#include "ui/picture_scaling.h"

namespace quorvel {

TEST(LayoutAtDpi, ACaptionTooWideForItsBoxGrowsEquallyOnBothSidesExceptAtTheDesignDpi) {
  const ControlSpec& mensagem = *FindControl(kLabel1Index0);  // 975 twips wide
  const PixelRect table = ControlRectAt(mensagem, 144, 98);
  EXPECT_EQ(std::pair(table.left, table.width), std::pair(12, 98));
  for (const int needed : {99, 100, 131}) {
    const PixelRect grown = ControlRectAt(mensagem, 144, needed);
    EXPECT_TRUE(grown.width == needed || grown.width == needed + 1) << grown.width;
    EXPECT_EQ(2 * grown.left + grown.width, 2 * table.left + table.width) << needed;
    EXPECT_EQ(grown.height, table.height);
  }
  // At 96 DPI the boxes keep the table's size whatever the text; nothing but
  // a caption ever grows.
  EXPECT_EQ(ControlRectAt(mensagem, 96, 200).width, 65);
  EXPECT_EQ(ControlRectAt(*FindControl(kList1), 144, 1000).width, 530);
}

static PixelPicture Filled(int width, int height, std::uint32_t (*pixel)(int x, int y)) {
  PixelPicture picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) picture.pixels.push_back(pixel(i % width, i / width));
  return picture;
}

TEST(PictureScaling, KeepsSizeFlatColourAndHardEdgesAveragesChannelsApartOrColoursByAlpha) {
  const PixelPicture noise =
      Filled(7, 5, [](int x, int y) { return x * 2654435761u ^ y * 40503u; });
  EXPECT_EQ(ScalePicture(noise, 7, 5).pixels, noise.pixels);
  const PixelPicture flat = Filled(96, 96, [](int, int) { return 0xFFF0D8C0u; });
  EXPECT_EQ(ScalePicture(flat, 72, 97).pixels, std::vector<std::uint32_t>(72 * 97, 0xFFF0D8C0u));
  // Columns of 0 and 255 in two channels, halved: grey away from the edges,
  // and nothing bleeds into the other channels.
  const PixelPicture stripes = Filled(96, 4, [](int x, int) { return x % 2 ? 0x00FF00FFu : 0u; });
  const PixelPicture halved = ScalePicture(stripes, 48, 2);
  for (int x = 1; x < 47; ++x) EXPECT_EQ(halved.pixels[x], 0x00800080u) << x;

  // An icon's colours weighted by its alpha: whatever colour the transparent
  // pixels around a square hold (black, white), its edge keeps its own
  // colour and only grows more transparent.
  const PixelPicture square = Filled(48, 48, [](int x, int y) {
    if (x >= 12 && x < 37 && y >= 12 && y < 37) return 0xFF336699u;
    return (x + y) % 2 ? 0x00FFFFFFu : 0u;
  });
  int soft = 0;
  for (const std::uint32_t pixel : ScalePicture(square, 20, 20, Alpha::kStraight).pixels) {
    soft += pixel >> 24 != 0 && pixel >> 24 != 0xFF;
    EXPECT_EQ(pixel & 0xFFFFFF, pixel >> 24 ? 0x336699u : 0u) << std::hex << pixel;
  }
  EXPECT_GT(soft, 0);

  // A hard edge stays in place, softened over a pixel or two, both ways.
  const PixelPicture edge = Filled(96, 1, [](int x, int) { return x < 48 ? 0u : 0xFFu; });
  for (const int width : {64, 144}) {
    const std::vector<std::uint32_t> row = ScalePicture(edge, width, 1).pixels;
    int greys = 0, falls = 0, misplaced = 0;
    for (int x = 0; x < width; ++x) {
      falls += x > 0 && row[x] < row[x - 1];
      greys += row[x] != 0 && row[x] != 0xFF;
      misplaced += (x < width / 2 - 2 && row[x] != 0) || (x >= width / 2 + 2 && row[x] != 0xFF);
    }
    EXPECT_EQ(falls + misplaced, 0) << width;
    EXPECT_TRUE(greys >= 1 && greys <= 3) << width;
    EXPECT_NEAR(row[width / 2 - 1] + row[width / 2], 0xFFu, 1u) << width;
  }
}

}  // namespace quorvel
