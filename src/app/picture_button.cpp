#include "app/picture_button.h"

#include <memory>

#include "platform/win32/win32_error.h"

namespace quorvel {

void PictureButton::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.hInstance = instance;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kPictureButtonClass;
  RegisterWindowClass(window_class);
}

HWND PictureButton::Create(HWND parent, int id, const std::wstring& name, std::wstring tool_tip,
                           const RECT& place, Artwork& artwork, int number, HINSTANCE instance) {
  auto button =
      std::unique_ptr<PictureButton>(new PictureButton(artwork, number, std::move(tool_tip)));
  const HWND window = CreateWindowExW(
      0, kPictureButtonClass, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, place.left,
      place.top, place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, button->CreationParameter());
  if (window == nullptr) FailWin32("CreateWindowExW");
  button.release();  // the window owns it now, until WM_NCDESTROY
  return window;
}

LRESULT PictureButton::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && artwork_.HandCursor() != nullptr) {
        SetCursor(artwork_.HandCursor());
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      // Like a button: the click happens when the mouse is let go over it.
      pressed_ = true;
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP: {
      const bool was_pressed = pressed_;
      pressed_ = false;
      ReleaseCapture();
      RECT client;
      GetClientRect(window, &client);
      const POINT point = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (was_pressed && PtInRect(&client, point)) Click(window, false);
      return 0;
    }
    case WM_GETOBJECT:
      // Only the client area is the button's to answer for; the cast, as
      // WM_GETOBJECT's documentation asks, keeps a sign-extended id from
      // failing the comparison on 64-bit Windows.
      if (static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT object = accessible_.AnswerClientRequest(window, wparam)) return object;
      }
      break;
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    case WM_NCDESTROY: {
      // The button was the window's, and goes with it.
      const LRESULT result = DefWindowProcW(window, message, wparam, lparam);
      delete this;
      return result;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool PictureButton::Click(HWND button, bool posted) {
  const HWND parent = GetParent(button);
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), STN_CLICKED);
  const auto from = reinterpret_cast<LPARAM>(button);
  if (posted) return parent != nullptr && PostMessageW(parent, WM_COMMAND, command, from);
  SendMessageW(parent, WM_COMMAND, command, from);
  return true;
}

void PictureButton::Paint(HWND window) {
  const PaintDc paint(window);
  if (paint.get() == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  artwork_.Picture(number_).Paint(paint.get(), client);
}

}  // namespace quorvel
