// The window at other DPIs: the table's places scaled, captions widened about
// their centres, the pictures' renditions, and the smooth scaling behind them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "ui/layout_at_dpi.h"
#include "ui/picture_scaling.h"

namespace quorvel {
namespace {

TEST(LayoutAtDpi, TheDesignDpiIsTheTableExactlyAndOtherDpisScaleIt) {
  // At 96 DPI a pixel is 15 twips; at 120, 12; at 144, 10; at 192, 7.5.
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const auto pixels = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
    const PixelSize client = ClientSizeAt(dpi);
    EXPECT_EQ(client.width, pixels(5775));
    EXPECT_EQ(client.height, pixels(3600));
    for (const ControlSpec& control : MainControls()) {
      SCOPED_TRACE(control.name);
      // A caption's text that fits changes nothing.
      const PixelRect rect = ControlRectAt(control, dpi, 10);
      EXPECT_EQ(rect.left, pixels(control.place.left));
      EXPECT_EQ(rect.top, pixels(control.place.top));
      EXPECT_EQ(rect.width, pixels(control.place.width));
      EXPECT_EQ(rect.height, pixels(control.place.height));
    }
  }
  EXPECT_EQ(ClientSizeAt(96).width, 385);
  EXPECT_EQ(ControlRectAt(*FindControl(kLabel1Index2), 96, 0).width, 81);
}

TEST(LayoutAtDpi, ACaptionTooWideForItsBoxGrowsEquallyOnBothSidesExceptAtTheDesignDpi) {
  const ControlSpec& mensagem = *FindControl(kLabel1Index0);  // 975 twips wide
  const PixelRect table = ControlRectAt(mensagem, 144);
  ASSERT_EQ(table.width, 98);
  for (const int needed : {99, 100, 131}) {
    SCOPED_TRACE(needed);
    const PixelRect grown = ControlRectAt(mensagem, 144, needed);
    EXPECT_GE(grown.width, needed);
    EXPECT_LE(grown.width, needed + 1);
    EXPECT_EQ(grown.left - table.left, -(grown.width - table.width) / 2);
    EXPECT_EQ(grown.top, table.top);
    EXPECT_EQ(grown.height, table.height);
  }
  // At 96 DPI the boxes keep their size whatever the text; nothing but a
  // caption ever grows.
  EXPECT_EQ(ControlRectAt(mensagem, 96, 200).width, 65);
  EXPECT_EQ(ControlRectAt(*FindControl(kList1), 144, 1000).width, 530);
}

TEST(LayoutAtDpi, PicturesFillTheirBoxesFromTheDoubleArtAndRenditionsAreScaledDown) {
  EXPECT_EQ(PictureDrawingAt(96).art, PictureArt::kNatural);
  EXPECT_EQ(PictureDrawingAt(96).size, 48);
  for (const auto& [dpi, size] : {std::pair{120, 60}, {144, 72}, {192, 96}, {288, 144}}) {
    EXPECT_EQ(PictureDrawingAt(dpi).art, PictureArt::kDouble) << dpi;
    EXPECT_EQ(PictureDrawingAt(dpi).size, size) << dpi;
  }
  // The next larger rendition, never up from a smaller one but the largest:
  // 125 %'s 20-pixel icon comes from the 32-pixel image.
  const std::array<int, 3> cursors = {32, 48, 64}, icons = {16, 32, 48};
  for (const auto& [wanted, index] : {std::pair{32, 0u}, {40, 1u}, {48, 1u}, {64, 2u}, {80, 2u}})
    EXPECT_EQ(RenditionFor(cursors, wanted), index) << wanted;
  EXPECT_EQ(RenditionFor(icons, 20), 1u);
}

PixelPicture Filled(int width, int height, std::uint32_t (*pixel)(int x, int y)) {
  PixelPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.pixels.push_back(pixel(x, y));
  }
  return picture;
}

std::uint32_t Channel(std::uint32_t pixel, int channel) {
  return (pixel >> (8 * channel)) & 0xFF;
}

TEST(PictureScaling, KeepsPixelsAtTheSameSizeAndFlatColourAtAnySize) {
  const PixelPicture noise = Filled(7, 5, [](int x, int y) {
    return static_cast<std::uint32_t>((x * 2654435761u) ^ (y * 40503u));
  });
  EXPECT_EQ(ScalePicture(noise, 7, 5).pixels, noise.pixels);

  const PixelPicture flat = Filled(96, 96, [](int, int) { return 0xFFF0D8C0u; });
  for (const int size : {48, 60, 72, 97, 144}) {
    const PixelPicture scaled = ScalePicture(flat, size, size);
    ASSERT_EQ(scaled.pixels.size(), static_cast<std::size_t>(size * size));
    for (const std::uint32_t pixel : scaled.pixels) ASSERT_EQ(pixel, 0xFFF0D8C0u) << size;
  }
  EXPECT_TRUE(ScalePicture(flat, 0, 10).pixels.empty());
}

TEST(PictureScaling, AveragesWhenScalingDownAndBlendsWhenScalingUpChannelByChannel) {
  // Black and white columns, one pixel each, halved: grey away from the
  // edges, and the channels never bleed into each other.
  const PixelPicture stripes = Filled(96, 4, [](int x, int) { return x % 2 ? 0x00FF00FFu : 0u; });
  const PixelPicture halved = ScalePicture(stripes, 48, 2);
  for (int x = 1; x < 47; ++x) {
    const std::uint32_t pixel = halved.pixels[x];
    EXPECT_NEAR(Channel(pixel, 0), 128u, 1u);
    EXPECT_EQ(Channel(pixel, 1), 0u);
    EXPECT_NEAR(Channel(pixel, 2), 128u, 1u);
  }

  // A hard edge halfway across, at 1.5 × down and 1.5 × up: it stays
  // halfway, rising without overshoot, softened over a pixel or two.
  const PixelPicture edge = Filled(96, 1, [](int x, int) { return x < 48 ? 0u : 0xFFu; });
  for (const int width : {64, 144}) {
    SCOPED_TRACE(width);
    const PixelPicture scaled = ScalePicture(edge, width, 1);
    int greys = 0, falls = 0, misplaced = 0;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t value = scaled.pixels[x];
      falls += x > 0 && value < scaled.pixels[x - 1];
      greys += value != 0 && value != 0xFF;
      misplaced += (x < width / 2 - 2 && value != 0) || (x >= width / 2 + 2 && value != 0xFF);
    }
    EXPECT_EQ(falls, 0);
    EXPECT_EQ(misplaced, 0);
    EXPECT_GE(greys, 1);
    EXPECT_LE(greys, 3);
    EXPECT_NEAR(scaled.pixels[width / 2 - 1] + scaled.pixels[width / 2], 0xFFu, 1u);
  }
}

}  // namespace
}  // namespace quorvel
