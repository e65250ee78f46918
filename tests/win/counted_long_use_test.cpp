// Long use, counted from inside: the window built in this process, ten
// thousand reports and ten thousand messages, and the handles that the
// program's wrappers hold before and after.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"
#include "ui/control_table.h"

namespace quorvel {
namespace {

// Clicks are sent as the WM_COMMAND/STN_CLICKED that a picture button sends
// its parent on a click: the handlers run to their end before the call
// returns, and ten thousand of them take seconds rather than minutes.
void Click(const Form1& form, int id) {
  SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(form.Control(id)));
}

struct Counts {
  long gdi;
  long user;
  bool operator==(const Counts& other) const { return gdi == other.gdi && user == other.user; }
};

Counts Live() {
  return {LiveGdiObjects(), LiveUserObjects()};
}

TEST(LongUse, TenThousandReportsAndMessagesHoldNoMoreHandles) {
  const ComApartment apartment;
  const Win32Services services;
  Form1 form(services, GetModuleHandleW(nullptr));
  form.Create();
  form.Show(SW_SHOWNOACTIVATE);
  const HWND list = form.Control(kList1);

  const Counts at_start = Live();
  EXPECT_GT(at_start.gdi, 0) << "the fonts are held by wrappers";
  EXPECT_GT(at_start.user, 0) << "the icons and the cursor are held by wrappers";

  Counts after_100 = {};
  for (int click = 1; click <= 10000; ++click) {
    Click(form, kImage3);
    Click(form, kImage2);
    if (click == 100) after_100 = Live();
  }
  const Counts after_10000 = Live();

  EXPECT_EQ(after_100, at_start);
  EXPECT_EQ(after_10000, after_100);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 10) << "each report replaces the last";
  EXPECT_TRUE(IsWindowVisible(form.Control(kText1)));
}

}  // namespace
}  // namespace quorvel
