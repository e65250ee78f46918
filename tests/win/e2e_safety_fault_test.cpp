// A failure that nothing expects, inside a handler, ends in the program's own
// message box and a failing exit code, never in a system crash dialog: a
// container asked for too much, memory run out, a crash. The failures come
// from the test build QuorvelFault.exe.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using FatalPath = PenDriveTest;

// The program's message boxes on screen.
std::vector<HWND> Boxes(const ProgramUnderTest& program) {
  std::vector<HWND> boxes;
  for (const HWND window : VisibleWindows(program.process_id())) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) == L"#32770") boxes.push_back(window);
  }
  return boxes;
}

TEST_F(FatalPath, EndsInTheProgramsMessageBoxAndAFailingExit) {
  const struct {
    const wchar_t* arguments;
    const wchar_t* failure;  // the message's second line
  } faults[] = {{L"", L"pedido maior do que a mem\u00F3ria admite"},
                {L"--out-of-memory", L"mem\u00F3ria esgotada"},
                {L"--access-violation", L"exce\u00E7\u00E3o 0xC0000005"}};
  for (const auto& fault : faults) {
    SCOPED_TRACE(Utf8(fault.failure));
    const auto& program = Start(kPenRoot, {L"QuorvelFault.exe", fault.arguments, "", ""});
    program.PostClick(kImage3);

    HWND box = nullptr;  // the message box
    WaitFor([&] {
      const auto boxes = Boxes(program);
      box = boxes.empty() ? nullptr : boxes.front();
      return box != nullptr || program.HasExited();
    });
    ASSERT_NE(box, nullptr) << "the program ended without its message";
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message box's text
    EXPECT_EQ(std::wstring(text),
              L"O Quorvel encontrou um erro e vai fechar.\n" + std::wstring(fault.failure));
    EXPECT_EQ(VisibleWindows(program.process_id(), program.window()).size(), 1u)
        << "another window came up beside the message";

    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_NE(program.ExitCode(), 0u);
    EXPECT_EQ(RunShell("! pgrep -f '[w]inedbg'"), 0) << "a crash dialog or debugger came up";
    TearDown();
  }
}

// Wine swallows a crash in a window procedure that it reached through a
// callback from its own window code, as WOW64 does by default, so the second
// failure here is one that the program itself reports.
TEST_F(FatalPath, ASecondFailureBehindTheBoxEndsTheProgramWithoutAnotherBox) {
  const auto& program = Start(kPenRoot, {L"QuorvelFault.exe", L"--fail-again-on-paint", "", ""});
  program.PostClick(kImage3);
  ASSERT_TRUE(WaitFor([&] { return !Boxes(program).empty() || program.HasExited(); }));
  ASSERT_FALSE(program.HasExited()) << "the first failure showed no box";
  // Painted again behind the box, the window fails again, and ends at once.
  RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  std::size_t most_boxes = 1;
  ASSERT_TRUE(WaitFor([&] {
    most_boxes = std::max(most_boxes, Boxes(program).size());
    return program.HasExited();
  }));
  EXPECT_EQ(most_boxes, 1u);
  EXPECT_EQ(program.ExitCode(), 1u);
  EXPECT_EQ(RunShell("! pgrep -f '[w]inedbg'"), 0) << "a crash dialog or debugger came up";
}

}  // namespace
}  // namespace quorvel::testing
