// A picture that acts as a button: it shows one of the artwork's pictures with
// the window's background behind its transparent pixels, shows the hand cursor,
// reports a click to its parent as WM_COMMAND (STN_CLICKED), and never takes
// the keyboard focus.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <string>

#include "app/artwork.h"
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
  // drawn with its `name`: the name is for the system's accessibility proxy,
  // which gives it to screen readers.
  static HWND Create(HWND parent, int id, const std::wstring& name, const RECT& place,
                     Artwork& artwork, int number, HINSTANCE instance);

 private:
  PictureButton(Artwork& artwork, int number) : artwork_(artwork), number_(number) {}

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HWND window);

  Artwork& artwork_;
  int number_;
  bool pressed_ = false;
};

}  // namespace quorvel
