#include "app/artwork.h"

#include <cstring>
#include <vector>

#include "app/picture_button.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/win32_error.h"

namespace quorvel {

namespace {

std::uint32_t ReadLittleEndian(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

IconHandle LoadIconGroup(HINSTANCE instance, int size) {
  IconHandle icon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kIconGroupId), IMAGE_ICON, size, size, 0)));
  if (!icon) FailWin32("LoadImageW");
  return icon;
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

void Artwork::Load(HINSTANCE instance) {
  const EmbeddedFile* files[] = {&kImage1Gif, &kImage2Gif, &kImage3Gif, &kImage4Gif};
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    pictures_[i] = LoadPictureFromMemory(files[i]->data, files[i]->size);
  }
  hand_cursor_ = CursorFromCurFile(kHandCursor);
  large_icon_ = LoadIconGroup(instance, GetSystemMetrics(SM_CXICON));
  small_icon_ = LoadIconGroup(instance, GetSystemMetrics(SM_CXSMICON));
}

}  // namespace quorvel
