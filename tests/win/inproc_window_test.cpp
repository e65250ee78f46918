// The window built inside the test process, for what only means something
// from inside: fonts, caption colours, cursors, icons, the tool tips' own
// records, and the move to a monitor of another DPI. It runs at whatever DPI
// the prefix has; ctest runs it at 96 and at three other scales.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fake/fake_services.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "ui/layout_at_dpi.h"

namespace quorvel {
namespace {

struct WindowInProcess : ::testing::Test {
  WindowInProcess() {
    form_.Create();
    form_.Show(SW_SHOWNOACTIVATE);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  ComApartment apartment_;
  FakeServices services_;
  Form1 form_{services_, GetModuleHandleW(nullptr)};
};

// Twips as pixels at `dpi`, written out here rather than taken from the code.
int Pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

int SystemDpiOfTest() {
  const ScreenDc screen;
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The size of an icon or cursor's mask, which is as wide as the image.
int IconWidth(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP mask = {};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return mask.bmWidth;
}

// What a user sees of the form at `dpi`: the table's client area and places,
// each caption whole and centred where the table puts it, the fonts at their
// point sizes, and the icons at the sizes Windows asks for there.
void ExpectLaidOutAt(const Form1& form, int dpi) {
  SCOPED_TRACE(dpi);
  RECT client;
  GetClientRect(form.window(), &client);
  EXPECT_EQ(client.right, Pixels(5775, dpi));
  EXPECT_EQ(client.bottom, Pixels(3600, dpi));
  for (const ControlSpec& control : MainControls()) {
    SCOPED_TRACE(control.name);
    const HWND handle = form.Control(control.id);
    RECT r;
    GetWindowRect(handle, &r);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&r), 2);
    const TwipsRect& t = control.place;
    EXPECT_EQ(r.top, Pixels(t.top, dpi));
    EXPECT_EQ(r.bottom - r.top, Pixels(t.height, dpi));
    if (control.kind != ControlKind::kLabel || dpi == 96) {
      EXPECT_EQ(r.left, Pixels(t.left, dpi));
      EXPECT_EQ(r.right - r.left, Pixels(t.width, dpi));
    } else {
      EXPECT_NEAR(r.left + r.right, Pixels(t.left, dpi) * 2 + Pixels(t.width, dpi), 1);
      EXPECT_GE(r.right - r.left, Pixels(t.width, dpi));
    }
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
    LOGFONTW logfont = {};
    if (control.font == ControlFont::kNone) continue;
    ASSERT_NE(GetObjectW(font, sizeof logfont, &logfont), 0);
    if (control.font == ControlFont::kDefaultGui) {
      LOGFONTW stock = {};
      GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
      EXPECT_STREQ(logfont.lfFaceName, stock.lfFaceName);
      EXPECT_EQ(logfont.lfHeight, MulDiv(stock.lfHeight, dpi, SystemDpiOfTest()));
      continue;
    }
    EXPECT_STREQ(logfont.lfFaceName, L"Tahoma");
    EXPECT_EQ(logfont.lfHeight, -((825 * dpi + 3600) / 7200));  // 8.25 points
    EXPECT_EQ(logfont.lfWeight, control.kind == ControlKind::kLabel ? FW_BOLD : FW_NORMAL);
    if (control.kind == ControlKind::kLabel) {
      const ScreenDc screen;
      const HGDIOBJ previous = SelectObject(screen.get(), font);
      wchar_t caption[32] = {};
      SIZE text = {};
      GetTextExtentPoint32W(screen.get(), caption, GetWindowTextW(handle, caption, 32), &text);
      SelectObject(screen.get(), previous);
      EXPECT_LE(text.cx, r.right - r.left) << "the caption is cut";
    }
  }
  const auto icon_width = [&](WPARAM which) {
    return IconWidth(reinterpret_cast<HICON>(SendMessageW(form.window(), WM_GETICON, which, 0)));
  };
  EXPECT_EQ(icon_width(ICON_BIG), SystemMetricAtDpi(SM_CXICON, dpi));
  EXPECT_EQ(icon_width(ICON_SMALL), SystemMetricAtDpi(SM_CXSMICON, dpi));

