// Checks the committed artwork files byte by byte: the button pictures, the window icon
// and the hand cursor must keep the exact layout that the window and the resources expect.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace quorvel {
namespace {

// A committed file and little-endian reads from it.
struct Art {
  std::vector<uint8_t> b;

  explicit Art(const std::string& name) {
    std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/resources/art/" + name,
                       std::ios::binary);
    b.assign(std::istreambuf_iterator<char>(file), {});
  }
  unsigned U8(size_t at) const { return at < b.size() ? b[at] : 0xFFFFFFFF; }
  unsigned U16(size_t at) const { return U8(at) | U8(at + 1) << 8; }
  uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
  uint32_t Rgb(size_t at) const { return U8(at) << 16 | U8(at + 1) << 8 | U8(at + 2); }
  // Bit x of a bottom-up 1-bit row set that starts at `at`, for a picture `size` wide.
  bool Bit(size_t at, int size, int x, int y) const {
    const size_t row = at + static_cast<size_t>(size - 1 - y) * ((size + 31) / 32 * 4);
    return U8(row + x / 8) & (0x80 >> (x % 8));
  }
};

TEST(ButtonPictures, AreOneFrameGifsWithAWhiteTransparentEntryAndNoOtherBlocks) {
  const struct {
    const char* name;
    unsigned colours;
  } kPictures[] = {
      {"image1.gif", 256}, {"image2.gif", 128}, {"image3.gif", 256}, {"image4.gif", 256}};
  for (const auto& picture : kPictures) {
    SCOPED_TRACE(picture.name);
    const Art gif(picture.name);
    ASSERT_GT(gif.b.size(), 13u + 3 * picture.colours);
    EXPECT_EQ(std::string(gif.b.begin(), gif.b.begin() + 6), "GIF89a");
    EXPECT_EQ(gif.U16(6), 48u);
    EXPECT_EQ(gif.U16(8), 48u);
    const unsigned flags = gif.U8(10);
    EXPECT_TRUE(flags & 0x80) << "global table";
    EXPECT_FALSE(flags & 0x08) << "sorted table";
    EXPECT_EQ(2u << (flags & 7), picture.colours);
    EXPECT_EQ(gif.U8(11), 0u) << "background index";
    EXPECT_EQ(gif.U8(12), 0u) << "aspect";

    std::set<uint32_t> distinct;
    for (unsigned i = 0; i < picture.colours; ++i) distinct.insert(gif.Rgb(13 + 3 * i));
    EXPECT_GE(distinct.size(), picture.colours * 3 / 4) << "most of the table is used";

    // Blocks: exactly one Graphic Control Extension, then one full-screen image, then the end.
    size_t at = 13 + 3 * picture.colours;
    int controls = 0, images = 0;
    unsigned transparent = 0;
    while (at < gif.b.size() && gif.U8(at) != 0x3B) {
      if (gif.U8(at) == 0x21) {
        ASSERT_EQ(gif.U8(at + 1), 0xF9u) << "only a Graphic Control Extension is allowed";
        EXPECT_EQ(images, 0);
        EXPECT_EQ(gif.U8(at + 2), 4u);
        EXPECT_EQ(gif.U8(at + 3) & 1, 1u) << "transparency flag";
        transparent = gif.U8(at + 6);
        EXPECT_EQ(gif.U8(at + 7), 0u);
        ++controls;
        at += 8;
      } else {
        ASSERT_EQ(gif.U8(at), 0x2Cu) << "unknown block at " << at;
        EXPECT_EQ(gif.U32(at + 1), 0u) << "position 0,0";
        EXPECT_EQ(gif.U16(at + 5), 48u);
        EXPECT_EQ(gif.U16(at + 7), 48u);
        EXPECT_EQ(gif.U8(at + 9) & 0xC0, 0u) << "local table or interlace";
        ++images;
        at += 11;  // descriptor and LZW code size
        while (gif.U8(at) != 0 && at < gif.b.size()) at += gif.U8(at) + 1;  // sub-blocks
        ++at;
      }
    }
    EXPECT_EQ(at + 1, gif.b.size()) << "the trailer ends the file";
    EXPECT_EQ(controls, 1);
    EXPECT_EQ(images, 1);

    // The transparent entry is white, and no drawn colour is that same white.
    ASSERT_LT(transparent, picture.colours);
    for (unsigned i = 0; i < picture.colours; ++i) {
      EXPECT_EQ(gif.Rgb(13 + 3 * i) == 0xFFFFFF, i == transparent) << "entry " << i;
    }
  }
}

