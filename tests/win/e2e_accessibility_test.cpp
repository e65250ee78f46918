// The picture buttons as a screen reader sees them from its own process,
// through Microsoft Active Accessibility: each one's object, its answers and
// its default action. ctest runs it at 96 and at 144 DPI.
#include "win/program_under_test.h"

#include <oleacc.h>

#include "platform/win32/handles.h"

namespace quorvel::testing {
namespace {

// Objects from another process come through COM, as a reader's do.
struct AccessibilityTest : PenDriveTest {
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    PenDriveTest::SetUp();
  }
  void TearDown() override { CoUninitialize(); }
};

// The object that a reader gets for `window`'s client area, or with
// `standard` the one that Windows makes for any window; or none.
ComPtr<IAccessible> ObjectOf(HWND window, bool standard = false) {
  ComPtr<IAccessible> object;
  if (standard)
    CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), object.put_void());
  else
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), object.put_void());
  return object;
}

VARIANT Child(LONG id) {
  VARIANT child = {};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}
const VARIANT kSelf = Child(CHILDID_SELF);

// An answer of `object` about itself through `method`, or the failure.
std::wstring Text(IAccessible* object,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  const HRESULT result = (object->*method)(kSelf, &text);
  std::wstring answer(text, SysStringLen(text));
  SysFreeString(text);
  return result == S_OK ? answer : L"failed: " + std::to_wstring(result);
}

// A number that `object` gives about itself through `method`, or -1.
LONG Number(IAccessible* object,
            HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, VARIANT*)) {
  VARIANT value = {};
  return (object->*method)(kSelf, &value) == S_OK && value.vt == VT_I4 ? value.lVal : -1;
}

// The reader's default action on picture `id`, as Narrator's Caps Lock+Enter.
HRESULT Press(const ProgramUnderTest& program, int id) {
  const auto object = ObjectOf(program.Control(id));
  return object ? object->accDoDefaultAction(kSelf) : E_NOINTERFACE;
}

// Each picture is a push button named by its caption and described by its
// tool tip, pressed by "Premir", never focusable; the rest is the standard
// object's: the state otherwise, and the place on the screen.
TEST_F(AccessibilityTest, EachPictureIsAPushButtonWithItsCaptionToolTipAndAction) {
  const ProgramUnderTest program;
  for (const auto& [id, name, tool_tip] :
       {std::tuple<int, const wchar_t*, const wchar_t*>{kImage1, L"Fechar", L"Sair"},
        {kImage2, L"Mensagem", L"Mensagem do dono"},
        {kImage3, L"Informa\u00E7\u00F5es", L"Especifica\u00E7\u00F5es da pen"},
        {kImage4, L"Abrir Pen", L"Abrir Pen"}}) {
    SCOPED_TRACE(id);
    const HWND picture = program.Control(id);
    const auto object = ObjectOf(picture);
    ASSERT_TRUE(object);
    EXPECT_EQ(Number(object.get(), &IAccessible::get_accRole), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(Text(object.get(), &IAccessible::get_accName), name);
    EXPECT_EQ(Text(object.get(), &IAccessible::get_accDescription), tool_tip);
    EXPECT_EQ(Text(object.get(), &IAccessible::get_accHelp), tool_tip);
    EXPECT_EQ(Text(object.get(), &IAccessible::get_accDefaultAction), L"Premir");

    const LONG state = Number(object.get(), &IAccessible::get_accState);
    EXPECT_EQ(state, Number(ObjectOf(picture, true).get(), &IAccessible::get_accState) &
                         ~STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE), 0);
    RECT place;
    GetWindowRect(picture, &place);
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, kSelf), S_OK);
    EXPECT_EQ((std::array{left, top, left + width, top + height}),
              (std::array{place.left, place.top, place.right, place.bottom}));

    // A picture has no children.
    VARIANT role = {};
    EXPECT_EQ(object->get_accRole(Child(1), &role), E_INVALIDARG);
    EXPECT_EQ(object->accDoDefaultAction(Child(1)), E_INVALIDARG);
  }
}

// The default action presses each picture as the mouse does: Informações
// shows the report, Mensagem the message again, Fechar ends the program,
// Abrir Pen opens the pen's folder and ends it. The press is posted (the
// window test sees it queued), but where COM answers the reader from a
// thread of its own, as Wine's does, the program may end before the answer
// goes: the reader then finds the program gone.
bool PressedOrEnded(HRESULT result) {
  return result == S_OK || result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
         HRESULT_FACILITY(result) == FACILITY_RPC;
}
TEST_F(AccessibilityTest, TheDefaultActionPressesEachPictureAsTheMouseDoes) {
  const std::wstring leaf = L"Pen de leitor";
  const fs::path folder = PenFolder() / leaf;
  WriteFileBytes(folder / L"mensagem.txt", "Ol\xE1");
  {
    const ProgramUnderTest program(folder);
    HRESULT pressed = E_FAIL;
    EXPECT_EQ(program.Report([&] { pressed = Press(program, kImage3); }).size(), 10u);
    EXPECT_EQ(pressed, S_OK);
    EXPECT_FALSE(program.IsVisible(kText1));
    EXPECT_EQ(Press(program, kImage2), S_OK);
    EXPECT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
    EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
    EXPECT_PRED1(PressedOrEnded, Press(program, kImage1));
    EXPECT_EQ(program.ExitCode(), 0u);
  }
  const ProgramUnderTest program(folder);
  ASSERT_EQ(FindWindowW(nullptr, leaf.c_str()), nullptr);
  EXPECT_PRED1(PressedOrEnded, Press(program, kImage4));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(CloseFolderWindow(leaf));
}

}  // namespace
}  // namespace quorvel::testing
