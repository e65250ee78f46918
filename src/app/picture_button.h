// A picture that acts as a button: it shows one of the artwork's pictures with
// the window's background behind its transparent pixels, shows the hand cursor,
// reports a click to its parent as WM_COMMAND (STN_CLICKED), and never takes
// the keyboard focus. Screen readers see a push button that they can press.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <string>

#include "app/artwork.h"
#include "app/picture_button_accessible.h"
#include "app/window_object.h"

namespace quorvel {

inline constexpr wchar_t kPictureButtonClass[] = L"Quorvel.Picture";

class PictureButton final : public WindowObject {
 public:
  // Registers the window class once per process.
  static void RegisterClass(HINSTANCE instance);

  // Creates the button as a child of `parent`, showing picture `number` of
  // `artwork` (borrowed, it must outlive the button) and its hand cursor,
  // whichever the artwork has for the DPI of the moment. The button is not
  // drawn with its `name`: screen readers name it by that, and describe it by
  // its `tool_tip`.
  static HWND Create(HWND parent, int id, const std::wstring& name, std::wstring tool_tip,
                     const RECT& place, Artwork& artwork, int number, HINSTANCE instance);

  // Tells `button`'s parent that it was clicked: sent, as the mouse does, or
  // posted, so that the caller returns before the click is handled. Returns
  // whether the click went.
  static bool Click(HWND button, bool posted);

 private:
  PictureButton(Artwork& artwork, int number, std::wstring tool_tip)
      : artwork_(artwork), number_(number), accessible_(std::move(tool_tip)) {}

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HWND window);

  Artwork& artwork_;
  int number_;
  bool pressed_ = false;
  PictureButtonAccessible accessible_;
};

}  // namespace quorvel
