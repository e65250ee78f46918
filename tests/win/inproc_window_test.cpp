// The window built inside the test process, for what only means something
// from inside: fonts, caption colours, cursors and the tool tips' own records.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fake/fake_services.h"
#include "platform/win32/handles.h"

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

TEST_F(WindowInProcess, FontsColoursCursorsAndToolTips) {
  EXPECT_EQ(SendMessageW(form_.Control(kText1), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  for (const int id : {kList1, kLabel1Index0, kLabel1Index1, kLabel1Index2, kLabel1Index3}) {
    SCOPED_TRACE(FindControl(id)->name);
    LOGFONTW font = {};
    const LRESULT handle = SendMessageW(form_.Control(id), WM_GETFONT, 0, 0);
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(handle), sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, -11);  // 8.25 points at the fixture's 96 DPI
    EXPECT_EQ(font.lfWeight, id == kList1 ? FW_NORMAL : FW_BOLD);
  }

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

  // The hand, pointing at its hot spot, over the pictures.
  for (const int id : {kImage1, kImage2, kImage3, kImage4}) {
    SCOPED_TRACE(FindControl(id)->name);
    const HWND picture = form_.Control(id);
    SetCursor(nullptr);
    EXPECT_TRUE(SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info));
    EXPECT_EQ(std::make_pair(info.xHotspot, info.yHotspot), std::make_pair(5ul, 0ul));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
  }
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

}  // namespace
}  // namespace quorvel
