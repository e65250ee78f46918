// The window built inside the test process, for what only means something
// from inside: fonts, colours, cursors, icons, the tool tips' own records,
// what the pictures answer a screen reader, and the move to a monitor of
// another DPI. It runs at whatever DPI the prefix has; ctest runs it at 96
// and at three other scales, and under a dark scheme. The pictures are read
// back from the screen.
#include "win/program_under_test.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <set>

#include "app/form1.h"
#include "fake/fake_services.h"
#include "platform/win32/dpi.h"
#include "platform/win32/system_library.h"
#include "ui/icon_image.h"

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
  const int dpi_ = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);  // the system's DPI
};

// Twips as pixels at `dpi`, written out here rather than taken from the code.
LONG Pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

// A bitmap's `size` square pixels, top down, 32 bits each.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int size) {
  BITMAPINFO info = {{sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  std::vector<std::uint32_t> pixels(size * size);
  GetDIBits(ScreenDc().get(), bitmap, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}

// An icon's or cursor's width, as its mask's, its hotspot, and its colour
// and mask pixels.
struct IconShape {
  int width = 0, hot_x = -1, hot_y = -1;
  std::vector<std::uint32_t> colour, mask;
};

IconShape ShapeOf(HICON icon) {
  ICONINFO info = {};
  BITMAP mask = {};
  if (!GetIconInfo(icon, &info)) return {};
  const GdiObject colour_bitmap(info.hbmColor), mask_bitmap(info.hbmMask);
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  return {mask.bmWidth, static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot),
          Pixels(info.hbmColor, mask.bmWidth), Pixels(info.hbmMask, mask.bmWidth)};
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
  OLE_XSIZE_HIMETRIC width = 0, height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  // The bitmap outlives the DC, which is deleted with it selected.
  const GdiObject bitmap(CreateCompatibleBitmap(ScreenDc().get(), size, size));
  const MemoryDc dc(CreateCompatibleDC(nullptr));
  SelectObject(dc.get(), bitmap.get());
  const RECT all = {0, 0, size, size};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_BTNFACE));  // follows SetSysColors
  picture->Render(dc.get(), 0, 0, size, size, 0, height, width, -height, nullptr);
  return Grab(dc.get(), size);
}

// The one tool tip window of this thread, or nullptr.
HWND ThisThreadsToolTips() {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr));)
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) found.push_back(window);
  return found.size() == 1 ? found[0] : nullptr;
}

