#include "app/artwork.h"

#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/win32_error.h"
#include "ui/icon_image.h"
#include "ui/layout_at_dpi.h"
#include "ui/picture_scaling.h"

namespace quorvel {

namespace {

constexpr std::array<const EmbeddedFile*, 4> kNaturalPictures = {&kImage1Gif, &kImage2Gif,
                                                                 &kImage3Gif, &kImage4Gif};
constexpr std::array<const EmbeddedFile*, 4> kDoublePictures = {&kImage1Gif2x, &kImage2Gif2x,
                                                                &kImage3Gif2x, &kImage4Gif2x};
constexpr int kDoublePictureSize = 2 * kNaturalPictureSize;

// The hand at the cursor sizes that Windows uses at 100, 150 and 200 %.
constexpr std::array<int, 3> kCursorSizes = {32, 48, 64};
constexpr std::array<const EmbeddedFile*, 3> kCursors = {&kHandCursor, &kHandCursor48,
                                                         &kHandCursor64};

// The sizes of the icon group's images.
constexpr std::array<int, 3> kIconSizes = {16, 32, 48};

// Decodes each picture of `files` that is not decoded yet.
void Decode(std::array<ComPtr<IPicture>, 4>& pictures,
            const std::array<const EmbeddedFile*, 4>& files) {
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (!pictures[i]) pictures[i] = LoadPictureFromMemory(files[i]->data, files[i]->size);
  }
}

// The bytes of a resource of the program; none where it has no such one.
std::span<const std::uint8_t> ResourceBytes(HINSTANCE instance, const wchar_t* name,
                                            const wchar_t* type) {
  const HRSRC found = FindResourceW(instance, name, type);
  const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, found)};
}

// An icon of `image`'s pixels and straight alpha, and a mask that is set
// exactly where they are wholly transparent, for the displays that draw
// icons through their masks.
IconHandle IconFromPixels(const PixelPicture& image) {
  std::uint32_t* bits = nullptr;
  const GdiObject colour = SquareBitmap(nullptr, image.width, &bits);
  std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));

  const int row = (image.width + 15) / 16 * 2;  // CreateBitmap's rows: whole 16-bit words
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(row) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[y * image.width + x] >> 24 == 0) mask[y * row + x / 8] |= 0x80 >> (x % 8);
    }
  }
  const GdiObject and_mask(CreateBitmap(image.width, image.height, 1, 1, mask.data()));
  if (!and_mask) FailWin32("CreateBitmap");

  // The icon takes copies of both bitmaps (the CreateIconIndirect documentation).
  ICONINFO parts = {TRUE, 0, 0, static_cast<HBITMAP>(and_mask.get()),
                    static_cast<HBITMAP>(colour.get())};
  IconHandle icon(CreateIconIndirect(&parts));
  if (!icon) FailWin32("CreateIconIndirect");
  return icon;
}

}  // namespace

IconHandle CursorFromCurFile(const EmbeddedFile& file) {
  // The directory (6 bytes) and its one entry (16 bytes) give the hotspot and
  // where the image lies; the system wants the hotspot followed by the image.
  constexpr std::size_t kHeaderSize = 6 + 16;
  const std::span<const std::uint8_t> bytes(file.data, file.size);
  if (file.size < kHeaderSize || ReadLittleEndian(bytes, 2, 2) != 2) {
    ShowFatalErrorAndExit("cursor da mão: não é um ficheiro de cursor");
  }
  const unsigned char* entry = file.data + 6;
  const std::uint32_t image_size = ReadLittleEndian(bytes, 6 + 8, 4);
  const std::uint32_t image_offset = ReadLittleEndian(bytes, 6 + 12, 4);
  if (image_offset > file.size || image_size > file.size - image_offset) {
    ShowFatalErrorAndExit("cursor da mão: imagem fora do ficheiro");
  }
  std::vector<unsigned char> resource(4 + image_size);
  std::memcpy(resource.data(), entry + 4, 4);  // hotspot x and y, 16 bits each
  std::memcpy(resource.data() + 4, file.data + image_offset, image_size);

  IconHandle cursor(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                             FALSE, 0x00030000, entry[0], entry[1],
                                             LR_DEFAULTCOLOR));
  if (!cursor) FailWin32("CreateIconFromResourceEx");
  return cursor;
}

void Artwork::SetDpi(HINSTANCE instance, int dpi) {
  const PictureDrawing drawing = PictureDrawingAt(dpi);
  if (drawing.art == PictureArt::kNatural) {
    Decode(natural_, kNaturalPictures);
    for (std::size_t i = 0; i < pictures_.size(); ++i) pictures_[i].ShowNatural(natural_[i].get());
  } else {
    Decode(double_, kDoublePictures);
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
      pictures_[i].ShowScaled(double_[i].get(), kDoublePictureSize, drawing.size);
    }
  }

  retired_ = {std::move(hand_cursor_), std::move(large_icon_), std::move(small_icon_)};
  // The 1-bit hand is never scaled: a size between two renditions takes the
  // larger one, drawn crisp at its own size.
  const int cursor_size = SystemMetricAtDpi(SM_CXCURSOR, dpi);
  hand_cursor_ = CursorFromCurFile(*kCursors[RenditionFor(kCursorSizes, cursor_size)]);

  large_icon_ = LoadIconGroup(instance, SystemMetricAtDpi(SM_CXICON, dpi));
  small_icon_ = LoadIconGroup(instance, SystemMetricAtDpi(SM_CXSMICON, dpi));
}

IconHandle Artwork::LoadIconGroup(HINSTANCE instance, int size) {
  const auto* name = MAKEINTRESOURCEW(kIconGroupId);
  // Never up from a smaller image: above the largest, the largest at its own
  // size, as the hand is.
  const int rendition = kIconSizes[RenditionFor(kIconSizes, size)];
  if (rendition < size) size = rendition;
  if (rendition != size) {
    // A size that the group lacks (20 and 24 pixels at 125 and 150 %, say):
    // the next larger image scaled down, where LoadImageW would scale the
    // next smaller one up (LoadIconWithScaleDown's documentation, Remarks;
    // that function itself comes only with the common controls' version 6).
    const int id = IconImageId(ResourceBytes(instance, name, RT_GROUP_ICON), rendition);
    const PixelPicture image =
        DecodeIconImage(ResourceBytes(instance, MAKEINTRESOURCEW(id), RT_ICON));
    // Without a 32-bit image there, Windows' own scaling.
    if (!image.pixels.empty()) {
      return IconFromPixels(ScalePicture(image, size, size, Alpha::kStraight));
    }
  }
  IconHandle icon(static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, 0)));
  if (!icon) FailWin32("LoadImageW");
  return icon;
}

}  // namespace quorvel
