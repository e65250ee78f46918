#include "app/form_layout.h"

#include <utility>

#include "platform/win32/dpi.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_error.h"
#include "ui/layout_at_dpi.h"

namespace quorvel {

namespace {

GdiObject CreateFontOrFail(const LOGFONTW& font) {
  GdiObject handle(CreateFontIndirectW(&font));
  if (!handle) FailWin32("CreateFontIndirectW");
  return handle;
}

GdiObject CreateTahoma(int dpi, int weight) {
  LOGFONTW font = {};
  font.lfHeight = FontHeightForPoints(kTahomaPointsTimes100, dpi);
  font.lfWeight = weight;
  font.lfCharSet = ANSI_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  // Where Tahoma is missing, the font mapper takes another sans-serif face.
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  return CreateFontOrFail(font);
}

// The message box keeps the system's default control font, its face and the
// rest, at its size in points made for `dpi`; none where the stock object is
// already that, which then serves itself. Windows makes the stock object once
// per session and never scales it for a monitor, and since Windows 10 1803 a
// process's system DPI may differ from the one it was made at.
GdiObject CreateDefaultGuiFont(int dpi) {
  LOGFONTW font = {};
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) FailWin32("GetObjectW");
  const int height = FontHeightForPoints(kDefaultGuiPointsTimes100, dpi);
  if (font.lfHeight == height) return {};
  font.lfHeight = height;
  font.lfWidth = 0;
  return CreateFontOrFail(font);
}

// How wide `text` is in `font`, in pixels; 0 where it cannot be measured,
// which leaves the caption its table width.
int TextWidth(const char* text, HFONT font) {
  const ScreenDc screen;
  const MemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!dc) return 0;
  const HGDIOBJ previous = SelectObject(dc.get(), font);
  const std::wstring wide = Widen(text);
  SIZE size = {};
  const bool measured =
      GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc.get(), previous);
  return measured ? size.cx : 0;
}

}  // namespace

void FormLayout::SetDpi(int dpi) {
  retired_ = {std::move(message_font_), std::move(tahoma_), std::move(tahoma_bold_)};
  message_font_ = CreateDefaultGuiFont(dpi);
  tahoma_ = CreateTahoma(dpi, FW_NORMAL);
  tahoma_bold_ = CreateTahoma(dpi, FW_BOLD);
  dpi_ = dpi;
  frame_correction_ = {};  // measured at another DPI
}

HFONT FormLayout::FontFor(ControlFont font) const {
  switch (font) {
    case ControlFont::kDefaultGui:
      return static_cast<HFONT>(message_font_ ? message_font_.get()
                                              : GetStockObject(DEFAULT_GUI_FONT));
    case ControlFont::kTahoma:
      return static_cast<HFONT>(tahoma_.get());
    case ControlFont::kTahomaBold:
      return static_cast<HFONT>(tahoma_bold_.get());
    case ControlFont::kNone:
      break;
  }
  return nullptr;
}

RECT FormLayout::PlaceOf(const ControlSpec& control) const {
  // At the design DPI every box is the table's, whatever its text needs.
  const bool measure = control.kind == ControlKind::kLabel && dpi_ != kDesignDpi;
  const int text_width = measure ? TextWidth(control.text, FontFor(control.font)) : 0;
  const PixelRect place = ControlRectAt(control, dpi_, text_width);
  return {place.left, place.top, place.left + place.width, place.top + place.height};
}

void FormLayout::Apply(const std::array<HWND, 11>& controls) {
  const auto& table = MainControls();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const RECT place = PlaceOf(table[i]);
    SetWindowPos(controls[i], nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (const HFONT font = FontFor(table[i].font)) {
      SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
  }
  retired_ = {};
}

SIZE FormLayout::OuterSizeAt(int dpi) const {
  const PixelSize client = ClientSizeAt(dpi);
  return OuterSizeAtDpi(client.width, client.height, style_, 0, dpi);
}

SIZE FormLayout::OuterSize() const {
  const SIZE predicted = OuterSizeAt(dpi_);
  return {predicted.cx + frame_correction_.cx, predicted.cy + frame_correction_.cy};
}

void FormLayout::SizeWindow(HWND window, const RECT* place) {
  // First the frame that Windows predicts for the DPI; where it turns out
  // otherwise (Wine draws every frame at the system's DPI), it is measured
  // and the size corrected once. A window already of the right size is left
  // as it is unless it is to move.
  frame_correction_ = {};
  const PixelSize wanted = ClientSizeAt(dpi_);
  for (int resized = 0;; ++resized) {
    RECT client;
    if (!GetClientRect(window, &client)) FailWin32("GetClientRect");
    const SIZE missing = {wanted.width - client.right, wanted.height - client.bottom};
    const bool exact = missing.cx == 0 && missing.cy == 0;
    if ((exact && (resized > 0 || place == nullptr)) || resized == 2) return;
    if (resized == 1) frame_correction_ = missing;
    const SIZE outer = OuterSize();
    const bool move = place != nullptr && resized == 0;
    SetWindowPos(window, nullptr, move ? place->left : 0, move ? place->top : 0, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (move ? 0 : SWP_NOMOVE));
  }
}

}  // namespace quorvel
