// The committed artwork, byte by byte: the layout that the window and the
// resources expect of the button pictures, the window icon and the hand cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/icon_image.h"

namespace quorvel {
namespace {

// A committed file and little-endian reads from it; past the end reads 0xFF.
struct Art {
  std::string b;

  explicit Art(const std::string& name) {
    std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/resources/art/" + name,
                       std::ios::binary);
    b.assign(std::istreambuf_iterator<char>(file), {});
  }
  unsigned U8(size_t at) const { return at < b.size() ? static_cast<uint8_t>(b[at]) : 0xFF; }
  unsigned U16(size_t at) const { return U8(at) | U8(at + 1) << 8; }
  uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
  std::vector<uint32_t> U32s(size_t at, size_t count) const {
    std::vector<uint32_t> values;
    for (size_t i = 0; i < count; ++i) values.push_back(U32(at + 4 * i));
    return values;
  }
  std::span<const uint8_t> Bytes(size_t at, size_t count) const {
    return std::span(reinterpret_cast<const uint8_t*>(b.data()), b.size()).subspan(at, count);
  }
  // Bit x, y of a bottom-up 1-bit picture `size` wide, starting at `at`.
  bool Bit(size_t at, unsigned size, unsigned x, unsigned y) const {
    return U8(at + (size - 1 - y) * ((size + 31) / 32 * 4) + x / 8) & (0x80 >> (x % 8));
  }
};

// The committed files are in the source tree, which a PC that runs the test
// kit does not have.
struct CommittedArt : ::testing::Test {
  void SetUp() override {
    if (!std::filesystem::exists(std::string(QUORVEL_SOURCE_DIR) + "/resources/art"))
      GTEST_SKIP() << "checks the committed artwork, which is only where the source is";
  }
};

TEST_F(CommittedArt, ButtonPicturesAreOneFrameGifsWithOneWhiteTransparentEntryAndNoOtherBlocks) {
  for (const auto& [picture, colours] :
       {std::pair{"image1", 256u}, {"image2", 128u}, {"image3", 256u}, {"image4", 256u}}) {
    // Each at 48 pixels, and at 96 for larger displays.
    for (const auto& [suffix, size] : {std::pair{".gif", 48u}, {"@2x.gif", 96u}}) {
      SCOPED_TRACE(picture + std::string(suffix));
      const Art gif(picture + std::string(suffix));
      EXPECT_EQ(gif.b.substr(0, 6), "GIF89a");
      EXPECT_EQ(gif.U32(6), size | size << 16);
      EXPECT_EQ(gif.U8(10) & 0x88, 0x80u) << "a global, unsorted table";
      EXPECT_EQ(2u << (gif.U8(10) & 7), colours);
      EXPECT_EQ(gif.U16(11), 0u) << "background and aspect";
      // One Graphic Control Extension with a transparent entry, then one
      // full-screen image without a local table or interlace, then the end.
      size_t at = 13 + 3 * colours;
      EXPECT_EQ(gif.U32(at) & 0x1FFFFFF, 0x104F921u) << "transparency flag";
      EXPECT_EQ(gif.U8(at + 7), 0u);
      const unsigned transparent = gif.U8(at + 6);
      EXPECT_EQ(gif.U8(at + 8), 0x2Cu);
      EXPECT_EQ(gif.U32s(at + 9, 2), (std::vector<uint32_t>{0, size | size << 16}));
      EXPECT_EQ(gif.U8(at + 17) & 0xC0, 0u) << "local table or interlace";
      for (at += 19; at < gif.b.size() && gif.U8(at) != 0;) at += gif.U8(at) + 1;  // sub-blocks
      EXPECT_EQ(gif.b.substr(at), std::string("\0;", 2)) << "the trailer ends the file";
      ASSERT_LT(transparent, colours);
      for (unsigned c = 0; c < colours; ++c)  // the transparent entry, and it alone, is white
        EXPECT_EQ((gif.U32(13 + 3 * c) & 0xFFFFFF) == 0xFFFFFF, c == transparent) << c;
    }
  }
}

TEST_F(CommittedArt, WindowIconHoldsNineUncompressedImagesInTheFixedOrder) {
  const Art ico("quorvel.ico");
  // The header, nine entries and the images below, and nothing more.
  ASSERT_EQ(ico.b.size(), 25214u);
  EXPECT_EQ(std::pair(ico.U32(0), ico.U16(4)), std::pair(0x10000u, 9u)) << "an icon of nine";
  const struct {
    uint32_t size, bits, bytes;
  } kImages[] = {{16, 4, 296},  {16, 8, 1384},  {32, 4, 744},   {32, 8, 2216}, {48, 4, 1640},
                 {48, 8, 3752}, {16, 32, 1128}, {32, 32, 4264}, {48, 32, 9640}};
  // The 16 standard colours, red in the high byte as read.
  const uint32_t kStandard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                  0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  uint32_t dib = 6 + 16 * 9;
  for (int i = 0; i < 9; ++i) {
    const auto [size, bits, bytes] = kImages[i];
    SCOPED_TRACE("image " + std::to_string(i + 1));
    // Square size, 16 colours for 4 bits, one plane, depth, byte count, offset.
    ASSERT_EQ(ico.U32s(6 + 16 * i, 4), (std::vector<uint32_t>{size | size << 8 | (bits == 4) << 20,
                                                              1u | bits << 16, bytes, dib}));
    // The 40-byte header: size, doubled height, one plane, no compression.
    EXPECT_EQ(ico.U32s(dib, 6), (std::vector<uint32_t>{40, size, 2 * size, 1u | bits << 16, 0, 0}));
    EXPECT_EQ(ico.U32(dib + 32), 0u) << "colours used";
    for (size_t c = 0; bits == 4 && c < 16; ++c) EXPECT_EQ(ico.U32(dib + 40 + 4 * c), kStandard[c]);
    const size_t pixels = dib + 40 + (bits == 32 ? 0 : 4u << bits);  // after the colour table
    const size_t mask = pixels + size * ((size * bits + 31) / 32 * 4);
    ASSERT_EQ(mask + size * ((size + 31) / 32 * 4), dib + bytes);
    // A size that the group lacks is scaled down from a 32-bit image, read
    // without the system's help (which one, the window test checks).
    const PixelPicture image = DecodeIconImage(ico.Bytes(dib, bytes));
    ASSERT_EQ(image.pixels.size(), bits == 32 ? size * size : 0);
    EXPECT_TRUE(DecodeIconImage(ico.Bytes(dib, mask - dib - 1)).pixels.empty()) << "cut short";
    for (uint32_t at = 0; bits == 32 && at < size * size; ++at) {
      const uint32_t x = at % size, y = at / size;
      const size_t pixel = pixels + 4 * ((size - 1 - y) * size + x);  // rows bottom up
      EXPECT_EQ(ico.Bit(mask, size, x, y), ico.U8(pixel + 3) == 0) << x << "," << y;
      ASSERT_EQ(image.pixels[at], ico.U32(pixel)) << x << "," << y;
    }
    dib += bytes;
  }
}

TEST_F(CommittedArt, HandCursorIsABlackAndWhiteHandInTheTopLeftWithTheHotspotAtTheFingertip) {
  // At 100, 150 and 200 per cent; the hand takes 17 x 22 of 32 pixels, or as much.
  for (const auto& [name, size, hot, right, bottom] : {std::tuple{"hand.cur", 32u, 5u, 16u, 21u},
                                                       {"hand-48.cur", 48u, 8u, 24u, 32u},
                                                       {"hand-64.cur", 64u, 11u, 33u, 43u}}) {
    SCOPED_TRACE(name);
    const Art cur(name);
    const uint32_t row = (size + 31) / 32 * 4, image = 40 + 8 + 2 * size * row;
    ASSERT_EQ(cur.b.size(), 22 + image);
    // Type 2, one square image, hotspot (hot, 0), the image's bytes at 22.
    EXPECT_EQ(cur.U16(0), 0u);
    EXPECT_EQ(cur.U32s(2, 5), (std::vector<uint32_t>{0x10002, size | size << 8, hot, image, 22}));
    // A 40-byte header: the size and its mask, one plane, 1 bit, uncompressed.
    EXPECT_EQ(cur.U32s(22, 5), (std::vector<uint32_t>{40, size, 2 * size, 1 | 1 << 16, 0}));
    EXPECT_EQ(cur.U32s(62, 2), (std::vector<uint32_t>{0x000000, 0xFFFFFF})) << "black, white";
    const size_t colour = 70, mask = colour + size * row;
    auto opaque = [&](unsigned x, unsigned y) { return !cur.Bit(mask, size, x, y); };
    unsigned far_right = 0, far_bottom = 0, tip_left = size, tip_right = 0;
    for (unsigned y = 0; y < size; ++y) {
      for (unsigned x = 0; x < size; ++x) {
        EXPECT_TRUE(opaque(x, y) || !cur.Bit(colour, size, x, y)) << "inverts at " << x << "," << y;
        if (opaque(x, y)) far_right = std::max(far_right, x), far_bottom = std::max(far_bottom, y);
        if (opaque(x, 0)) tip_left = std::min(tip_left, x), tip_right = std::max(tip_right, x);
      }
    }
    EXPECT_EQ(std::pair(far_right, far_bottom), std::pair(right, bottom));
    // The click lands on the black top edge of the fingertip, in its middle.
    EXPECT_TRUE(opaque(hot, 0) && !cur.Bit(colour, size, hot, 0)) << "black at the hotspot";
    EXPECT_EQ(hot, (tip_left + tip_right) / 2);
  }
}

}  // namespace
}  // namespace quorvel
