// Pictures as the tests compare them: squares of pixels grabbed from the
// screen, and the committed art as the system's decoder draws it.
#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win/program_under_test.h"

namespace quorvel::testing {

// In no picture: where a drawing on it is transparent.
inline constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A square of pixels, rows top down.
struct Square {
  int size = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[y * size + x]; }
};

// `size` square pixels of `dc` at `left`, `top`.
inline Square Grab(HDC dc, int left, int top, int size) {
  Square square{size, std::vector<COLORREF>(size * size)};
  for (int i = 0; i < size * size; ++i)
    square.pixels[i] = GetPixel(dc, left + i % size, top + i / size);
  return square;
}

// The committed picture `name` as the system's decoder draws it, `size`
// pixels square, on magenta; empty when it cannot be read. Needs COM.
inline Square DecodedArt(const std::string& name, int size) {
  std::wstring file = EnvironmentPath("QUORVEL_ART_DIR", "/" + name);
  IPicture* picture = nullptr;
  OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&picture));
  if (picture == nullptr) return {};
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  SetDCBrushColor(dc, kMagenta);
  const RECT all = {0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  picture->Render(dc, 0, 0, size, size, 0, height, width, -height, nullptr);
  picture->Release();
  const Square square = Grab(dc, 0, 0, size);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return square;
}

}  // namespace quorvel::testing
