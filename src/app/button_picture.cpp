#include "app/button_picture.h"

#include <olectl.h>

#include <cstring>

#include "platform/win32/win32_error.h"
#include "ui/picture_scaling.h"

namespace quorvel {

namespace {

constexpr int kHimetricPerInch = 2540;

// A memory device context like `dc`; a failure is fatal.
MemoryDc MemoryDcLike(HDC dc) {
  MemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) FailWin32("CreateCompatibleDC");
  return memory;
}

}  // namespace

void ButtonPicture::ShowNatural(IPicture* picture) {
  picture_ = picture;
  size_ = art_size_ = 0;
  scaled_.reset();
}

void ButtonPicture::ShowScaled(IPicture* picture, int art_size, int size) {
  picture_ = picture;
  art_size_ = art_size;
  size_ = size;
  scaled_.reset();
}

void ButtonPicture::Paint(HDC dc, const RECT& client) {
  if (picture_ == nullptr) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (size_ == 0) {
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // At its natural size, from the top-left corner; the mask keeps the
    // background behind the transparent pixels.
    const int pixels_x = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
    const int pixels_y = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
    picture_->Render(dc, client.left, client.top, pixels_x, pixels_y, 0, height, width, -height,
                     &client);
    return;
  }
  const COLORREF background = GetSysColor(COLOR_BTNFACE);
  if (!scaled_ || scaled_background_ != background) MakeScaled(dc, background);
  const MemoryDc source = MemoryDcLike(dc);
  const HGDIOBJ previous = SelectObject(source.get(), scaled_.get());
  BitBlt(dc, client.left, client.top, size_, size_, source.get(), 0, 0, SRCCOPY);
  SelectObject(source.get(), previous);
}

void ButtonPicture::MakeScaled(HDC dc, COLORREF background) {
  // The drawing over the background at its own size, then scaled as a whole:
  // the transparent pixels' edges blend into the background as the rest does.
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  const MemoryDc canvas = MemoryDcLike(dc);
  std::uint32_t* art_bits = nullptr;
  const GdiObject art = SquareBitmap(dc, art_size_, &art_bits);
  const HGDIOBJ previous = SelectObject(canvas.get(), art.get());
  const RECT square = {0, 0, art_size_, art_size_};
  const GdiObject brush(CreateSolidBrush(background));
  if (!brush) FailWin32("CreateSolidBrush");
  FillRect(canvas.get(), &square, static_cast<HBRUSH>(brush.get()));
  CheckHresult(picture_->Render(canvas.get(), 0, 0, art_size_, art_size_, 0, height, width, -height,
                                &square),
               "IPicture::Render");
  GdiFlush();
  SelectObject(canvas.get(), previous);

  PixelPicture drawing{art_size_, art_size_, {}};
  drawing.pixels.assign(art_bits, art_bits + art_size_ * art_size_);
  const PixelPicture scaled = ScalePicture(drawing, size_, size_);
  std::uint32_t* bits = nullptr;
  scaled_ = SquareBitmap(dc, size_, &bits);
  std::memcpy(bits, scaled.pixels.data(), scaled.pixels.size() * sizeof(std::uint32_t));
  scaled_background_ = background;
}

GdiObject SquareBitmap(HDC dc, int size, std::uint32_t** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  GdiObject bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap) FailWin32("CreateDIBSection");
  *bits = static_cast<std::uint32_t*>(pixels);
  return bitmap;
}

ComPtr<IPicture> LoadPictureFromMemory(const unsigned char* data, std::size_t size) {
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) FailWin32("GlobalAlloc");
  void* bytes = GlobalLock(memory.get());
  if (bytes == nullptr) FailWin32("GlobalLock");
  std::memcpy(bytes, data, size);
  GlobalUnlock(memory.get());

  ComPtr<IStream> stream;
  CheckHresult(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()), "CreateStreamOnHGlobal");
  memory.release();  // the stream frees it

  ComPtr<IPicture> picture;
  CheckHresult(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              picture.put_void()),
               "OleLoadPicture");
  return picture;
}

}  // namespace quorvel
