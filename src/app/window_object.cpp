#include "app/window_object.h"

#include "platform/win32/win32_error.h"

namespace quorvel {

void WindowObject::RegisterWindowClass(WNDCLASSEXW window_class) {
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = Procedure;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    FailWin32("RegisterClassExW");
  }
}

LRESULT CALLBACK WindowObject::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) come before the object.
  auto* object = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (object == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return object->HandleMessage(window, message, wparam, lparam);
}

}  // namespace quorvel
