#include "app/picture_button_accessible.h"

#include <oleacc.h>

#include <new>
#include <utility>

#include "app/picture_button.h"
#include "platform/win32/system_library.h"

namespace quorvel {

namespace {

// Interfaces are named by __uuidof, which takes no symbol from a library:
// MinGW-w64's x86_64 oleacc import library, which the tests link, has an
// IID_IAccessible that is a function.

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// `text` as a new string for the button itself; a picture has no children,
// and any other child id is refused as the standard object refuses it.
HRESULT TextOfSelf(const VARIANT& child, const wchar_t* text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsSelf(child)) return E_INVALIDARG;
  *out = SysAllocString(text);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The button's accessible object: the standard object for its client area,
// but for what makes it a push button.
class AccessiblePicture final : public IAccessible, public IOleWindow {
 public:
  AccessiblePicture(HWND button, BSTR tool_tip, ComPtr<IAccessible> standard, ModuleHandle oleacc)
      : oleacc_(std::move(oleacc)),
        standard_(std::move(standard)),
        button_(button),
        tool_tip_(tool_tip) {}
  ~AccessiblePicture() { SysFreeString(tool_tip_); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *object = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, __uuidof(IOleWindow))) {
      *object = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // Late binding would reach the standard object's own answers through its
  // Invoke, so none is offered; readers call the methods themselves.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // What makes it a push button.
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    VariantInit(role);
    if (!IsSelf(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return TextOfSelf(child, tool_tip_, text);
  }
  // UI Automation's proxy takes the help text from here, not the description.
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return TextOfSelf(child, tool_tip_, text);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    return TextOfSelf(child, L"Premir", text);
  }
  // Never the keyboard focus: the layout keeps the pictures mouse-only.
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT result = standard_->get_accState(child, state);
    if (SUCCEEDED(result) && state->vt == VT_I4) state->lVal &= ~STATE_SYSTEM_FOCUSABLE;
    return result;
  }
  // Posted, so that the reader's call returns before the click ends the
  // program (Fechar, Abrir Pen).
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    return PictureButton::Click(button_, true) ? S_OK : E_FAIL;
  }

  // The rest as the standard object answers it: the name (the caption, the
  // button's text), place, hit test, navigation, parent.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return standard_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

  // Which window the object is, for WindowFromAccessibleObject and UI
  // Automation's proxy.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = button_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  ModuleHandle oleacc_;  // released last, after the standard object
  ComPtr<IAccessible> standard_;
  HWND button_;
  BSTR tool_tip_;
  LONG references_ = 1;
};

}  // namespace

LRESULT PictureButtonAccessible::AnswerClientRequest(HWND button, WPARAM flags) {
  if (!oleacc_) {
    oleacc_ = TryLoadSystemLibrary(L"oleacc.dll");
    create_standard_ =
        OptionalFunction<CreateStandardFunction>(oleacc_.get(), "CreateStdAccessibleObject");
    lresult_from_object_ =
        OptionalFunction<LresultFromObjectFunction>(oleacc_.get(), "LresultFromObject");
  }
  if (create_standard_ == nullptr || lresult_from_object_ == nullptr) return 0;
  ComPtr<IAccessible> standard;
  if (FAILED(create_standard_(button, OBJID_CLIENT, __uuidof(IAccessible), standard.put_void()))) {
    return 0;
  }
  ModuleHandle hold = TryLoadSystemLibrary(L"oleacc.dll");
  BSTR tool_tip = SysAllocString(tool_tip_.c_str());
  if (!hold || tool_tip == nullptr) {
    SysFreeString(tool_tip);
    return 0;
  }
  auto* object =
      new (std::nothrow) AccessiblePicture(button, tool_tip, std::move(standard), std::move(hold));
  if (object == nullptr) {
    SysFreeString(tool_tip);
    return 0;
  }
  // The reference that LresultFromObject takes is the reader's; the object
  // goes when the reader lets it go.
  const LRESULT result =
      lresult_from_object_(__uuidof(IAccessible), flags, static_cast<IAccessible*>(object));
  object->Release();
  return result > 0 ? result : 0;
}

}  // namespace quorvel
