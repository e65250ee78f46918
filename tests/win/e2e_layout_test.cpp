// The window as another process sees it: size, border, the controls' classes,
// styles and places, their stacking, the keyboard focus, and the pictures on
// screen.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <winternl.h>

#include <tuple>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using LayoutTest = PenDriveTest;

// The control's rectangle in its container's client coordinates.
std::tuple<LONG, LONG, LONG, LONG> PlaceInContainer(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

bool WaitForFocus(const ProgramUnderTest& program, int id) {
  return WaitFor([&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(program.window(), nullptr), &info);
    return info.hwndFocus == program.Control(id);
  });
}

TEST_F(LayoutTest, WindowControlsFocusAndPicturesAt96Dpi) {
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96) << "the fixture runs at 96 DPI";
  SetCursorPos(0, 0);  // no tool tip over the pictures
  ProgramUnderTest& program = Start();
  const HWND window = program.window();
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(385L, 240L));
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  wchar_t caption[32] = {};
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(caption, L"Quorvel");
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_SYSMENU | WS_MINIMIZEBOX);

  // By control kind: class, and the style bits that must be set and clear.
  const std::tuple<const wchar_t*, LONG, LONG> kinds[] = {
      {L"Button", BS_GROUPBOX, WS_TABSTOP},
      {L"Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP, WS_HSCROLL | ES_AUTOHSCROLL},
      {L"ListBox", WS_TABSTOP, LBS_SORT | LBS_MULTIPLESEL},
      {L"Static", SS_CENTER, WS_TABSTOP},
      {L"Quorvel.Picture", 0, WS_TABSTOP},
  };
  const auto pixels = [](int twips) { return static_cast<LONG>(twips / 15); };  // at 96 DPI
  for (const ControlSpec& entry : MainControls()) {
    SCOPED_TRACE(entry.name);
    const HWND control = program.Control(entry.id);
    const auto& [class_name, set, clear] = kinds[static_cast<int>(entry.kind)];
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    EXPECT_EQ(_wcsicmp(name, class_name), 0) << Utf8(name);
    const LONG bits = GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ(bits & (set | clear | WS_VISIBLE), set | WS_VISIBLE);
    const TwipsRect& t = entry.place;
    EXPECT_EQ(PlaceInContainer(control),
              std::make_tuple(pixels(t.left), pixels(t.top), pixels(t.left + t.width),
                              pixels(t.top + t.height)));
  }
  // Two places written out, so that a wrong table cannot pass.
  EXPECT_EQ(PlaceInContainer(program.Control(kText1)), std::make_tuple(8L, 16L, 361L, 161L));
  EXPECT_EQ(PlaceInContainer(program.Control(kImage1)), std::make_tuple(320L, 176L, 368L, 224L));
  const wchar_t* labels[] = {L"Mensagem", L"Abrir Pen", L"Informa\u00E7\u00F5es", L"Fechar"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(program.Text(kLabel1Index0 + i), labels[i]);
  EXPECT_EQ(program.Text(kFrame1), L"");

  // Each picture on screen against the system decoder's drawing on magenta,
  // which no picture uses: magenta left over is where the picture is
  // transparent, and the screen shows the button face there.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // balanced when the test process ends
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 48);
  SelectObject(dc, bitmap);
  const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  const RECT square = {0, 0, 48, 48};
  for (int n = 1; n <= 4; ++n) {  // imageN.gif on ImageN
    std::wstring file = ArtFolder() + L"\\image" + std::to_wstring(n) + L".gif";
    SCOPED_TRACE(Utf8(file));
    IPicture* image = nullptr;
    OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&image));
    ASSERT_NE(image, nullptr);
    FillRect(dc, &square, magenta);
    image->Render(dc, 0, 0, 48, 48, 0, 1270, 1270, -1270, nullptr);  // 48 pixels in HIMETRIC
    image->Release();
    const RECT place = program.ScreenRect(kImage1 + n - 1);
    int transparent = 0, wrong = 0;
    for (int i = 0; i < 48 * 48; ++i) {
      COLORREF want = GetPixel(dc, i % 48, i / 48);
      if (want == RGB(255, 0, 255)) ++transparent, want = GetSysColor(COLOR_BTNFACE);
      wrong += GetPixel(screen, place.left + i % 48, place.top + i / 48) != want;
    }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 48 * 48);
    EXPECT_EQ(wrong, 0) << "pixels unlike the picture on the button face";
  }
  DeleteDC(dc);
  DeleteObject(bitmap);
  DeleteObject(magenta);
  ReleaseDC(nullptr, screen);

  // Tab and Shift+Tab go between the message box and the list, never to a
  // picture.
  ASSERT_TRUE(WaitForFocus(program, kText1)) << "focus starts in the message box";
  for (int step = 0; step < 4; ++step) {  // Tab, Tab, Shift+Tab, Shift+Tab
    program.PressKey(VK_TAB, step >= 2);
    EXPECT_TRUE(WaitForFocus(program, step % 2 == 0 ? kList1 : kText1)) << "step " << step;
  }

  // The creation order is the stacking: the message box lies over the list,
  // which shows once a report hides the box. Then Tab has only the list.
  EXPECT_EQ(GetWindow(program.Control(kText1), GW_HWNDNEXT), program.Control(kList1));
  program.Click(kImage3);
  ASSERT_TRUE(WaitFor([&] { return !program.IsVisible(kText1); }));
  EXPECT_TRUE(program.IsVisible(kList1));
  program.PressKey(VK_TAB);
  EXPECT_TRUE(WaitForFocus(program, kList1));
  program.PressKey(VK_TAB, true);
  EXPECT_TRUE(WaitForFocus(program, kList1));
}

