// Long use, measured from outside: the resident memory of the program's Wine
// process on the Linux side, which Wine's own counters do not give.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using LongUse = PenDriveTest;

// From /proc, in KiB; 0 when unknown. Wine shows a process's Windows
// command line as its Unix one.
long ResidentKib() {
  const std::string file = Environment("WINEPREFIX") + "/../long-use-rss";
  RunShell("grep VmRSS /proc/$(pgrep -f '[u]so longo')/status | tr -dc 0-9 >'" + file + "'");
  return std::atol(ReadFileBytes(UnixToWindows(file)).c_str());
}

TEST_F(LongUse, TenThousandReportsAndMessagesKeepTheMemoryFlat) {
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  const ProgramUnderTest& program = Start(L"E:\\uso longo");
  // A picture's WM_COMMAND/STN_CLICKED, sent: it returns when the handler has
  // run, and ten thousand take seconds where mouse input would take minutes.
  const auto click = [&](int id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(program.window(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                               reinterpret_cast<LPARAM>(program.Control(id)), SMTO_NORMAL, 60000,
                               &result) != 0;
  };
  long after_100 = 0;
  for (int n = 1; n <= 10000; ++n) {
    ASSERT_TRUE(click(kImage3) && click(kImage2)) << n;
    if (n == 100) after_100 = ResidentKib();
  }
  const long after_10000 = ResidentKib();
  ASSERT_GT(after_100, 0) << "no Linux process runs the program";
  EXPECT_LT(after_10000 - after_100, 256) << after_100 << " KiB, then " << after_10000 << " KiB";
  EXPECT_EQ(program.ListLines(kList1).size(), 10u);
  EXPECT_TRUE(program.IsVisible(kText1));
}

}  // namespace
}  // namespace quorvel::testing
