// One button picture as the form's DPI shows it: the 48-pixel drawing at its
// natural size at the design DPI, or the double-size drawing scaled smoothly
// to fill its box at any other. The scaled picture is made over the button
// face, whose colour then shows behind the transparent pixels, and made again
// when that colour changes.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/win32/handles.h"

namespace quorvel {

class ButtonPicture {
 public:
  // Shows `picture` (borrowed) at its natural size.
  void ShowNatural(IPicture* picture);
  // Shows `picture` (borrowed), `art_size` pixels square, at `size` pixels.
  void ShowScaled(IPicture* picture, int art_size, int size);

  // Draws the picture at the top-left corner of `client` in `dc`.
  void Paint(HDC dc, const RECT& client);

 private:
  void MakeScaled(HDC dc, COLORREF background);

  IPicture* picture_ = nullptr;
  int art_size_ = 0;
  int size_ = 0;  // 0: the natural size
  GdiObject scaled_;
  COLORREF scaled_background_ = CLR_INVALID;
};

// A top-down 32-bit bitmap `size` pixels square, for `dc` (or none), and
// where its pixels lie; a failure is fatal.
GdiObject SquareBitmap(HDC dc, int size, std::uint32_t** bits);

// Decodes a picture (GIF, BMP, ICO, ...) from bytes in memory with the
// system's own decoder.
ComPtr<IPicture> LoadPictureFromMemory(const unsigned char* data, std::size_t size);

}  // namespace quorvel
