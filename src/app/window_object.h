// A window class whose windows are each handled by a C++ object: the object
// is given to CreateWindowExW, stored with its window when the window is
// created, and handed every message after that with the window it is for.
#pragma once

#include <windows.h>

namespace quorvel {

class WindowObject {
 public:
  WindowObject() = default;
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  virtual ~WindowObject() = default;

 protected:
  // Registers `window_class` with the procedure that hands messages to the
  // objects; a class already registered is no failure.
  static void RegisterWindowClass(WNDCLASSEXW window_class);

  // What to pass to CreateWindowExW as its last argument.
  void* CreationParameter() { return this; }

  // The object's answer to `message` for `window`. WM_NCDESTROY is the last
  // message it hears of the window.
  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace quorvel
