// What a screen reader makes of a picture button: a push button named by its
// caption, described by its tool tip, that it can press. Windows' standard
// accessible object for the button's client area answers all else. Its
// library, oleacc.dll, is no KnownDLL and is loaded from the system folder
// when a reader first asks, never at start.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace quorvel {

class PictureButtonAccessible {
 public:
  explicit PictureButtonAccessible(std::wstring tool_tip) : tool_tip_(std::move(tool_tip)) {}

  // The answer to WM_GETOBJECT for OBJID_CLIENT (`flags` is its wParam): a
  // new accessible object for `button`, or 0 where there can be none (no
  // oleacc, no memory), so that DefWindowProc answers as it would anyway.
  LRESULT AnswerClientRequest(HWND button, WPARAM flags);

 private:
  using CreateStandardFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

  std::wstring tool_tip_;
  ModuleHandle oleacc_;  // each object holds it too: the standard object's code lives there
  CreateStandardFunction create_standard_ = nullptr;
  LresultFromObjectFunction lresult_from_object_ = nullptr;
};

}  // namespace quorvel
