#include "app/artwork.h"

#include <commctrl.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"
#include "ui/layout_at_dpi.h"

namespace quorvel {

namespace {

std::uint32_t ReadLittleEndian(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

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

}  // namespace

IconHandle CursorFromCurFile(const EmbeddedFile& file) {
  // The directory (6 bytes) and its one entry (16 bytes) give the hotspot and
  // where the image lies; the system wants the hotspot followed by the image.
  constexpr std::size_t kHeaderSize = 6 + 16;
  if (file.size < kHeaderSize || ReadLittleEndian(file.data + 2, 2) != 2) {
    ShowFatalErrorAndExit("cursor da mão: não é um ficheiro de cursor");
  }
  const unsigned char* entry = file.data + 6;
  const std::uint32_t image_size = ReadLittleEndian(entry + 8, 4);
  const std::uint32_t image_offset = ReadLittleEndian(entry + 12, 4);
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
  const int rendition = kIconSizes[RenditionFor(kIconSizes, size)];
  if (rendition != size) {
    // A size that the group lacks (20 and 24 pixels at 125 and 150 %, say):
    // the common controls scale the next larger image down, where
    // LoadImageW might scale the 16-pixel one up ("LoadIconWithScaleDown").
    if (!common_controls_) common_controls_ = TryLoadSystemLibrary(L"comctl32.dll");
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, int, HICON*);
    if (const auto scale_down =
            OptionalFunction<ScaleDown>(common_controls_.get(), "LoadIconWithScaleDown")) {
      HICON icon = nullptr;
      if (SUCCEEDED(scale_down(instance, name, size, size, &icon))) return IconHandle(icon);
    }
  }
  IconHandle icon(static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, 0)));
  if (!icon) FailWin32("LoadImageW");
  return icon;
}

}  // namespace quorvel
