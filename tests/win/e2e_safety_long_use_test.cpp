// Long use, measured from outside: the resident memory of the program's Wine
// process on the Linux side, which Wine's own counters (GetGuiResources,
// GetProcessHandleCount, PrivateUsage) do not give.
#include <gtest/gtest.h>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"
#include "win/safety_program.h"

namespace quorvel::testing {
namespace {

TEST(LongUse, TenThousandReportsAndMessagesKeepTheMemoryFlat) {
  ClearDrive(kPenRoot);
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  const std::wstring program = L"E:\\uso longo\\Quorvel.exe";
  CreateDirectoryW(L"E:\\uso longo", nullptr);
  ASSERT_TRUE(CopyFileW(BuiltProgramPath().c_str(), program.c_str(), FALSE));
  LaunchedProgram quorvel({program, L"", {}, ""});
  const int unix_pid = UnixPidOf(program);
  ASSERT_NE(unix_pid, 0) << "no Linux process runs " << Utf8(program);

  // The clicks are the WM_COMMAND/STN_CLICKED that a picture sends its
  // parent, sent from here: each returns when its handler has run, and ten
  // thousand take seconds where real mouse input would take many minutes.
  long after_100 = 0;
  for (int click = 1; click <= 10000; ++click) {
    ASSERT_TRUE(quorvel.SendClick(kImage3)) << click;
    ASSERT_TRUE(quorvel.SendClick(kImage2)) << click;
    if (click == 100) after_100 = ResidentKib(unix_pid);
  }
  const long after_10000 = ResidentKib(unix_pid);
  ASSERT_GT(after_100, 0);
  EXPECT_LT(after_10000 - after_100, 256) << after_100 << " KiB, then " << after_10000 << " KiB";
  EXPECT_EQ(quorvel.ListLines().size(), 10u);
  EXPECT_TRUE(quorvel.Text1Visible());
}

}  // namespace
}  // namespace quorvel::testing
