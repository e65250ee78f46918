// Screen readers and contrast themes, seen from inside: what each picture
// answers to WM_GETOBJECT and does when a reader presses it, and the window's
// colours under a dark scheme set before the start or changed while it runs.
#include "win/program_under_test.h"

#include <oleacc.h>

#include <set>

#include "app/form1.h"
#include "fake/fake_services.h"
#include "platform/win32/handles.h"

namespace quorvel {
namespace {

using testing::Environment;

struct AccessInProcess : ::testing::Test {
  AccessInProcess() {
    services_.files["E:\\mensagem.txt"] = "Ol\xE1, isto \xE9 uma mensagem.";
    form_.Create();
    form_.Show(SW_SHOWNOACTIVATE);
    Pump();
  }
  static void Pump() {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  ComApartment apartment_;
  FakeServices services_;
  Form1 form_{services_, GetModuleHandleW(nullptr)};
};

constexpr int kPictures[] = {kImage1, kImage2, kImage3, kImage4};

// Every request but the client area's gets the answer it got before the
// pictures spoke to readers, DefWindowProc's; the client area's is a push
// button whose default action posts the mouse's click to the form, once, and
// returns before it is handled. On x64 the client's id may come sign- or
// zero-extended (from a 32-bit reader, or Wine's AccessibleObjectFromWindow).
TEST_F(AccessInProcess, PicturesAnswerForTheirClientAreaAloneAndPostTheirClick) {
  const LPARAM others[] = {OBJID_WINDOW, OBJID_CURSOR, OBJID_NATIVEOM, -25 /* UI Automation */, 1};
  VARIANT self = {}, role = {};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (const int id : kPictures) {
    SCOPED_TRACE(id);
    const HWND picture = form_.Control(id);
    for (const LPARAM other : others) {
      EXPECT_EQ(SendMessageW(picture, WM_GETOBJECT, 0, other),
                DefWindowProcW(picture, WM_GETOBJECT, 0, other))
          << other;
    }
    for (const LPARAM client :
         {LPARAM{OBJID_CLIENT}, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT))}) {
      const LRESULT reference = SendMessageW(picture, WM_GETOBJECT, 0, client);
      ASSERT_GT(reference, 0) << client;
      ComPtr<IAccessible> object;
      ASSERT_EQ(ObjectFromLresult(reference, __uuidof(IAccessible), 0, object.put_void()), S_OK);
      EXPECT_EQ(object->get_accRole(self, &role), S_OK);
      EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
      ComPtr<IOleWindow> window;
      HWND answer = nullptr;
      ASSERT_EQ(object->QueryInterface(__uuidof(IOleWindow), window.put_void()), S_OK);
      EXPECT_TRUE(window->GetWindow(&answer) == S_OK && answer == picture);

      EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
      MSG posted = {};
      ASSERT_TRUE(PeekMessageW(&posted, form_.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
      EXPECT_EQ(posted.wParam, MAKEWPARAM(id, STN_CLICKED));
      EXPECT_EQ(posted.lParam, reinterpret_cast<LPARAM>(picture));
      EXPECT_FALSE(PeekMessageW(&posted, form_.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    }
  }
}

// The colours that `window` shows of its client area: the captions reach a
// little below the form's.
std::set<COLORREF> ColoursOf(HWND window) {
  const HDC dc = GetDC(window);
  RECT shown;
  GetClipBox(dc, &shown);
  std::set<COLORREF> colours;
  for (int y = shown.top; y < shown.bottom; ++y)
    for (int x = shown.left; x < shown.right; ++x) colours.insert(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return colours;
}

// Text in `text` on `background`: both, and smoothed edges between them.
void ExpectTextIn(HWND window, int text, int background) {
  const COLORREF ink = GetSysColor(text), paper = GetSysColor(background);
  const std::set<COLORREF> colours = ColoursOf(window);
  EXPECT_TRUE(colours.contains(ink) && colours.contains(paper));
  for (const COLORREF colour : colours) {
    for (const int shift : {0, 8, 16}) {
      const DWORD a = (ink >> shift) & 0xFF, b = (paper >> shift) & 0xFF,
                  c = (colour >> shift) & 0xFF;
      EXPECT_TRUE(c >= std::min(a, b) && c <= std::max(a, b))
          << std::hex << colour << " between " << ink << " and " << paper;
    }
  }
}

// The corners of each picture, which are transparent in the art, in the
// button face's colour.
void ExpectPicturesOnTheFace(const Form1& form) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const int id : kPictures) {
    RECT client;
    GetClientRect(form.Control(id), &client);
    const HDC dc = GetDC(form.Control(id));
    for (const POINT corner : {POINT{0, 0}, POINT{client.right - 1, 0}, POINT{0, client.bottom - 1},
                               POINT{client.right - 1, client.bottom - 1}}) {
      EXPECT_EQ(GetPixel(dc, corner.x, corner.y), face) << id << " at " << corner.x;
    }
    ReleaseDC(form.Control(id), dc);
  }
}

// Under a dark scheme in force before the start, as a contrast theme leaves
// it (the ctest entries window-dark and window-dark-dpi-144; a PC in a dark
// contrast theme with QUORVEL_EXPECT_COLOURS=dark): the captions in the
// button text on the button face, the message box and the list in the
// window's colours, the pictures on the face. The other window tests check
// the pictures whole, on whatever face the scheme has.
TEST_F(AccessInProcess, ADarkSchemeColoursCaptionsBoxesAndPictures) {
  if (Environment(L"QUORVEL_EXPECT_COLOURS") != L"dark")
    GTEST_SKIP() << "needs a dark scheme in force and QUORVEL_EXPECT_COLOURS=dark";
  const auto dark = [](int element) {
    const COLORREF colour = GetSysColor(element);
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
  };
  ASSERT_TRUE(dark(COLOR_BTNFACE) && dark(COLOR_WINDOW) &&
              GetSysColor(COLOR_BTNFACE) != GetSysColor(COLOR_WINDOW) &&
              GetSysColor(COLOR_BTNTEXT) != GetSysColor(COLOR_WINDOWTEXT))
      << "no dark scheme whose button colours differ from the window's";
  for (const int id : {kLabel1Index0, kLabel1Index1, kLabel1Index2, kLabel1Index3}) {
    SCOPED_TRACE(id);
    ExpectTextIn(form_.Control(id), COLOR_BTNTEXT, COLOR_BTNFACE);
  }
  ExpectTextIn(form_.Control(kText1), COLOR_WINDOWTEXT, COLOR_WINDOW);
  SendMessageW(form_.window(), WM_COMMAND, MAKEWPARAM(kImage3, STN_CLICKED), 0);
  Pump();
  ExpectTextIn(form_.Control(kList1), COLOR_WINDOWTEXT, COLOR_WINDOW);
  ExpectPicturesOnTheFace(form_);
}

// A scheme changed while the window is up (a contrast theme switched on or
// off: WM_SYSCOLORCHANGE, and the repaint that Windows asks of every window)
// shows the pictures on the new face, also where the scaled pictures keep
// one made on the old face.
TEST_F(AccessInProcess, PicturesFollowASchemeChangedWhileTheWindowIsUp) {
  if (!testing::FixtureDrives()) GTEST_SKIP() << "would change the colours of this PC's user";
  const int element = COLOR_BTNFACE;
  const COLORREF before = GetSysColor(element);
  for (const COLORREF face : {RGB(0, 96, 48), before}) {
    ASSERT_TRUE(SetSysColors(1, &element, &face));
    Pump();
    ExpectPicturesOnTheFace(form_);
  }
}

}  // namespace
}  // namespace quorvel
