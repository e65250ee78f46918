// The display's DPI as Windows gives it to a per-monitor aware program, with
// the system-wide answers of older Windows where the per-window calls are
// missing. The per-window calls (Windows 10 1607 and later) are looked up in
// user32 when first asked for.
#pragma once

#include <windows.h>

namespace quorvel {

// The DPI of the system: the primary monitor's when the user signed in.
int SystemDpi();

// The calls that WindowDpi asks in turn, each where this Windows has it
// (null where not): the window's own DPI (Windows 10 1607 on), its monitor's
// effective DPI (GetDpiForMonitor, shcore.dll, Windows 8.1 on), and the
// system's.
struct DpiQueries {
  UINT(WINAPI* for_window)(HWND);
  HRESULT(WINAPI* for_monitor)(HMONITOR, int type, UINT* x, UINT* y);
  int (*system)();
};

// The DPI of the monitor that `window` is on: the first answer of `queries`.
int WindowDpi(HWND window, const DpiQueries& queries);
// The same with the calls of this Windows; shcore.dll is loaded only where
// GetDpiForWindow is missing.
int WindowDpi(HWND window);

// GetSystemMetrics(`index`) as it is at `dpi`; the system's own value where
// Windows cannot scale it per monitor.
int SystemMetricAtDpi(int index, int dpi);

// The font that Windows gives tool tips at `dpi` (the status font of the
// non-client metrics); false where Windows cannot say for a DPI (before 10
// 1607).
bool StatusFontAtDpi(int dpi, LOGFONTW* font);

// The outer size of a window of `style` and `extended_style` whose client
// area is `width` × `height` at `dpi`.
SIZE OuterSizeAtDpi(int width, int height, DWORD style, DWORD extended_style, int dpi);

}  // namespace quorvel
