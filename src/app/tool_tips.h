// The tool tips of the picture buttons, from the system's common controls,
// which are loaded from the system folder only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace quorvel {

class ToolTips {
 public:
  // Makes the tool tip window, owned by `owner`; a failure is fatal.
  void Create(HWND owner, HINSTANCE instance);
  // Shows `text` while the pointer rests on `tool`, a child of the owner.
  void Add(HWND tool, const std::wstring& text);
  // Gives the tool tips the font that Windows gives them at `dpi`: Windows
  // scales nothing of a per-monitor aware program's tool tips for the
  // monitor. Where Windows cannot say, they keep the font they have.
  void SetDpi(int dpi);

  HWND window() const { return window_; }

 private:
  ModuleHandle common_controls_;  // loaded for as long as the tool tips live
  HWND owner_ = nullptr;
  HWND window_ = nullptr;  // owned by the form's window, which destroys it
  GdiObject font_;
};

}  // namespace quorvel
