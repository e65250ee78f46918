// The window built inside the test process, for what only means something
// from inside: font and cursor handles, and the tool tips' own records.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/form1.h"
#include "platform/fake/fake_services.h"
#include "platform/win32/handles.h"

namespace quorvel {
namespace {

class WindowInProcess : public ::testing::Test {
 protected:
  WindowInProcess() : form_(services_, GetModuleHandleW(nullptr)) {
    services_.files["E:\\mensagem.txt"] = "Ol\xE1";
    form_.Create();
  }

  LOGFONTW FontOf(int id) const {
    LOGFONTW font = {};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(form_.Control(id), WM_GETFONT, 0, 0));
    EXPECT_NE(GetObjectW(handle, sizeof font, &font), 0);
    return font;
  }

  ComApartment apartment_;
  FakeServices services_;
  Form1 form_;
};

TEST_F(WindowInProcess, FontsOfTheControls) {
  EXPECT_EQ(SendMessageW(form_.Control(kText1), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));

  const HDC screen = GetDC(nullptr);
  const int height = -MulDiv(825, GetDeviceCaps(screen, LOGPIXELSY), 7200);
  ReleaseDC(nullptr, screen);
  const std::pair<int, LONG> tahoma_controls[] = {{kList1, FW_NORMAL},
                                                  {kLabel1Index0, FW_BOLD},
                                                  {kLabel1Index1, FW_BOLD},
                                                  {kLabel1Index2, FW_BOLD},
                                                  {kLabel1Index3, FW_BOLD}};
  for (const auto& [id, weight] : tahoma_controls) {
    SCOPED_TRACE(FindControl(id)->name);
    const LOGFONTW font = FontOf(id);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, height);
    EXPECT_EQ(font.lfWeight, weight);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
  }
}

TEST_F(WindowInProcess, HandCursorOverThePicturesOnly) {
  for (const int id : {kImage1, kImage2, kImage3, kImage4}) {
    SCOPED_TRACE(FindControl(id)->name);
    const HWND picture = form_.Control(id);
    SetCursor(nullptr);
    EXPECT_TRUE(SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u) << "the click lands at the index fingertip";
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  // A caption lets the mouse through to the form, whose pointer is the arrow.
  for (const int id : {kLabel1Index0, kLabel1Index1, kLabel1Index2, kLabel1Index3}) {
    EXPECT_EQ(SendMessageW(form_.Control(id), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  }
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(form_.window(), GCLP_HCURSOR)),
            LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(WindowInProcess, ToolTipsForThePicturesAndNothingElse) {
  const HWND tips = form_.ToolTipWindow();
  ASSERT_NE(tips, nullptr);
  const LRESULT count = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
  std::map<int, std::wstring> texts;
  for (LRESULT i = 0; i < count; ++i) {
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

TEST_F(WindowInProcess, TipoNamesTheTypeAndKeepsItsArgument) {
  EXPECT_EQ(form_.DriveTypeText, "");
  std::string code = "2";
  form_.Tipo(code);
  EXPECT_EQ(form_.DriveTypeText, "Drive Removivel");
  code = "3";
  form_.Tipo(code);
  code = "9";
  form_.Tipo(code);
  EXPECT_EQ(form_.DriveTypeText, "N\xC3\xA3o Determinado!");
  EXPECT_EQ(code, "9");
}

}  // namespace
}  // namespace quorvel
