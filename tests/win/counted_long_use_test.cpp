// Long use, counted from inside: the window built in this process, ten
// thousand reports and ten thousand messages, and the handles that the
// program's wrappers hold after a hundred of each and at the end.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"
#include "ui/control_table.h"

namespace quorvel {
namespace {

TEST(LongUse, TenThousandReportsAndMessagesHoldNoMoreHandles) {
  const ComApartment apartment;
  const Win32Services services;
  Form1 form(services, GetModuleHandleW(nullptr));
  form.Create();
  form.Show(SW_SHOWNOACTIVATE);
  std::pair<long, long> after_100;  // GDI and USER objects
  for (int click = 1; click <= 10000; ++click) {
    // A picture's WM_COMMAND/STN_CLICKED: the handler has run when it returns.
    for (const int id : {kImage3, kImage2}) {
      SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                   reinterpret_cast<LPARAM>(form.Control(id)));
    }
    if (click == 100) after_100 = {LiveGdiObjects(), LiveUserObjects()};
  }
  EXPECT_GT(after_100.first, 0) << "the fonts are held by wrappers";
  EXPECT_GT(after_100.second, 0) << "the icons and the cursor are held by wrappers";
  EXPECT_EQ(std::make_pair(LiveGdiObjects(), LiveUserObjects()), after_100);
  EXPECT_EQ(SendMessageW(form.Control(kList1), LB_GETCOUNT, 0, 0), 10);
  EXPECT_TRUE(IsWindowVisible(form.Control(kText1)));
}

}  // namespace
}  // namespace quorvel
