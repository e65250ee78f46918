// The form at a DPI: its fixed size, the fonts made for it, and each
// control's place from the control table, a caption widened where its text
// needs it. The form sets it anew when it moves to a monitor of another DPI.
#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/handles.h"
#include "ui/control_table.h"

namespace quorvel {

class FormLayout {
 public:
  // For a window of `style`, whose client area is the table's.
  explicit FormLayout(DWORD style) : style_(style) {}

  // Makes the fonts for `dpi`; a font that cannot be made is fatal. The
  // controls' old fonts live on until Apply gives them the new ones. The
  // outer size is the one predicted until SizeWindow measures the frame.
  void SetDpi(int dpi);
  int dpi() const { return dpi_; }

  HFONT FontFor(ControlFont font) const;
  // Where `control` lies in its container.
  RECT PlaceOf(const ControlSpec& control) const;
  // Moves and sizes each control of `controls` (in the table's order) to its
  // place and gives it its font.
  void Apply(const std::array<HWND, 11>& controls);

  // The outer size that Windows' frame at `dpi` gives around the table's
  // client area there.
  SIZE OuterSizeAt(int dpi) const;
  // The window's fixed outer size at the DPI: as predicted, corrected by
  // what SizeWindow measured.
  SIZE OuterSize() const;
  // Sizes `window` so that its client area is the table's at the DPI, and
  // puts it at `place`'s top-left corner if given.
  void SizeWindow(HWND window, const RECT* place);

 private:
  DWORD style_;
  SIZE frame_correction_ = {};  // the frame measured, less the one predicted
  int dpi_ = 0;
  GdiObject message_font_;  // none where the stock one is of the size
  GdiObject tahoma_;
  GdiObject tahoma_bold_;
  std::array<GdiObject, 3> retired_;
};

}  // namespace quorvel
