// The form's controls at a DPI: the fonts made for it, and each control's
// place from the control table, a caption widened where its text needs it.
// The form makes it anew when it moves to a monitor of another DPI.
#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/handles.h"
#include "ui/control_table.h"

namespace quorvel {

class FormLayout {
 public:
  // Makes the fonts for `dpi`; a font that cannot be made is fatal. The
  // controls' old fonts live on until Apply gives them the new ones.
  void SetDpi(int dpi);
  int dpi() const { return dpi_; }

  HFONT FontFor(ControlFont font) const;
  // Where `control` lies in its container.
  RECT PlaceOf(const ControlSpec& control) const;
  // Moves and sizes each control of `controls` (in the table's order) to its
  // place and gives it its font.
  void Apply(const std::array<HWND, 11>& controls);

 private:
  int dpi_ = 0;
  GdiObject message_font_;
  GdiObject tahoma_;
  GdiObject tahoma_bold_;
  std::array<GdiObject, 3> retired_;
};

}  // namespace quorvel
