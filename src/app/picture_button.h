// A picture that acts as a button: it shows a GIF at its natural size with the
// window's background behind its transparent pixels, shows the hand cursor,
// reports a click to its parent as WM_COMMAND (STN_CLICKED), and never takes
// the keyboard focus.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <string>

#include "app/window_object.h"
#include "platform/win32/handles.h"

namespace quorvel {

inline constexpr wchar_t kPictureButtonClass[] = L"Quorvel.Picture";

class PictureButton final : public WindowObject {
 public:
  // Registers the window class once per process.
  static void RegisterClass(HINSTANCE instance);

  // Creates the button as a child of `parent`; the picture and the cursor are
  // borrowed and must outlive the button. The button is not drawn with its
  // `name`: the name is for the system's accessibility proxy, which gives it
  // to screen readers.
  static HWND Create(HWND parent, int id, const std::wstring& name, const RECT& place,
                     IPicture* picture, HCURSOR cursor, HINSTANCE instance);

 private:
  PictureButton(IPicture* picture, HCURSOR cursor) : picture_(picture), cursor_(cursor) {}

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HWND window);

  IPicture* picture_;
  HCURSOR cursor_;
  bool pressed_ = false;
};

// Decodes a picture (GIF, BMP, ICO, ...) from bytes in memory with the
// system's own decoder.
ComPtr<IPicture> LoadPictureFromMemory(const unsigned char* data, std::size_t size);

}  // namespace quorvel
