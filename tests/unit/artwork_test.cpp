// The committed artwork, byte by byte: the layout that the window and the
// resources expect of the button pictures, the window icon and the hand cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

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
  // Bit x, y of a bottom-up 1-bit picture `size` wide, starting at `at`.
  bool Bit(size_t at, int size, int x, int y) const {
    return U8(at + (size - 1 - y) * ((size + 31) / 32 * 4) + x / 8) & (0x80 >> (x % 8));
  }
};

TEST(ButtonPictures, AreOneFrameGifsWithOneWhiteTransparentEntryAndNoOtherBlocks) {
  for (const auto& [name, colours] : {std::pair{"image1.gif", 256u},
                                      {"image2.gif", 128u},
                                      {"image3.gif", 256u},
                                      {"image4.gif", 256u}}) {
    SCOPED_TRACE(name);
    const Art gif(name);
    EXPECT_EQ(gif.b.substr(0, 6), "GIF89a");
    EXPECT_EQ(gif.U32(6), 48u | 48u << 16);
    EXPECT_EQ(gif.U8(10) & 0x88, 0x80u) << "a global, unsorted table";
    EXPECT_EQ(2u << (gif.U8(10) & 7), colours);
    EXPECT_EQ(gif.U16(11), 0u) << "background and aspect";
    // One Graphic Control Extension with a transparent entry, then one
    // full-screen image without a local table or interlace, then the end.
    size_t at = 13 + 3 * colours;
    EXPECT_EQ(gif.U32(at) & 0x1FFFFFF, 0x104F921u) << "transparency flag";
    EXPECT_EQ(gif.U8(at + 7), 0u);
    const unsigned transparent = gif.U8(at + 6);
    at += 8;
    EXPECT_EQ(gif.U8(at), 0x2Cu);
    EXPECT_EQ(gif.U32s(at + 1, 2), (std::vector<uint32_t>{0, 48u | 48u << 16}));
    EXPECT_EQ(gif.U8(at + 9) & 0xC0, 0u) << "local table or interlace";
    for (at += 11; at < gif.b.size() && gif.U8(at) != 0;) at += gif.U8(at) + 1;  // sub-blocks
    EXPECT_EQ(gif.b.substr(at), std::string("\0;", 2)) << "the trailer ends the file";
    ASSERT_LT(transparent, colours);
    EXPECT_EQ(gif.U32(13 + 3 * transparent) & 0xFFFFFF, 0xFFFFFFu) << "transparent is white";
  }
}

TEST(WindowIcon, HoldsNineUncompressedImagesInTheFixedOrder) {
  const Art ico("quorvel.ico");
  ASSERT_EQ(ico.b.size(), 25214u);
  EXPECT_EQ(ico.U32(0), 0x10000u);
  ASSERT_EQ(ico.U16(4), 9u);
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
    const size_t entry = 6 + 16 * i;
    // Square size, 16 colours for 4 bits, one plane, depth, byte count, offset.
    ASSERT_EQ(ico.U32s(entry, 4), (std::vector<uint32_t>{size | size << 8 | (bits == 4) << 20,
                                                         1u | bits << 16, bytes, dib}));
    // The 40-byte header: size, doubled height, one plane, no compression.
    EXPECT_EQ(ico.U32s(dib, 6), (std::vector<uint32_t>{40, size, 2 * size, 1u | bits << 16, 0, 0}));
    EXPECT_EQ(ico.U32(dib + 32), 0u) << "colours used";
    const size_t colours = bits == 32 ? 0 : size_t{1} << bits;
    for (size_t c = 0; bits == 4 && c < 16; ++c) EXPECT_EQ(ico.U32(dib + 40 + 4 * c), kStandard[c]);
    const size_t pixels = dib + 40 + 4 * colours;
    const size_t mask = pixels + size * ((size * bits + 31) / 32 * 4);
    ASSERT_EQ(mask + size * ((size + 31) / 32 * 4), dib + bytes);
    for (uint32_t y = 0; bits == 32 && y < size; ++y) {
      for (uint32_t x = 0; x < size; ++x) {
        EXPECT_EQ(ico.Bit(mask, size, x, y),
                  ico.U8(pixels + 4 * ((size - 1 - y) * size + x) + 3) == 0)
            << x << "," << y;
      }
    }
    dib += bytes;
  }
  EXPECT_EQ(dib, ico.b.size());
}

TEST(HandCursor, IsABlackAndWhiteHandInTheTopLeftWithTheHotspotAtTheFingertip) {
  const Art cur("hand.cur");
  ASSERT_EQ(cur.b.size(), 326u);
  // Type 2, one image 32x32, hotspot (5,0), 304 bytes at 22.
  EXPECT_EQ(cur.U16(0), 0u);
  EXPECT_EQ(cur.U32s(2, 5), (std::vector<uint32_t>{0x10002, 32 | 32 << 8, 5, 304, 22}));
  // A 40-byte header: 32x32 and its mask, one plane, 1 bit, uncompressed.
  EXPECT_EQ(cur.U32s(22, 5), (std::vector<uint32_t>{40, 32, 64, 1 | 1 << 16, 0}));
  EXPECT_EQ(cur.U32s(62, 2), (std::vector<uint32_t>{0x000000, 0xFFFFFF})) << "black, white";
  int right = -1, bottom = -1;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool clear = cur.Bit(70 + 128, 32, x, y);
      EXPECT_FALSE(clear && cur.Bit(70, 32, x, y)) << "inverting pixel at " << x << "," << y;
      if (!clear) right = std::max(right, x), bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ(std::pair(right, bottom), std::pair(16, 21)) << "a hand 17 wide, 22 tall";
}

}  // namespace
}  // namespace quorvel
