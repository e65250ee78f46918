#include "writers.h"

#include <gif_lib.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace quorvel::art {
namespace {

// giflib's handle; Close() reports the error of writing the trailer, the destructor only
// cleans up after an earlier failure.
class GifOut {
 public:
  GifOut(const std::string& path, std::vector<uint8_t>& bytes) : path_(path) {
    int error = 0;
    gif_ = EGifOpen(&bytes, &Append, &error);
    if (!gif_) Fail(error);
  }
  ~GifOut() {
    if (gif_) EGifCloseFile(gif_, nullptr);
  }
  GifOut(const GifOut&) = delete;
  GifOut& operator=(const GifOut&) = delete;

  GifFileType* get() const { return gif_; }
  void Check(int status) const {
    if (status == GIF_ERROR) Fail(gif_->Error);
  }
  void Close() {
    int error = 0;
    const int status = EGifCloseFile(gif_, &error);
    gif_ = nullptr;
    if (status == GIF_ERROR) Fail(error);
  }

 private:
  static int Append(GifFileType* gif, const GifByteType* data, int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + length);
    return length;
  }
  [[noreturn]] void Fail(int error) const {
    const char* text = GifErrorString(error);
    throw std::runtime_error(path_ + ": " + (text ? text : "GIF error"));
  }

  std::string path_;
  GifFileType* gif_ = nullptr;
};

struct MapFree {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

void Put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int RowBytes(int width, int bits) {
  return (width * bits + 31) / 32 * 4;
}

// The 40-byte information header of an icon or cursor image: the height counts the colour
// bits and the mask together.
void PutInfoHeader(std::vector<uint8_t>& out, int size, int bits, uint32_t image_size) {
  Put32(out, 40);
  Put32(out, size);
  Put32(out, size * 2);
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, 0);  // no compression
  Put32(out, image_size);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);  // colours used: all that the depth allows
  Put32(out, 0);
}

void PutTable(std::vector<uint8_t>& out, const std::vector<Rgba>& table) {
  for (const Rgba& c : table) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
}

// Rows bottom-up, one bit a pixel, leftmost pixel in the high bit, rows padded to 32 bits.
template <typename Bit>
void PutBitRows(std::vector<uint8_t>& out, int size, Bit bit) {
  const int row_bytes = RowBytes(size, 1);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(row_bytes, 0);
    for (int x = 0; x < size; ++x) {
      if (bit(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

void CheckSquare(const Picture& picture) {
  if (picture.width != picture.height || picture.width > 255) {
    throw std::runtime_error("icon images must be square and smaller than 256 pixels");
  }
}

}  // namespace

void WriteGif(const std::string& path, const Indexed& picture) {
  const int colours = static_cast<int>(picture.palette.size());
  if (colours < 2 || colours > 256 || (colours & (colours - 1)) != 0) {
    throw std::runtime_error(path + ": a GIF table must hold a power of two entries");
  }
  std::vector<GifColorType> entries;
  for (const Rgba& c : picture.palette) entries.push_back({c.r, c.g, c.b});
  std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(colours, entries.data()));

  std::vector<uint8_t> bytes;
  GifOut gif(path, bytes);
  EGifSetGifVersion(gif.get(), true);
  gif.Check(EGifPutScreenDesc(gif.get(), picture.width, picture.height, 8, 0, map.get()));

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSAL_UNSPECIFIED;
  control.UserInputFlag = false;
  control.DelayTime = 0;
  control.TransparentColor = picture.transparent;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  gif.Check(
      EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension));

  gif.Check(EGifPutImageDesc(gif.get(), 0, 0, picture.width, picture.height, false, nullptr));
  std::vector<GifPixelType> row(picture.width);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) row[x] = picture.indices[y * picture.width + x];
    gif.Check(EGifPutLine(gif.get(), row.data(), picture.width));
  }
  gif.Close();
  WriteBytes(path, bytes);
}

