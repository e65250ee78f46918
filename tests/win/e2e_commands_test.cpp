// The buttons that end the program: "Fechar" and "Abrir Pen".
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using CommandsTest = PenDriveTest;

// A click on a picture as its own window sees it: the button pressed and let
// go inside it, through the program's queue. Real input through SendInput
// sometimes goes missing under Wine when another program had just been
// clicked, so these tests do not depend on it.
void PostClick(const ProgramUnderTest& program, int id) {
  const HWND picture = program.Control(id);
  ASSERT_TRUE(PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)));
  ASSERT_TRUE(PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(4, 4)));
}

BOOL CALLBACK AddIfVisible(HWND window, LPARAM windows) {
  if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
  return TRUE;
}

std::set<HWND> VisibleTopLevelWindows() {
  std::set<HWND> windows;
  EnumWindows(AddIfVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::wstring WindowTitle(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return title;
}

TEST_F(CommandsTest, CloseEndsAtOnceWithoutHandlingAnotherMessage) {
  ProgramUnderTest& program = Start();
  // The click, and right behind it in the same queue a request to quit with
  // exit code 7. Ending at once leaves the request unread, so the exit code
  // is 0; a program that went back to its queue, however it meant to end,
  // would take the request first and end with 7.
  PostClick(program, kImage1);
  const DWORD thread = GetWindowThreadProcessId(program.window(), nullptr);
  ASSERT_TRUE(PostThreadMessageW(thread, WM_QUIT, 7, 0));
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(CommandsTest, OpenDriveShowsTheFolderInTheFileBrowserAndEnds) {
  // A name outside the ANSI code pages: the shell must get the path whole.
  const std::wstring leaf = L"Pen \u00C1gua \u0394\u0436";
  const std::wstring folder = std::wstring(kPenRoot) + leaf;
  ProgramUnderTest& program = Start(folder);
  const std::set<HWND> before = VisibleTopLevelWindows();

  PostClick(program, kImage4);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);

  // The browser comes up on the folder, and is still up: the program did not
  // wait for it.
  HWND browser = nullptr;
  const bool opened = WaitFor([&] {
    for (const HWND window : VisibleTopLevelWindows()) {
      if (before.count(window) == 0 && WindowTitle(window).find(leaf) != std::wstring::npos) {
        browser = window;
        return true;
      }
    }
    return false;
  });
  std::wstring titles;
  for (const HWND window : VisibleTopLevelWindows()) titles += WindowTitle(window) + L" | ";
  ASSERT_TRUE(opened) << "windows: " << Utf8(titles);
  EXPECT_TRUE(IsWindow(browser));

  DWORD browser_process_id = 0;
  GetWindowThreadProcessId(browser, &browser_process_id);
  const HANDLE browser_process = OpenProcess(SYNCHRONIZE, FALSE, browser_process_id);
  PostMessageW(browser, WM_CLOSE, 0, 0);
  if (browser_process != nullptr) {
    WaitForSingleObject(browser_process, static_cast<DWORD>(kHangTimeout.count() * 1000));
    CloseHandle(browser_process);
  }
}

}  // namespace
}  // namespace quorvel::testing
