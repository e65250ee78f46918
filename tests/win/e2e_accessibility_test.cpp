// The picture buttons as a screen reader sees them from its own process,
// through Microsoft Active Accessibility: each one's object, its answers and
// its default action. ctest runs it at 96 and at 144 DPI.
#include "win/program_under_test.h"

#include <oleacc.h>

#include "platform/win32/handles.h"

namespace quorvel::testing {
namespace {

using AccessibilityTest = PenDriveTest;

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

const VARIANT kSelf = {{{VT_I4, 0, 0, 0, {}}}};  // CHILDID_SELF

// What `object` answers about itself through `method`: a text, or a number.
std::wstring Text(IAccessible* object,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  const HRESULT result = (object->*method)(kSelf, &text);
  const std::wstring answer(text, SysStringLen(text));
  SysFreeString(text);
  return result == S_OK ? answer : L"failed";
}
LONG Number(IAccessible* object,
            HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, VARIANT*)) {
  VARIANT value = {};
  return (object->*method)(kSelf, &value) == S_OK && value.vt == VT_I4 ? value.lVal : -1;
}

// The reader's default action on picture `id` (Narrator's Caps Lock+Enter).
// It is posted (the window test sees it queued), but where COM answers the
// reader from a thread of its own, as Wine's does, a press that ends the
// program may end it before the answer goes: the reader finds it gone.
bool Press(const ProgramUnderTest& program, int id, bool may_end = false) {
  const auto object = ObjectOf(program.Control(id));
  const HRESULT result = object ? object->accDoDefaultAction(kSelf) : E_NOINTERFACE;
  return result == S_OK || (may_end && (result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
                                        HRESULT_FACILITY(result) == FACILITY_RPC));
}

// Each picture is a push button named by its caption and described by its
// tool tip, pressed by "Premir", never focusable; its state otherwise is the
// standard object's. Pressed, Informações shows the report,
// Mensagem the message again, Fechar ends the program, and Abrir Pen opens
// the pen's folder and ends it, as the mouse's clicks do.
TEST_F(AccessibilityTest, EachPictureIsAPushButtonThatTheReaderPresses) {
  const ComApartment apartment;  // objects from another process come through COM
  const std::wstring leaf = L"Pen de leitor";
  WriteFileBytes(PenFolder() / leaf / L"mensagem.txt", "Ol\xE1");
  {
    const ProgramUnderTest program(PenFolder() / leaf);
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
    }

    bool pressed = false;
    EXPECT_EQ(program.Report([&] { pressed = Press(program, kImage3); }).size(), 10u);
    EXPECT_TRUE(pressed && !program.IsVisible(kText1));
    EXPECT_TRUE(Press(program, kImage2));
    EXPECT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
    EXPECT_TRUE(Press(program, kImage1, true));
    EXPECT_EQ(program.ExitCode(), 0u);
  }
  const ProgramUnderTest program(PenFolder() / leaf);
  ASSERT_EQ(FindWindowW(nullptr, leaf.c_str()), nullptr);
  EXPECT_TRUE(Press(program, kImage4, true));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(CloseFolderWindow(leaf));
}

}  // namespace
}  // namespace quorvel::testing