IconImage MakeIcon4(const Picture& picture) {
  CheckSquare(picture);
  const int size = picture.width;
  const auto& system = SystemColours();
  IconImage image{size, 4, {}, Picture(size, size)};
  PutInfoHeader(image.dib, size, 4, 0);
  PutTable(image.dib, std::vector<Rgba>(system.begin(), system.end()));

  std::vector<int> index(picture.pixels.size(), -1);
  for (size_t i = 0; i < index.size(); ++i) {
    const Rgba p = picture.pixels[i];
    if (p.a < 128) continue;
    index[i] = NearestSystemColour(p);
    image.preview.pixels[i] = system[index[i]];
  }
  const int row_bytes = RowBytes(size, 4);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(row_bytes, 0);
    for (int x = 0; x < size; ++x) {
      const int i = std::max(index[y * size + x], 0);  // masked pixels are black
      row[x / 2] |= static_cast<uint8_t>(x % 2 ? i : i << 4);
    }
    image.dib.insert(image.dib.end(), row.begin(), row.end());
  }
  PutBitRows(image.dib, size, [&](int x, int y) { return index[y * size + x] < 0; });
  return image;
}

IconImage MakeIcon8(const Indexed& picture) {
  if (picture.palette.size() != 256 || picture.width != picture.height) {
    throw std::runtime_error("an 8-bit icon image needs a square picture and 256 colours");
  }
  const int size = picture.width;
  std::vector<Rgba> table = picture.palette;
  table[picture.transparent] = {0, 0, 0, 255};  // masked pixels are black
  IconImage image{size, 8, {}, Expand(picture)};
  PutInfoHeader(image.dib, size, 8, 0);
  PutTable(image.dib, table);
  const int row_bytes = RowBytes(size, 8);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(row_bytes, 0);
    for (int x = 0; x < size; ++x) row[x] = picture.indices[y * size + x];
    image.dib.insert(image.dib.end(), row.begin(), row.end());
  }
  PutBitRows(image.dib, size,
             [&](int x, int y) { return picture.indices[y * size + x] == picture.transparent; });
  return image;
}

IconImage MakeIcon32(const Picture& picture) {
  CheckSquare(picture);
  const int size = picture.width;
  IconImage image{size, 32, {}, picture};
  PutInfoHeader(image.dib, size, 32, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      Rgba p = picture.at(x, y);
      if (p.a == 0) p = {};
      image.dib.insert(image.dib.end(), {p.b, p.g, p.r, p.a});
    }
  }
  PutBitRows(image.dib, size, [&](int x, int y) { return picture.at(x, y).a == 0; });
  return image;
}

std::vector<uint8_t> IcoFile(const std::vector<IconImage>& images) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<unsigned>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const IconImage& image : images) {
    out.push_back(static_cast<uint8_t>(image.size));
    out.push_back(static_cast<uint8_t>(image.size));
    out.push_back(image.bits == 4 ? 16 : 0);
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, image.bits);
    Put32(out, static_cast<uint32_t>(image.dib.size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(image.dib.size());
  }
  for (const IconImage& image : images) out.insert(out.end(), image.dib.begin(), image.dib.end());
  return out;
}

std::vector<uint8_t> CurFile(const Picture& hand, int hot_x, int hot_y) {
  CheckSquare(hand);
  const int size = hand.width;
  auto is = [&](int x, int y, uint8_t level) {
    const Rgba p = hand.at(x, y);
    return p.a == 255 && p.r == level && p.g == level && p.b == level;
  };
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (hand.at(x, y).a != 0 && !is(x, y, 0) && !is(x, y, 255)) {
        throw std::runtime_error("cursor pixels must be black, white or clear");
      }
    }
  }
  std::vector<uint8_t> dib;
  PutInfoHeader(dib, size, 1, 2 * size * RowBytes(size, 1));
  PutTable(dib, {{0, 0, 0, 255}, {255, 255, 255, 255}});
  PutBitRows(dib, size, [&](int x, int y) { return is(x, y, 255); });         // XOR: white
  PutBitRows(dib, size, [&](int x, int y) { return hand.at(x, y).a == 0; });  // AND: clear

  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 2);  // cursor
  Put16(out, 1);
  out.push_back(static_cast<uint8_t>(size));
  out.push_back(static_cast<uint8_t>(size));
  out.push_back(0);
  out.push_back(0);
  Put16(out, hot_x);
  Put16(out, hot_y);
  Put32(out, static_cast<uint32_t>(dib.size()));
  Put32(out, 6 + 16);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

Picture Expand(const Indexed& picture) {
  Picture out(picture.width, picture.height);
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    const int index = picture.indices[i];
    if (index != picture.transparent) {
      out.pixels[i] = picture.palette[index];
      out.pixels[i].a = 255;
    }
  }
  return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) throw std::runtime_error(path + ": cannot write");
}

}  // namespace quorvel::art
