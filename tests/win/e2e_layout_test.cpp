// The window as another process sees it: size, border, the controls' classes,
// styles and places, their stacking, the keyboard focus, and the pictures on
// screen.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using LayoutTest = PenDriveTest;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The control's rectangle in its container's client coordinates.
RECT PlaceInContainer(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND FocusOf(const ProgramUnderTest& program) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(program.window(), nullptr), &info);
  return info.hwndFocus;
}

bool WaitForFocus(const ProgramUnderTest& program, int id) {
  return WaitFor([&] { return FocusOf(program) == program.Control(id); });
}

TEST_F(LayoutTest, FixedWindowWithTheControlTableAt96Dpi) {
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96) << "the fixture runs at 96 DPI";
  ReleaseDC(nullptr, screen);

  ProgramUnderTest& program = Start();
  const HWND window = program.window();
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 385);
  EXPECT_EQ(client.bottom, 240);

  wchar_t caption[32] = {};
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(caption, L"Quorvel");
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border cannot be dragged";

  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  struct Expected {
    int id;
    const wchar_t* class_name;
    RECT place;  // left, top, right, bottom in the container
    LONG style_set;
    LONG style_clear;
  };
  const Expected expected[] = {
      {kFrame1, L"Button", {8, 0, 377, 169}, BS_GROUPBOX, WS_TABSTOP},
      {kText1,
       L"Edit",
       {8, 16, 361, 161},
       ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
       WS_HSCROLL | ES_AUTOHSCROLL},
      {kList1, L"ListBox", {8, 16, 361, 163}, WS_TABSTOP, LBS_SORT | LBS_MULTIPLESEL},
      {kLabel1Index3, L"Static", {312, 224, 377, 241}, SS_CENTER, WS_TABSTOP},
      {kLabel1Index2, L"Static", {208, 224, 289, 241}, SS_CENTER, WS_TABSTOP},
      {kLabel1Index1, L"Static", {112, 224, 177, 241}, SS_CENTER, WS_TABSTOP},
      {kLabel1Index0, L"Static", {8, 224, 73, 241}, SS_CENTER, WS_TABSTOP},
      {kImage4, L"Quorvel.Picture", {120, 176, 168, 224}, 0, WS_TABSTOP},
      {kImage3, L"Quorvel.Picture", {224, 176, 272, 224}, 0, WS_TABSTOP},
      {kImage2, L"Quorvel.Picture", {16, 176, 64, 224}, 0, WS_TABSTOP},
      {kImage1, L"Quorvel.Picture", {320, 176, 368, 224}, 0, WS_TABSTOP},
  };
  for (const Expected& control : expected) {
    SCOPED_TRACE(FindControl(control.id)->name);
    const HWND hwnd = program.Control(control.id);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(hwnd).c_str(), control.class_name), 0) << Utf8(ClassOf(hwnd));
    const RECT place = PlaceInContainer(hwnd);
    EXPECT_EQ(place.left, control.place.left);
    EXPECT_EQ(place.top, control.place.top);
    EXPECT_EQ(place.right, control.place.right);
    EXPECT_EQ(place.bottom, control.place.bottom);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & control.style_set, control.style_set);
    EXPECT_EQ(style & control.style_clear, 0);
    EXPECT_TRUE(style & WS_VISIBLE);
  }
  EXPECT_EQ(program.Text(kLabel1Index0), L"Mensagem");
  EXPECT_EQ(program.Text(kLabel1Index1), L"Abrir Pen");
  EXPECT_EQ(program.Text(kLabel1Index2), L"Informa\u00E7\u00F5es");
  EXPECT_EQ(program.Text(kLabel1Index3), L"Fechar");
  EXPECT_EQ(program.Text(kFrame1), L"");

  // The creation order is the stacking: the message box lies over the list.
  EXPECT_EQ(GetParent(program.Control(kText1)), program.Control(kFrame1));
  EXPECT_EQ(GetWindow(program.Control(kText1), GW_HWNDNEXT), program.Control(kList1));
  program.Click(kImage3);
  ASSERT_TRUE(WaitFor([&] { return !program.IsVisible(kText1); }));
  EXPECT_TRUE(program.IsVisible(kList1));
}

TEST_F(LayoutTest, TabMovesBetweenTheMessageAndTheListOnly) {
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  ProgramUnderTest& program = Start();
  ASSERT_TRUE(WaitForFocus(program, kText1)) << "focus starts in the message box";

  program.PressKey(VK_TAB);
  EXPECT_TRUE(WaitForFocus(program, kList1));
  program.PressKey(VK_TAB);
  EXPECT_TRUE(WaitForFocus(program, kText1)) << "Tab never reaches a picture";
  program.PressKey(VK_TAB, true);
  EXPECT_TRUE(WaitForFocus(program, kList1));

  // Enter and Space go nowhere near the pictures: the window stays as it is.
  program.PressKey(VK_RETURN);
  program.PressKey(VK_SPACE);
  EXPECT_FALSE(program.HasExited());
  EXPECT_TRUE(program.IsVisible(kText1));

  // With the message box hidden, Tab has only the list to go to.
  program.Click(kImage3);
  ASSERT_TRUE(WaitFor([&] { return !program.IsVisible(kText1); }));
  program.PressKey(VK_TAB);
  program.PressKey(VK_TAB, true);
  EXPECT_TRUE(WaitForFocus(program, kList1));
}

// The picture drawn by the system's decoder on magenta, the colour that no
// picture uses: magenta left over is where the picture is transparent.
std::vector<COLORREF> RenderOnMagenta(const std::string& gif) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // balanced when the test process ends
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, gif.size());
  std::memcpy(GlobalLock(memory), gif.data(), gif.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(memory, TRUE, &stream);
  IPicture* picture = nullptr;
  OleLoadPicture(stream, static_cast<LONG>(gif.size()), FALSE, IID_IPicture,
                 reinterpret_cast<void**>(&picture));
  stream->Release();
  if (picture == nullptr) return {};

  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 48);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  const RECT all = {0, 0, 48, 48};
  FillRect(dc, &all, magenta);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  picture->Render(dc, 0, 0, 48, 48, 0, height, width, -height, nullptr);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, old);
  DeleteObject(magenta);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  picture->Release();
  return pixels;
}

TEST_F(LayoutTest, PicturesShowTheWindowBehindTheirTransparentPixels) {
  ProgramUnderTest& program = Start();
  const std::wstring art = ArtFolder();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const int pictures[] = {kImage1, kImage2, kImage3, kImage4};
  for (int number = 1; number <= 4; ++number) {
    SCOPED_TRACE("picture " + std::to_string(number));
    const std::string gif = ReadFileBytes(art + L"\\image" + std::to_wstring(number) + L".gif");
    const std::vector<COLORREF> expected = RenderOnMagenta(gif);
    ASSERT_EQ(expected.size(), 48u * 48u);

    const RECT place = program.ScreenRect(pictures[number - 1]);
    const HDC screen = GetDC(nullptr);
    int transparent = 0;
    int opaque_matching = 0;
    int opaque = 0;
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 48; ++x) {
        const COLORREF want = expected[y * 48 + x];
        const COLORREF shown = GetPixel(screen, place.left + x, place.top + y);
        if (want == RGB(255, 0, 255)) {
          ++transparent;
          EXPECT_EQ(shown, face) << "at " << x << "," << y;
        } else {
          ++opaque;
          opaque_matching += shown == want;
        }
      }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(opaque_matching, opaque) << "the picture's own colours show where it is opaque";
  }
}

}  // namespace
}  // namespace quorvel::testing