TEST_F(LayoutTest, EscEnterAndSpaceInEitherBoxChangeNothing) {
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  ProgramUnderTest& program = Start();
  for (const int box : {kText1, kList1}) {
    ASSERT_TRUE(WaitForFocus(program, box)) << FindControl(box)->name;
    for (const WORD key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) program.PressKey(key);
    program.PressKey(VK_TAB);
  }
  ASSERT_TRUE(WaitForFocus(program, kText1));  // the keys were all taken
  program.PostClick(kImage3);
  EXPECT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() == 10u; }));
  program.PostClick(kImage2);
  EXPECT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
  EXPECT_FALSE(program.HasExited());
}

// The current directory of another process, from its process parameters:
// RTL_USER_PROCESS_PARAMETERS.CurrentDirectory.DosPath lies at 0x24 in a
// 32-bit process.
std::wstring CurrentDirectoryOf(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  PEB peb = {};
  UNICODE_STRING path = {};
  NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr);
  ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr);
  ReadProcessMemory(process, reinterpret_cast<char*>(peb.ProcessParameters) + 0x24, &path,
                    sizeof path, nullptr);
  std::wstring text(path.Length / 2, L'\0');
  ReadProcessMemory(process, path.Buffer, text.data(), path.Length, nullptr);
  return text;
}

TEST_F(LayoutTest, AMaximisedShortcutKeepsTheSizeAndTheDriveIsNotTheCurrentDirectory) {
  Launch maximised;
  maximised.startup_show = SW_SHOWMAXIMIZED;
  const ProgramUnderTest& program = Start(L"E:\\Pen", maximised);
  EXPECT_FALSE(IsZoomed(program.window()));
  RECT client;
  GetClientRect(program.window(), &client);
  EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(385L, 240L));

  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(_wcsicmp(CurrentDirectoryOf(program.process()).c_str(),
                     (std::wstring(system) + L"\\").c_str()),
            0)
      << Utf8(CurrentDirectoryOf(program.process()));
}

}  // namespace
}  // namespace quorvel::testing