  // The hand over the pictures, the rendition for the cursor size there, and
  // its hotspot on the top edge of the fingertip.
  for (const int id : {kImage1, kImage2, kImage3, kImage4}) {
    SCOPED_TRACE(FindControl(id)->name);
    const HWND picture = form.Control(id);
    SetCursor(nullptr);
    EXPECT_TRUE(SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    const int wanted = SystemMetricAtDpi(SM_CXCURSOR, dpi);
    const int width = IconWidth(GetCursor());
    EXPECT_EQ(width, wanted <= 32 ? 32 : wanted <= 48 ? 48 : 64) << wanted;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info));
    EXPECT_EQ(info.yHotspot, 0ul);
    EXPECT_NEAR(static_cast<int>(info.xHotspot), 5 * width / 32, 1);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
  }
}

TEST_F(WindowInProcess, FontsColoursCursorsAndToolTips) {
  ExpectLaidOutAt(form_, SystemDpiOfTest());

  // The captions in the button text colour on the button face, in a scheme
  // in which the button text is not the window text.
  const int element = COLOR_BTNTEXT;
  const COLORREF saved = GetSysColor(COLOR_BTNTEXT), green = RGB(0, 128, 0);
  ASSERT_TRUE(SetSysColors(1, &element, &green));
  const ScreenDc dc;
  SendMessageW(form_.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
               reinterpret_cast<LPARAM>(form_.Control(kLabel1Index0)));
  EXPECT_EQ(GetTextColor(dc.get()), green);
  EXPECT_EQ(GetBkColor(dc.get()), GetSysColor(COLOR_BTNFACE));
  SetSysColors(1, &element, &saved);

  // The captions let the mouse through to the form, whose pointer is the arrow.
  for (const int id : {kLabel1Index0, kLabel1Index1, kLabel1Index2, kLabel1Index3}) {
    EXPECT_EQ(SendMessageW(form_.Control(id), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  }
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(form_.window(), GCLP_HCURSOR)),
            LoadCursorW(nullptr, IDC_ARROW));

  // Tool tips for the pictures and nothing else, made once although anyone
  // may post the message that asks for them.
  for (int i = 0; i < 3; ++i) PostMessageW(form_.window(), kCreateToolTipsMessage, 0, 0);
  for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  std::vector<HWND> tool_tip_windows;  // this thread's
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr));)
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
      tool_tip_windows.push_back(window);
  ASSERT_EQ(tool_tip_windows.size(), 1u);
  const HWND tips = tool_tip_windows[0];
  std::map<int, std::wstring> texts;
  for (LRESULT i = 0; i < SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0); ++i) {
    wchar_t text[80] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    texts[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = text;
  }
  const std::map<int, std::wstring> expected = {{kImage1, L"Sair"},
                                                {kImage2, L"Mensagem do dono"},
                                                {kImage3, L"Especifica\u00E7\u00F5es da pen"},
                                                {kImage4, L"Abrir Pen"}};
  EXPECT_EQ(texts, expected);
}

// Windows moves a per-monitor aware window to a monitor of another DPI with
// WM_DPICHANGED, which Wine never sends: sent here, to 1.5 × the DPI and back.
TEST_F(WindowInProcess, MovesToAMonitorOfAnotherDpiAndBack) {
  const int start = SystemDpiOfTest();
  for (const int dpi : {start * 3 / 2, start}) {
    // First Windows asks what size the window wants there: the frame at that
    // DPI around the table's client area.
    SIZE asked = {};
    EXPECT_TRUE(SendMessageW(form_.window(), kGetDpiScaledSizeMessage, dpi,
                             reinterpret_cast<LPARAM>(&asked)));
    const SIZE frame = OuterSizeAtDpi(0, 0, GetWindowLongW(form_.window(), GWL_STYLE), 0, dpi);
    EXPECT_EQ(asked.cx - frame.cx, Pixels(5775, dpi));
    EXPECT_EQ(asked.cy - frame.cy, Pixels(3600, dpi));

    // Then it suggests a place; the size is the window's own to choose.
    RECT outer;
    GetWindowRect(form_.window(), &outer);
    const RECT suggested = {outer.left + 10, outer.top + 20, outer.left + 30, outer.top + 40};
    SendMessageW(form_.window(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(form_.window(), &outer);
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(outer.top, suggested.top);
    ExpectLaidOutAt(form_, dpi);

    // Neither dragging nor zooming changes the size at the new DPI.
    MINMAXINFO limits = {};
    SendMessageW(form_.window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(limits.ptMaxSize.y, outer.bottom - outer.top);
  }
}

}  // namespace
}  // namespace quorvel