TEST(WindowIcon, HoldsNineUncompressedImagesInTheFixedOrder) {
  const Art ico("quorvel.ico");
  ASSERT_EQ(ico.b.size(), 25214u);
  EXPECT_EQ(ico.U16(0), 0u);
  EXPECT_EQ(ico.U16(2), 1u);
  ASSERT_EQ(ico.U16(4), 9u);

  const struct {
    int size, bits;
    uint32_t bytes;
  } kImages[] = {{16, 4, 296},  {16, 8, 1384},  {32, 4, 744},   {32, 8, 2216}, {48, 4, 1640},
                 {48, 8, 3752}, {16, 32, 1128}, {32, 32, 4264}, {48, 32, 9640}};
  const uint32_t kSystem[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  uint32_t next = 6 + 16 * 9;
  for (int i = 0; i < 9; ++i) {
    const auto& want = kImages[i];
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico.U8(entry), static_cast<unsigned>(want.size));
    EXPECT_EQ(ico.U8(entry + 1), static_cast<unsigned>(want.size));
    EXPECT_EQ(ico.U8(entry + 2), want.bits == 4 ? 16u : 0u);
    EXPECT_EQ(ico.U8(entry + 3), 0u);
    EXPECT_EQ(ico.U16(entry + 4), 1u);
    EXPECT_EQ(ico.U16(entry + 6), static_cast<unsigned>(want.bits));
    EXPECT_EQ(ico.U32(entry + 8), want.bytes);
    ASSERT_EQ(ico.U32(entry + 12), next);

    const size_t dib = next;
    next += want.bytes;
    EXPECT_EQ(ico.U32(dib), 40u);
    EXPECT_EQ(ico.U32(dib + 4), static_cast<uint32_t>(want.size));
    EXPECT_EQ(ico.U32(dib + 8), static_cast<uint32_t>(2 * want.size));
    EXPECT_EQ(ico.U16(dib + 12), 1u);
    EXPECT_EQ(ico.U16(dib + 14), static_cast<unsigned>(want.bits));
    EXPECT_EQ(ico.U32(dib + 16), 0u) << "compression";
    EXPECT_EQ(ico.U32(dib + 20), 0u) << "image size";
    EXPECT_EQ(ico.U32(dib + 32), 0u) << "colours used";

    const size_t table = dib + 40;
    const size_t colours = want.bits == 32 ? 0 : size_t{1} << want.bits;
    std::set<uint32_t> distinct;
    for (size_t c = 0; c < colours; ++c) {
      const uint32_t rgb =
          ico.U8(table + 4 * c + 2) << 16 | ico.U8(table + 4 * c + 1) << 8 | ico.U8(table + 4 * c);
      if (want.bits == 4) {
        EXPECT_EQ(rgb, kSystem[c]) << "system colour " << c;
      }
      distinct.insert(rgb);
    }
    if (want.bits == 8) {
      EXPECT_GT(distinct.size(), 16u) << "a table of its own";
    }

    const size_t bits = table + 4 * colours;
    const size_t mask =
        bits + static_cast<size_t>(want.size) * ((want.size * want.bits + 31) / 32 * 4);
    ASSERT_EQ(mask + static_cast<size_t>(want.size) * ((want.size + 31) / 32 * 4), next);
    int masked = 0, soft = 0;
    for (int y = 0; y < want.size; ++y) {
      for (int x = 0; x < want.size; ++x) {
        const bool clear = ico.Bit(mask, want.size, x, y);
        masked += clear;
        if (want.bits != 32) continue;
        const unsigned alpha = ico.U8(bits + 4 * ((want.size - 1 - y) * want.size + x) + 3);
        EXPECT_EQ(clear, alpha == 0) << x << "," << y;
        soft += alpha > 0 && alpha < 255;
      }
    }
    EXPECT_GT(masked, want.size * want.size / 8) << "the window stands on a clear background";
    EXPECT_LT(masked, want.size * want.size * 3 / 4);
    if (want.bits == 32) {
      EXPECT_GT(soft, want.size) << "soft edges and shadow";
    }
  }
  EXPECT_EQ(next, ico.b.size());
}

TEST(HandCursor, IsATwoColourHandInTheTopLeftCornerWithTheFingertipHotspot) {
  const Art cur("hand.cur");
  ASSERT_EQ(cur.b.size(), 326u);
  EXPECT_EQ(cur.U16(0), 0u);
  EXPECT_EQ(cur.U16(2), 2u);
  EXPECT_EQ(cur.U16(4), 1u);
  EXPECT_EQ(cur.U8(6), 32u);
  EXPECT_EQ(cur.U8(7), 32u);
  EXPECT_EQ(cur.U8(8), 0u);
  EXPECT_EQ(cur.U8(9), 0u);
  EXPECT_EQ(cur.U16(10), 5u) << "hotspot x";
  EXPECT_EQ(cur.U16(12), 0u) << "hotspot y";
  EXPECT_EQ(cur.U32(14), 304u);
  ASSERT_EQ(cur.U32(18), 22u);

  EXPECT_EQ(cur.U32(22), 40u);
  EXPECT_EQ(cur.U32(26), 32u);
  EXPECT_EQ(cur.U32(30), 64u);
  EXPECT_EQ(cur.U16(34), 1u);
  EXPECT_EQ(cur.U16(36), 1u);
  EXPECT_EQ(cur.U32(38), 0u);
  EXPECT_EQ(cur.U32(42), 256u);
  EXPECT_EQ(cur.U32(62), 0x00000000u) << "black first";
  EXPECT_EQ(cur.U32(66), 0x00FFFFFFu) << "then white";

  const size_t xor_bits = 70, and_bits = 70 + 128;
  int right = -1, bottom = -1;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool clear = cur.Bit(and_bits, 32, x, y), white = cur.Bit(xor_bits, 32, x, y);
      EXPECT_FALSE(clear && white) << "inverting pixel at " << x << "," << y;
      if (!clear) right = std::max(right, x), bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ(right, 16) << "the hand is 17 pixels wide";
  EXPECT_EQ(bottom, 21) << "the hand is 22 pixels tall";
  // The fingertip's top edge is drawn at the hotspot and nothing stands above the finger.
  EXPECT_FALSE(cur.Bit(and_bits, 32, 5, 0));
  for (int x = 0; x < 32; ++x) {
    if (x < 4 || x > 7) {
      EXPECT_TRUE(cur.Bit(and_bits, 32, x, 0)) << x;
    }
  }
}

}  // namespace
}  // namespace quorvel
