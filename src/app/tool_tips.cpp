#include "app/tool_tips.h"

#include <commctrl.h>

#include <utility>

#include "platform/win32/dpi.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"

namespace quorvel {

void ToolTips::Create(HWND owner, HINSTANCE instance) {
  common_controls_ = LoadSystemLibrary(L"comctl32.dll");
  const auto init = SystemFunctionAs<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      common_controls_.get(), "InitCommonControlsEx");
  const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  if (!init(&classes)) FailWin32("InitCommonControlsEx");

  owner_ = owner;
  window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  if (window_ == nullptr) FailWin32("CreateWindowExW");
}

void ToolTips::Add(HWND tool, const std::wstring& text) {
  TOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner_;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text.c_str());  // the control keeps its own copy
  if (!SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) {
    FailWin32("TTM_ADDTOOLW", ERROR_INVALID_PARAMETER);
  }
}

void ToolTips::SetDpi(int dpi) {
  LOGFONTW status;
  if (window_ == nullptr || !StatusFontAtDpi(dpi, &status)) return;
  GdiObject font(CreateFontIndirectW(&status));
  if (!font) return;  // the tool tips keep the font they have
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);  // the one it replaces is no longer used
}

}  // namespace quorvel
