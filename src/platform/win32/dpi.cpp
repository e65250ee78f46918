#include "platform/win32/dpi.h"

#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"

namespace quorvel {

namespace {

constexpr int kDesignDpi = 96;

template <typename Function>
Function OptionalUserFunction(const char* function) {
  return OptionalFunction<Function>(GetModuleHandleW(L"user32.dll"), function);
}

int ScreenDpi() {
  const ScreenDc screen;
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int SystemDpi() {
  if (const auto get = OptionalUserFunction<UINT(WINAPI*)()>("GetDpiForSystem")) {
    if (const UINT dpi = get()) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

int WindowDpi(HWND window, const DpiQueries& queries) {
  if (queries.for_window) {
    if (const UINT dpi = queries.for_window(window)) return static_cast<int>(dpi);
  }
  // The system's DPI is fixed at sign-in; a per-monitor aware window on 8.1
  // and 10 before 1607 is told its monitor's by GetDpiForMonitor.
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  UINT x = 0, y = 0;
  if (queries.for_monitor &&
      SUCCEEDED(queries.for_monitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                    kEffectiveDpi, &x, &y)) &&
      x > 0) {
    return static_cast<int>(x);
  }
  return queries.system();
}

int WindowDpi(HWND window) {
  DpiQueries queries = {OptionalUserFunction<decltype(DpiQueries::for_window)>("GetDpiForWindow"),
                        nullptr, SystemDpi};
  ModuleHandle shcore;
  if (!queries.for_window) {
    // From the system folder, as every library; Windows before 8.1 has none.
    shcore = TryLoadSystemLibrary(L"shcore.dll");
    queries.for_monitor =
        OptionalFunction<decltype(DpiQueries::for_monitor)>(shcore.get(), "GetDpiForMonitor");
  }
  return WindowDpi(window, queries);
}

int SystemMetricAtDpi(int index, int dpi) {
  if (const auto get = OptionalUserFunction<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi")) {
    return get(index, static_cast<UINT>(dpi));
  }
  return GetSystemMetrics(index);
}

bool StatusFontAtDpi(int dpi, LOGFONTW* font) {
  using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  const auto get = OptionalUserFunction<ParametersForDpi>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!get || !get(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return false;
  *font = metrics.lfStatusFont;
  return true;
}

SIZE OuterSizeAtDpi(int width, int height, DWORD style, DWORD extended_style, int dpi) {
  RECT outer = {0, 0, width, height};
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  if (const auto adjust = OptionalUserFunction<AdjustForDpi>("AdjustWindowRectExForDpi")) {
    if (!adjust(&outer, style, FALSE, extended_style, static_cast<UINT>(dpi))) {
      FailWin32("AdjustWindowRectExForDpi");
    }
  } else if (!AdjustWindowRectEx(&outer, style, FALSE, extended_style)) {
    FailWin32("AdjustWindowRectEx");
  }
  return {outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace quorvel
