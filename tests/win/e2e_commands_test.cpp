// "Abrir Pen": the folder in the file browser, and the program ends.
#include <gtest/gtest.h>

#include <string>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using CommandsTest = PenDriveTest;

BOOL CALLBACK FindTitled(HWND window, LPARAM search) {
  auto& [part, found] = *reinterpret_cast<std::pair<std::wstring, HWND>*>(search);
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  if (IsWindowVisible(window) && wcsstr(title, part.c_str()) != nullptr) found = window;
  return found == nullptr;
}

// A visible top-level window whose title holds `part`, or nullptr.
HWND WindowTitled(const std::wstring& part) {
  std::pair<std::wstring, HWND> search{part, nullptr};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

TEST_F(CommandsTest, OpenDriveShowsTheFolderInTheFileBrowserAndEnds) {
  const std::wstring leaf = L"Pen \u00C1gua \u0394\u0436";  // outside the ANSI code pages
  ProgramUnderTest& program = Start(kPenRoot + leaf);
  ASSERT_EQ(WindowTitled(leaf), nullptr);
  program.PostClick(kImage4);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);

  // The browser comes up on the folder after the program has ended.
  HWND browser = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (browser = WindowTitled(leaf)) != nullptr; }));
  DWORD browser_id = 0;
  GetWindowThreadProcessId(browser, &browser_id);
  const HANDLE browser_process = OpenProcess(SYNCHRONIZE, FALSE, browser_id);
  PostMessageW(browser, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(browser_process, 60000), WAIT_OBJECT_0);
  CloseHandle(browser_process);
}

}  // namespace
}  // namespace quorvel::testing
