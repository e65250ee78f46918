// The window built inside the test process, for what only means something
// from inside: fonts, caption colours, cursors, icons, the tool tips' own
// records, and the move to a monitor of another DPI. It runs at whatever DPI
// the prefix has; ctest runs it at 96 and at three other scales. The pictures
// are read back from the screen.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/artwork.h"
#include "app/form1.h"
#include "fake/fake_services.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "ui/layout_at_dpi.h"
#include "ui/picture_scaling.h"

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

// An icon's or cursor's width, as its mask's, and its hotspot.
struct IconShape {
  int width = 0;
  int hot_x = -1, hot_y = -1;
};

IconShape ShapeOf(HICON icon) {
  ICONINFO info = {};
  BITMAP mask = {};
  if (!GetIconInfo(icon, &info)) return {};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  return {mask.bmWidth, static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot)};
}

// `size` square pixels of `dc` from its top-left corner.
PixelPicture Grab(HDC dc, int size) {
  PixelPicture square{size, size, std::vector<std::uint32_t>(size * size)};
  for (int i = 0; i < size * size; ++i) square.pixels[i] = GetPixel(dc, i % size, i / size);
  return square;
}

// `art` as the system's decoder draws it at its own size, `size` pixels, with
// the button face where it is transparent.
PixelPicture Decoded(const EmbeddedFile& art, int size) {
  const ComPtr<IPicture> picture = LoadPictureFromMemory(art.data, art.size);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  const ScreenDc screen;
  const MemoryDc dc(CreateCompatibleDC(screen.get()));
  const GdiObject bitmap(CreateCompatibleBitmap(screen.get(), size, size));
  const HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  SetDCBrushColor(dc.get(), GetSysColor(COLOR_BTNFACE));
  const RECT all = {0, 0, size, size};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  picture->Render(dc.get(), 0, 0, size, size, 0, height, width, -height, nullptr);
  PixelPicture square = Grab(dc.get(), size);
  SelectObject(dc.get(), previous);
  return square;
}

// The one tool tip window of this thread, or nullptr.
HWND ThisThreadsToolTips() {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr));)
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) found.push_back(window);
  return found.size() == 1 ? found[0] : nullptr;
}

// Each picture as the window shows it, on the button face: at 48 pixels the
// 48-pixel drawing; at any other size the whole box, the 96-pixel drawing
// scaled to it by the scaling that the unit tests check.
void ExpectPicturesAt(const Form1& form, int dpi) {
  const int size = Pixels(720, dpi);
  RedrawWindow(form.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const EmbeddedFile* natural[] = {&kImage1Gif, &kImage2Gif, &kImage3Gif, &kImage4Gif};
  const EmbeddedFile* doubled[] = {&kImage1Gif2x, &kImage2Gif2x, &kImage3Gif2x, &kImage4Gif2x};
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(n + 1);
    const HWND picture = form.Control(kImage1 + n);  // `size` square, as laid out
    const HDC dc = GetDC(picture);                   // what the window shows, on screen or not
    const PixelPicture shown = Grab(dc, size);
    ReleaseDC(picture, dc);
    const PixelPicture art =
        size == 48 ? Decoded(*natural[n], 48) : ScalePicture(Decoded(*doubled[n], 96), size, size);
    EXPECT_TRUE(shown.pixels == art.pixels) << "pixels unlike the picture on the button face";
  }
}