// What a user sees of the form at `dpi`: the table's client area and places,
// each caption whole and centred where the table puts it, the fonts at their
// point sizes, the pictures, the icons at the sizes Windows asks for there,
// and the hand at the cursor size, its hotspot on the top edge of the
// fingertip.
void ExpectLaidOutAt(const Form1& form, int dpi) {
  SCOPED_TRACE(dpi);
  RedrawWindow(form.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const EmbeddedFile* natural[] = {&kImage1Gif, &kImage2Gif, &kImage3Gif, &kImage4Gif};
  const EmbeddedFile* doubled[] = {&kImage1Gif2x, &kImage2Gif2x, &kImage3Gif2x, &kImage4Gif2x};
  RECT client;
  GetClientRect(form.window(), &client);
  EXPECT_EQ(std::pair(client.right, client.bottom),
            std::pair(Pixels(5775, dpi), Pixels(3600, dpi)));
  SetCursor(nullptr);  // so that GetCursor shows what the pictures set below
  for (const ControlSpec& control : MainControls()) {
    SCOPED_TRACE(control.name);
    const HWND handle = form.Control(control.id);
    RECT r;
    GetWindowRect(handle, &r);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&r), 2);
    const TwipsRect& t = control.place;
    const bool may_grow = control.kind == ControlKind::kLabel && dpi != 96;
    const LONG width = r.right - r.left, wanted = Pixels(t.width, dpi);
    EXPECT_EQ(std::pair(r.top, r.bottom - r.top),
              std::pair(Pixels(t.top, dpi), Pixels(t.height, dpi)));
    EXPECT_NEAR(r.left + r.right, Pixels(t.left, dpi) * 2 + wanted, may_grow);
    EXPECT_EQ(may_grow ? std::min(width, wanted) : width, wanted);

    const auto font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
    LOGFONTW used = {}, stock = {};
    GetObjectW(font, sizeof used, &used);
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    if (control.font == ControlFont::kDefaultGui) {
      EXPECT_EQ(std::wstring(used.lfFaceName), stock.lfFaceName);
      EXPECT_EQ(used.lfHeight, -((800 * dpi + 3600) / 7200));  // 8 points
      EXPECT_EQ(font == GetStockObject(DEFAULT_GUI_FONT), used.lfHeight == stock.lfHeight);
    } else if (control.font != ControlFont::kNone) {
      EXPECT_EQ(std::wstring(used.lfFaceName), L"Tahoma");
      EXPECT_EQ(used.lfHeight, -((825 * dpi + 3600) / 7200));  // 8.25 points
      EXPECT_EQ(used.lfWeight, control.kind == ControlKind::kLabel ? FW_BOLD : FW_NORMAL);
    }
    if (control.kind == ControlKind::kLabel) {
      // The caption lets the mouse through to the form.
      EXPECT_EQ(SendMessageW(handle, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
      const MemoryDc dc(CreateCompatibleDC(nullptr));  // deleted with the font selected
      SelectObject(dc.get(), font);
      wchar_t caption[32] = {};
      SIZE text = {};
      GetTextExtentPoint32W(dc.get(), caption, GetWindowTextW(handle, caption, 32), &text);
      EXPECT_LE(text.cx, width) << "the caption is cut";
    }
    if (control.kind != ControlKind::kPicture) continue;
    EXPECT_TRUE(SendMessageW(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), HTCLIENT));
    // The picture as the window shows it, on the button face: at 48 pixels
    // the 48-pixel drawing; at any other size the whole box, the 96-pixel
    // drawing scaled to it by the scaling that the unit tests check.
    const int n = control.id - kImage1, size = Pixels(720, dpi);
    const HDC dc = GetDC(handle);  // what the window shows, on screen or not
    const PixelPicture shown = Grab(dc, size);
    ReleaseDC(handle, dc);
    const PixelPicture art =
        size == 48 ? Decoded(*natural[n], 48) : ScalePicture(Decoded(*doubled[n], 96), size, size);
    EXPECT_TRUE(shown.pixels == art.pixels) << "pixels unlike the picture on the button face";
  }
  const auto resource = [](const wchar_t* name, const wchar_t* type) {
    const HRSRC found = FindResourceW(nullptr, name, type);
    return std::span(static_cast<BYTE*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
  };
  for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(form.window(), WM_GETICON, which, 0));
    const int size = std::min(SystemMetricAtDpi(metric, dpi), 48);  // never scaled up
    const IconShape shape = ShapeOf(icon);
    EXPECT_EQ(shape.width, size);
    if (size % 16 == 0) continue;
    // A size that the group lacks: the group's next larger image, as the
    // system picks it for a true-colour screen, scaled by the program's
    // scaler, its mask set exactly where it is transparent.
    const int larger = size < 32 ? 32 : 48;
    const auto group = resource(MAKEINTRESOURCEW(kIconGroupId), RT_GROUP_ICON);
    const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, larger, larger, 0);
    const PixelPicture scaled = ScalePicture(
        DecodeIconImage(resource(MAKEINTRESOURCEW(id), RT_ICON)), size, size, Alpha::kStraight);
    EXPECT_TRUE(shape.colour == scaled.pixels) << "unlike the group's image scaled";
    EXPECT_TRUE(std::ranges::equal(shape.mask, scaled.pixels, [](auto mask, auto pixel) {
      return (mask != 0) == (pixel >> 24 == 0);
    })) << "mask pixels set where not transparent, or not set where so";
  }

  const IconShape hand = ShapeOf(GetCursor());
  // The rendition (32, 48 or 64) at or above Windows' cursor size.
  EXPECT_EQ(hand.width, std::clamp((SystemMetricAtDpi(SM_CXCURSOR, dpi) + 15) / 16 * 16, 32, 64));
  EXPECT_EQ(hand.hot_y, 0);
  EXPECT_NEAR(hand.hot_x, 5 * hand.width / 32, 1);
}

TEST_F(WindowInProcess, FontsColoursCursorsAndToolTips) {
  ExpectLaidOutAt(form_, dpi_);

  // The form's pointer, where the captions let the mouse through, is the arrow.
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(form_.window(), GCLP_HCURSOR)),
            LoadCursorW(nullptr, IDC_ARROW));

  // Tool tips for the pictures and nothing else, made once although anyone
  // may post the message that asks for them.
  for (int i = 0; i < 3; ++i) PostMessageW(form_.window(), kCreateToolTipsMessage, 0, 0);
  for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  const HWND tips = ThisThreadsToolTips();
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 4);
  const wchar_t* expected[] = {L"Sair", L"Mensagem do dono", L"Especifica\u00E7\u00F5es da pen",
                               L"Abrir Pen"};
  for (int n = 0; n < 4; ++n) {
    wchar_t text[80] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE, tool.hwnd = form_.window(), tool.lpszText = text;
    tool.uId = reinterpret_cast<UINT_PTR>(form_.Control(kImage1 + n));
    SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, expected[n]);
  }
}

// Put before the form's window procedure: whether each icon that WM_SETICON
// replaces is still alive then.
struct IconWatch {
  WNDPROC form;
  std::vector<bool> alive;
};

