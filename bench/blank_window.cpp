// The floor that Quorvel's start-up is measured against: a window with
// Quorvel's title, style and client size, centred, and nothing in it. Built by
// the same toolchain with the same flags as Quorvel.exe.

#include <windows.h>

#include "ui/control_table.h"

namespace {

constexpr wchar_t kClassName[] = L"Quorvel.Blank";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (screen == nullptr) return quorvel::kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : quorvel::kDesignDpi;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  const quorvel::FormSpec& form = quorvel::MainForm();
  wchar_t caption[64];
  if (MultiByteToWideChar(CP_UTF8, 0, form.caption, -1, caption, 64) == 0) return 1;

  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class)) return 1;

  const int dpi = ScreenDpi();
  RECT outer = {0, 0, quorvel::TwipsToPixels(form.client_width, dpi),
                quorvel::TwipsToPixels(form.client_height, dpi)};
  if (!AdjustWindowRectEx(&outer, kStyle, FALSE, 0)) return 1;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const HWND window =
      CreateWindowExW(0, kClassName, caption, kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                      (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                      instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show_command);
  UpdateWindow(window);

  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