// What a user sees of the form at `dpi`: the table's client area and places,
// each caption whole and centred where the table puts it, the fonts at their
// point sizes, the icons at the sizes Windows asks for there, and the hand at
// the cursor size, its hotspot on the top edge of the fingertip.
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
    const bool may_grow = control.kind == ControlKind::kLabel && dpi != 96;
    EXPECT_EQ(r.top, Pixels(t.top, dpi));
    EXPECT_EQ(r.bottom - r.top, Pixels(t.height, dpi));
    EXPECT_NEAR(r.left + r.right, Pixels(t.left, dpi) * 2 + Pixels(t.width, dpi), may_grow);
    EXPECT_TRUE(may_grow ? r.right - r.left >= Pixels(t.width, dpi)
                         : r.right - r.left == Pixels(t.width, dpi));

    const auto font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
    LOGFONTW used = {}, stock = {};
    GetObjectW(font, sizeof used, &used);
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    if (control.font == ControlFont::kDefaultGui) {
      EXPECT_EQ(std::wstring(used.lfFaceName), stock.lfFaceName);
      EXPECT_EQ(used.lfHeight, MulDiv(stock.lfHeight, dpi, SystemDpiOfTest()));
    } else if (control.font != ControlFont::kNone) {
      EXPECT_EQ(std::wstring(used.lfFaceName), L"Tahoma");
      EXPECT_EQ(used.lfHeight, -((825 * dpi + 3600) / 7200));  // 8.25 points
      EXPECT_EQ(used.lfWeight, control.kind == ControlKind::kLabel ? FW_BOLD : FW_NORMAL);
    }
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
  for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    const LRESULT icon = SendMessageW(form.window(), WM_GETICON, which, 0);
    EXPECT_EQ(ShapeOf(reinterpret_cast<HICON>(icon)).width, SystemMetricAtDpi(metric, dpi));
  }

  SetCursor(nullptr);
  for (const int id : {kImage1, kImage2, kImage3, kImage4}) {
    const auto picture = reinterpret_cast<WPARAM>(form.Control(id));
    EXPECT_TRUE(SendMessageW(form.Control(id), WM_SETCURSOR, picture, HTCLIENT));
  }
  const int wanted = SystemMetricAtDpi(SM_CXCURSOR, dpi);
  const IconShape hand = ShapeOf(GetCursor());
  EXPECT_EQ(hand.width, wanted <= 32 ? 32 : wanted <= 48 ? 48 : 64) << wanted;
  EXPECT_EQ(hand.hot_y, 0);
  EXPECT_NEAR(hand.hot_x, 5 * hand.width / 32, 1);
  ExpectPicturesAt(form, dpi);
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
  const HWND tips = ThisThreadsToolTips();
  ASSERT_NE(tips, nullptr);
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
// WM_DPICHANGED, which Wine never sends: sent here, to 1.25 × the DPI and back.
TEST_F(WindowInProcess, MovesToAMonitorOfAnotherDpiAndBack) {
  const int start = SystemDpiOfTest();
  for (const int dpi : {start * 5 / 4, start}) {
    // First Windows asks what size the window wants there: the frame at that
    // DPI around the table's client area.
    SIZE asked = {};
    EXPECT_TRUE(SendMessageW(form_.window(), kGetDpiScaledSizeMessage, dpi,
                             reinterpret_cast<LPARAM>(&asked)));
    const SIZE frame = OuterSizeAtDpi(0, 0, GetWindowLongW(form_.window(), GWL_STYLE), 0, dpi);
    EXPECT_EQ(std::pair(asked.cx - frame.cx, asked.cy - frame.cy),
              (std::pair<LONG, LONG>(Pixels(5775, dpi), Pixels(3600, dpi))));

    // Then it suggests a place, on the screen whole; the size is the
    // window's own to choose.
    const RECT suggested = {10, 20, 30, 40};
    SendMessageW(form_.window(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT outer;
    GetWindowRect(form_.window(), &outer);
    EXPECT_EQ(std::pair(outer.left, outer.top), std::pair(suggested.left, suggested.top));
    ExpectLaidOutAt(form_, dpi);
    // The tool tips' font, as Windows would make it for the DPI.
    const HWND tips = ThisThreadsToolTips();
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tips, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_NEAR(font.lfHeight, MulDiv(metrics.lfStatusFont.lfHeight, dpi, start), 1);

    // Neither dragging nor zooming changes the size at the new DPI.
    MINMAXINFO limits = {};
    SendMessageW(form_.window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(limits.ptMaxSize.y, outer.bottom - outer.top);
  }
}

// Windows may send it to a minimised window (a scale changed in Settings, a
// laptop docked), suggesting the icon's place: restored, the window is the
// table's size at the new DPI, where it was.
TEST_F(WindowInProcess, MovesToAnotherDpiWhileMinimised) {
  const int dpi = SystemDpiOfTest() * 5 / 4;
  RECT before, iconic;
  GetWindowRect(form_.window(), &before);
  ShowWindow(form_.window(), SW_MINIMIZE);
  GetWindowRect(form_.window(), &iconic);
  SendMessageW(form_.window(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&iconic));
  ShowWindow(form_.window(), SW_RESTORE);
  RECT after;
  GetWindowRect(form_.window(), &after);
  EXPECT_EQ(std::pair(after.left, after.top), std::pair(before.left, before.top));
  ExpectLaidOutAt(form_, dpi);
}

// Each step of WindowDpi's chain, as Windows 10 1607 on, 8.1 and 7 take it.
TEST_F(WindowInProcess, TheWindowsDpiFromTheWindowThenItsMonitorThenTheSystem) {
  const ModuleHandle shcore = TryLoadSystemLibrary(L"shcore.dll");
  DpiQueries queries = {
      OptionalFunction<decltype(DpiQueries::for_window)>(GetModuleHandleW(L"user32"),
                                                         "GetDpiForWindow"),
      OptionalFunction<decltype(DpiQueries::for_monitor)>(shcore.get(), "GetDpiForMonitor"),
      [] { return 1; }};
  if (!queries.for_window || !queries.for_monitor) GTEST_SKIP() << "Windows before 10 1607";
  const HWND window = form_.window();
  const int dpi = static_cast<int>(queries.for_window(window));
  EXPECT_EQ(WindowDpi(window, queries), dpi);
  queries.for_window = nullptr;
  EXPECT_EQ(WindowDpi(window, queries), dpi);
  queries.for_monitor = nullptr;
  EXPECT_EQ(WindowDpi(window, queries), 1);
}

// Put before the form's window procedure: counts the icons that WM_SETICON
// replaces, and those of them already destroyed.
struct IconWatch {
  WNDPROC form;
  int replaced = 0, dead = 0;
};

LRESULT CALLBACK WatchIcons(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto& watch = *static_cast<IconWatch*>(GetPropW(window, L"IconWatch"));
  if (message == WM_SETICON) {
    const auto old = CallWindowProcW(watch.form, window, WM_GETICON, wparam, 0);
    watch.replaced += old != 0;
    watch.dead += old != 0 && ShapeOf(reinterpret_cast<HICON>(old)).width == 0;
  }
  return CallWindowProcW(watch.form, window, message, wparam, lparam);
}

// DestroyCursor's documentation: a cursor in use must not be destroyed. With
// the pointer over a picture, a move to another DPI sets the new hand and
// icons before the old ones go.
TEST_F(WindowInProcess, SetsTheNewHandAndIconsBeforeDestroyingTheOld) {
  const HWND window = form_.window(), picture = form_.Control(kImage1);
  SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), HTCLIENT);
  IconWatch watch{};
  SetPropW(window, L"IconWatch", &watch);
  watch.form = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchIcons)));
  const int dpi = SystemDpiOfTest() == 96 ? 192 : 96;  // another cursor size
  RECT outer;
  GetWindowRect(window, &outer);
  SendMessageW(window, kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch.form));
  RemovePropW(window, L"IconWatch");
  EXPECT_EQ(std::pair(watch.replaced, watch.dead), std::pair(2, 0));
  EXPECT_EQ(ShapeOf(GetCursor()).width, dpi / 3) << "the new hand: 32 pixels at 96 DPI, 64 at 192";
}

}  // namespace
}  // namespace quorvel