LRESULT CALLBACK WatchIcons(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto& watch = *static_cast<IconWatch*>(GetPropW(window, L"IconWatch"));
  if (message == WM_SETICON)
    if (const LRESULT old = CallWindowProcW(watch.form, window, WM_GETICON, wparam, 0))
      watch.alive.push_back(ShapeOf(reinterpret_cast<HICON>(old)).width != 0);
  return CallWindowProcW(watch.form, window, message, wparam, lparam);
}

// Windows moves a per-monitor aware window to a monitor of another DPI with
// WM_DPICHANGED, which Wine never sends: sent here, to 1.25 × the DPI, back,
// and there again while minimised, as Windows may send it when a scale
// changes in Settings or a laptop is docked. The pointer is over a picture:
// a cursor or icon in use must not be destroyed (DestroyCursor's
// documentation), so the new ones take their places first.
TEST_F(WindowInProcess, MovesToAnotherDpiAndBackAndAgainWhileMinimised) {
  const HWND window = form_.window(), picture = form_.Control(kImage1);
  IconWatch watch{reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), {}};
  SetPropW(window, L"IconWatch", &watch);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchIcons));
  const int larger = dpi_ * 5 / 4;
  for (const auto& [dpi, minimised] : {std::pair{larger, false}, {dpi_, false}, {larger, true}}) {
    SCOPED_TRACE(minimised ? "minimised" : "");
    // First Windows asks what size the window wants there: the frame at that
    // DPI around the table's client area.
    SIZE asked = {};
    EXPECT_TRUE(
        SendMessageW(window, kGetDpiScaledSizeMessage, dpi, reinterpret_cast<LPARAM>(&asked)));
    const SIZE frame = OuterSizeAtDpi(0, 0, GetWindowLongW(window, GWL_STYLE), 0, dpi);
    EXPECT_EQ(std::pair(asked.cx - frame.cx, asked.cy - frame.cy),
              std::pair(Pixels(5775, dpi), Pixels(3600, dpi)));

    // Then it suggests a place, on the screen whole; the size is the
    // window's own to choose. A minimised window is suggested its icon's
    // place, and is restored where it was, sized for the DPI.
    RECT suggested = {10, 20, 30, 40}, outer;
    if (minimised) ShowWindow(window, SW_MINIMIZE), GetWindowRect(window, &suggested);
    SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), HTCLIENT);
    SendMessageW(window, kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    if (minimised) ShowWindow(window, SW_RESTORE);
    const HCURSOR in_use = GetCursor();
    GetWindowRect(window, &outer);
    EXPECT_EQ(std::pair(outer.left, outer.top), std::pair(10L, 20L));
    ExpectLaidOutAt(form_, dpi);  // which puts the pictures' hand for the DPI in use
    EXPECT_EQ(GetCursor(), in_use) << "not the new hand in use";
    // The tool tips' font, as Windows would make it for the DPI.
    const HWND tips = ThisThreadsToolTips();
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tips, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_NEAR(font.lfHeight, MulDiv(metrics.lfStatusFont.lfHeight, dpi, dpi_), 1);

    // Neither dragging nor zooming changes the size at the new DPI.
    MINMAXINFO limits = {};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(limits.ptMaxSize.y, outer.bottom - outer.top);
  }
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch.form));
  EXPECT_EQ(watch.alive, std::vector<bool>(6, true)) << "the icons replaced, alive then";
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
  const int dpi = static_cast<int>(queries.for_window(form_.window()));
  EXPECT_EQ(WindowDpi(form_.window(), queries), dpi);
  queries.for_window = nullptr;
  EXPECT_EQ(WindowDpi(form_.window(), queries), dpi);
  queries.for_monitor = nullptr;
  EXPECT_EQ(WindowDpi(form_.window(), queries), 1);
}

