// A failure that nothing expects, inside a handler, ends in the program's own
// message box and a failing exit code, never in a system crash dialog. The
// failures come from the test build QuorvelFault.exe.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h
#include <tlhelp32.h>

#include "ui/control_table.h"
#include "win/program_under_test.h"
#include "win/safety_program.h"

namespace quorvel::testing {
namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

bool ProcessRuns(const wchar_t* name) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    found = CompareStringOrdinal(entry.szExeFile, -1, name, -1, TRUE) == CSTR_EQUAL;
  }
  CloseHandle(snapshot);
  return found;
}

struct Fault {
  const wchar_t* arguments;
  const wchar_t* failure;  // the second line of the message names it
};

class FatalPath : public ::testing::TestWithParam<Fault> {};

TEST_P(FatalPath, EndsInTheProgramsMessageBoxAndAFailingExit) {
  ClearDrive(kPenRoot);
  const std::wstring program = L"E:\\QuorvelFault.exe";
  ASSERT_TRUE(CopyFileW((BuildFolder() + L"QuorvelFault.exe").c_str(), program.c_str(), FALSE));
  LaunchedProgram quorvel({program, GetParam().arguments, {}, ""});
  quorvel.PostMouseClick(kImage3);

  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (const HWND window : quorvel.OtherWindows()) {
      if (TextOf(window) == L"Quorvel") box = window;
    }
    return box != nullptr || quorvel.HasExited();
  }));
  ASSERT_NE(box, nullptr) << "the program ended without its message";
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message box's text
  const std::wstring message = text;
  const std::wstring first = L"O Quorvel encontrou um erro e vai fechar.\n";
  EXPECT_EQ(message.substr(0, first.size()), first);
  EXPECT_NE(message.find(GetParam().failure, first.size()), std::wstring::npos) << Utf8(message);
  EXPECT_EQ(quorvel.OtherWindows().size(), 1u) << "another window came up beside the message";

  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  ASSERT_TRUE(quorvel.WaitForExit());
  EXPECT_NE(quorvel.ExitCode(), 0u);
  EXPECT_FALSE(ProcessRuns(L"winedbg.exe")) << "a crash dialog or debugger came up";
}

INSTANTIATE_TEST_SUITE_P(Faults, FatalPath,
                         ::testing::Values(Fault{L"", L"injected failure in the Image3 handler"},
                                           Fault{L"--access-violation", L"0xC0000005"}));

}  // namespace
}  // namespace quorvel::testing