// A screen reader asks each picture for its client area's object: a push
// button whose default action posts the mouse's click to the form, once, and
// returns before it is handled (the end-to-end test reads the rest from
// another process). On x64 the id may come sign- or zero-extended. Every
// other request gets DefWindowProc's answer, as before.
TEST_F(WindowInProcess, PicturesAnswerScreenReadersForTheirClientAreaAlone) {
  VARIANT self = {}, child = {}, role = {};
  self.vt = child.vt = VT_I4;  // CHILDID_SELF, and a child that no picture has
  child.lVal = 1;
  for (const int id : {kImage1, kImage2, kImage3, kImage4}) {
    SCOPED_TRACE(id);
    const HWND picture = form_.Control(id);
    // -25 is UI Automation's.
    for (const LPARAM other : {OBJID_WINDOW, OBJID_CURSOR, OBJID_NATIVEOM, LONG{-25}, LONG{1}})
      EXPECT_EQ(SendMessageW(picture, WM_GETOBJECT, 0, other),
                DefWindowProcW(picture, WM_GETOBJECT, 0, other))
          << other;
    for (const LPARAM client :
         {LPARAM{OBJID_CLIENT}, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT))}) {
      ComPtr<IAccessible> object;
      ComPtr<IOleWindow> window;
      HWND answer = nullptr;
      const LRESULT answered = SendMessageW(picture, WM_GETOBJECT, 0, client);
      ASSERT_EQ(ObjectFromLresult(answered, __uuidof(IAccessible), 0, object.put_void()), S_OK)
          << client;
      EXPECT_TRUE(object->get_accRole(self, &role) == S_OK && role.lVal == ROLE_SYSTEM_PUSHBUTTON);
      EXPECT_TRUE(SUCCEEDED(object->QueryInterface(__uuidof(IOleWindow), window.put_void())) &&
                  window->GetWindow(&answer) == S_OK && answer == picture);
      EXPECT_EQ(object->accDoDefaultAction(child), E_INVALIDARG);
      EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
      MSG posted = {};
      ASSERT_TRUE(PeekMessageW(&posted, form_.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
      EXPECT_EQ(std::pair(posted.wParam, posted.lParam),
                std::pair(WPARAM{MAKEWPARAM(id, STN_CLICKED)}, reinterpret_cast<LPARAM>(picture)));
      EXPECT_FALSE(PeekMessageW(&posted, form_.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    }
  }
}

// `window` shows text in the system colour `text` on `background`: both
// colours, and only smoothed edges between them. The captions reach a little
// below the form: only what is shown counts.
void ExpectTextIn(HWND window, int text, int background) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
  const COLORREF ink = GetSysColor(text), paper = GetSysColor(background);
  const HDC dc = GetDC(window);
  RECT shown;
  GetClipBox(dc, &shown);
  std::set<COLORREF> colours;
  for (int y = shown.top; y < shown.bottom; ++y)
    for (int x = shown.left; x < shown.right; ++x) colours.insert(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  EXPECT_TRUE(colours.contains(ink) && colours.contains(paper));
  for (const COLORREF colour : colours)
    for (const int shift : {0, 8, 16}) {  // each channel between the two colours'
      const int c = colour >> shift & 0xFF, a = ink >> shift & 0xFF, b = paper >> shift & 0xFF;
      EXPECT_LE((c - a) * (c - b), 0) << std::hex << colour;
    }
}

// Under a dark scheme in force before the start, as a contrast theme leaves
// it (ctest's window-dark entries; on a PC, a dark contrast theme and
// QUORVEL_EXPECT_COLOURS=dark): the captions in the button text on the
// button face, the message box and the list in the window's colours. The
// tests above see the pictures on that face.
TEST_F(WindowInProcess, ADarkSchemesColoursInTheCaptionsBoxAndList) {
  if (testing::Environment(L"QUORVEL_EXPECT_COLOURS") != L"dark")
    GTEST_SKIP() << "needs a dark scheme in force and QUORVEL_EXPECT_COLOURS=dark";
  // wine-exec's scheme gives the buttons other colours than the window, so
  // that each check tells them apart; Windows' High Contrast Black does not.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  ASSERT_LT(GetRValue(face) + GetGValue(face) + GetBValue(face), 3 * 128) << "no dark scheme";
  for (const int id : {kLabel1Index0, kLabel1Index1, kLabel1Index2, kLabel1Index3})
    ExpectTextIn(form_.Control(id), COLOR_BTNTEXT, COLOR_BTNFACE);
  SetFocus(nullptr);  // no caret or focus rectangle, drawn inverted in no colour of the scheme
  SetWindowTextW(form_.Control(kText1), L"Ol\u00E1, isto \u00E9 uma mensagem.");
  ExpectTextIn(form_.Control(kText1), COLOR_WINDOWTEXT, COLOR_WINDOW);
  SendMessageW(form_.window(), WM_COMMAND, MAKEWPARAM(kImage3, STN_CLICKED), 0);
  ExpectTextIn(form_.Control(kList1), COLOR_WINDOWTEXT, COLOR_WINDOW);
}

// A scheme changed while the window is up, as when a contrast theme is
// switched on or off: the pictures on the new face, also where the scaled
// ones keep one made on the old; the rest as before. SetSysColors would
// change a PC user's.
TEST_F(WindowInProcess, PicturesOnTheFaceOfASchemeChangedWhileTheWindowIsUp) {
  if (!testing::FixtureDrives()) GTEST_SKIP() << testing::kNeedsFixture;
  const int element = COLOR_BTNFACE;
  const COLORREF before = GetSysColor(element);
  for (const COLORREF face : {RGB(0, 96, 48), before}) {
    ASSERT_TRUE(SetSysColors(1, &element, &face));
    ExpectLaidOutAt(form_, dpi_);
  }
}

}  // namespace
}  // namespace quorvel
