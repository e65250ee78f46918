#include "app/form1.h"

#include <commctrl.h>

#include <utility>

#include "app/picture_button.h"
#include "drive/drive_type.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_error.h"
#include "ui/layout_at_dpi.h"

namespace quorvel {

namespace {

constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct WindowKind {
  const wchar_t* class_name;
  DWORD style;
  DWORD extended_style;
};

WindowKind KindOf(const ControlSpec& entry) {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (entry.tab_stop ? WS_TABSTOP : 0);
  switch (entry.kind) {
    case ControlKind::kFrame:
      return {L"BUTTON", child | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::kTextBox:
      return {L"EDIT", child | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
              WS_EX_CLIENTEDGE};
    case ControlKind::kListBox:
      return {L"LISTBOX", child | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case ControlKind::kLabel:
      return {L"STATIC", child | SS_CENTER | SS_NOPREFIX, 0};
    case ControlKind::kPicture:
      return {kPictureButtonClass, child, 0};
  }
  return {L"STATIC", child, 0};
}

// A group box paints only its outline, and the form does not paint under its
// children; the frame fills its own background. It also answers its
// children's colour requests, which the default would answer with grey for the
// read-only message box.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(frame, GWLP_USERDATA));
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(frame, &client);
    FillRect(reinterpret_cast<HDC>(wparam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  if (message == WM_CLOSE) {
    // The multi-line message box of a window that handles the keyboard as a
    // dialog answers Esc by asking its parent to close, and the frame's
    // default would destroy it with the message box and the list in it. Esc
    // closes nothing here.
    return 0;
  }
  if (message == WM_NEXTDLGCTL) {
    // The message box asks its parent to move the focus on Tab; the form
    // does that for the whole window.
    return SendMessageW(GetParent(frame), message, wparam, lparam);
  }
  if (message == WM_CTLCOLORSTATIC && GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == kText1) {
    const HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return CallWindowProcW(original, frame, message, wparam, lparam);
}

}  // namespace

void Form1::Tipo(const std::string& code) {
  DriveTypeText = DriveTypeName(code);
}

void Form1::LoadTextFile() {
  commands_.LoadMessage();
}

Form1::Form1(const Services& services, HINSTANCE instance)
    : commands_(services, *this), instance_(instance), layout_(kFormStyle) {}

Form1::~Form1() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void Form1::Create() {
  PictureButton::RegisterClass(instance_);

  // No class icon: the window's own icons follow its DPI.
  WNDCLASSEXW window_class = {};
  window_class.hInstance = instance_;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kForm1Class;
  RegisterWindowClass(window_class);

  // The window opens on the primary monitor, at the system's DPI; one that
  // Windows puts on another monitor takes that one's DPI at once.
  layout_.SetDpi(SystemDpi());
  artwork_.SetDpi(instance_, layout_.dpi());
  const SIZE outer = layout_.OuterSize();
  const HWND window = CreateWindowExW(0, kForm1Class, Widen(MainForm().caption).c_str(), kFormStyle,
                                      CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr,
                                      nullptr, instance_, CreationParameter());
  if (window == nullptr) FailWin32("CreateWindowExW");
  if (const int dpi = WindowDpi(window_); dpi != layout_.dpi()) {
    MoveToDpi(dpi, nullptr);
  } else {
    layout_.SizeWindow(window_, nullptr);
  }
  SetIcons();
  Form_Load();
}

void Form1::SetIcons() {
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(artwork_.LargeIcon()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(artwork_.SmallIcon()));
}

void Form1::MoveToDpi(int dpi, const RECT* suggested) {
  const HCURSOR old_hand = artwork_.HandCursor();
  layout_.SetDpi(dpi);
  artwork_.SetDpi(instance_, dpi);
  layout_.Apply(controls_);
  tool_tips_.SetDpi(dpi);
  SetIcons();
  // A cursor or icon in use must not be destroyed (DestroyCursor): the new
  // ones take their places first, the pointer's too when it is over a picture.
  if (GetCursor() == old_hand) SetCursor(artwork_.HandCursor());
  artwork_.ReleaseRetired();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (IsIconic(window_)) {
    // A minimised window has no client area to measure, and the place
    // suggested is the icon's: it is sized when it is restored, and till then
    // WM_GETMINMAXINFO holds it to the size predicted at the new DPI.
    size_when_restored_ = true;
    return;
  }
  // Windows suggests where the window goes; its size is the table's.
  layout_.SizeWindow(window_, suggested);
}

void Form1::Show(int show_command) {
  // Centred on the monitor that Windows opened the window on, at whose DPI
  // it is laid out, so that centring never takes it across to another; on
  // one monitor, the screen.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    monitor.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const RECT& screen = monitor.rcMonitor;
  RECT outer;
  GetWindowRect(window_, &outer);
  const int left = screen.left + (screen.right - screen.left - (outer.right - outer.left)) / 2;
  const int top = screen.top + (screen.bottom - screen.top - (outer.bottom - outer.top)) / 2;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A maximised start would break the fixed size; anything else is the user's.
  // Whatever it is given, the program's first ShowWindow may take the show
  // state from the STARTUPINFO of whatever started the program (the
  // ShowWindow documentation, nCmdShow and Remarks), so a shortcut set to
  // "Maximized" is undone after the call, not before it; WM_GETMINMAXINFO
  // keeps the zoomed window at its size and place meanwhile.
  ShowWindow(window_, show_command);
  if (IsZoomed(window_)) ShowWindow(window_, SW_RESTORE);
  UpdateWindow(window_);
  SetFocus(Control(kText1));
  // The tool tips wait until the window is on screen: loading the common
  // controls costs more of the start than anything else the window needs,
  // and no pointer can rest on a picture before the window is there.
  if (!PostMessageW(window_, kCreateToolTipsMessage, 0, 0)) FailWin32("PostMessageW");
}

HWND Form1::Control(int id) const {
  const auto& table = MainControls();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].id == id) return controls_[i];
  }
  return nullptr;
}

LRESULT Form1::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      window_ = window;
      break;
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == STN_CLICKED) {
        switch (LOWORD(wparam)) {
          case kImage1:
            Image1_Click();
            return 0;
          case kImage2:
            Image2_Click();
            return 0;
          case kImage3:
            Image3_Click();
            return 0;
          case kImage4:
            Image4_Click();
            return 0;
          default:
            break;
        }
      }
      break;
    case kCreateToolTipsMessage:
      // Asked for once, by Show; anyone else may post the same message.
      if (tool_tips_.window() == nullptr) CreateToolTips();
      return 0;
    case WM_CTLCOLORSTATIC: {
      // The captions, the form's only static controls: the button-text
      // colour on the form's own background.
      const HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_NEXTDLGCTL:
      MoveFocus(wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it when the window was
      // left.
      if (LOWORD(wparam) == WA_INACTIVE) {
        focus_before_deactivation_ = GetFocus();
      } else if (focus_before_deactivation_ != nullptr &&
                 IsWindowVisible(focus_before_deactivation_)) {
        SetFocus(focus_before_deactivation_);
        return 0;
      }
      break;
    case WM_GETMINMAXINFO: {
      // Zoomed or not, the window keeps its place and the table's size at
      // its DPI. Windows asks before the window is made, too.
      RECT outer;
      if (layout_.dpi() == 0 || !GetWindowRect(window, &outer)) break;
      const SIZE size = layout_.OuterSize();
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMaxSize = limits->ptMinTrackSize = limits->ptMaxTrackSize = {size.cx, size.cy};
      limits->ptMaxPosition = {outer.left, outer.top};
      return 0;
    }
    case kGetDpiScaledSizeMessage:
      // Before a move to a monitor of another DPI (Windows 10 1703 on): the
      // size that keeps the client area the table's there.
      *reinterpret_cast<SIZE*>(lparam) = layout_.OuterSizeAt(static_cast<int>(wparam));
      return TRUE;
    case kDpiChangedMessage:
      MoveToDpi(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SIZE:
      // Sent on every change of size, by DefWindowProcW's WM_WINDOWPOSCHANGED
      // (the WM_SIZE documentation), restoring a minimised window among them.
      if (wparam == SIZE_RESTORED && std::exchange(size_when_restored_, false)) {
        layout_.SizeWindow(window, nullptr);
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      controls_ = {};
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void Form1::MoveFocus(WPARAM wparam, LPARAM lparam) {
  // As a dialog would: to a given control, or to the next or previous tab
  // stop.
  HWND target = reinterpret_cast<HWND>(wparam);
  if (!LOWORD(lparam)) target = GetNextDlgTabItem(window_, GetFocus(), wparam != 0);
  if (target == nullptr) return;
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(target, EM_SETSEL, 0, -1);
  }
}

void Form1::Form_Load() {
  LoadTextFile();
}

void Form1::Image1_Click() {
  commands_.Close();
}

void Form1::Image2_Click() {
  commands_.ShowMessage();
}

void Form1::Image3_Click() {
  commands_.ReportDrive([this](const std::string& code) {
    Tipo(code);
    return DriveTypeText;
  });
}

void Form1::Image4_Click() {
  commands_.OpenDrive();
}

void Form1::SetMessageText(const std::string& text) {
  SetWindowTextW(Control(kText1), Widen(text).c_str());  // a box that refuses it stays empty
}

void Form1::SetMessageVisible(bool visible) {
  const HWND text = Control(kText1);
  // The focus must not stay in a hidden box.
  if (!visible && GetFocus() == text) SetFocus(Control(kList1));
  ShowWindow(text, visible ? SW_SHOWNA : SW_HIDE);
}

void Form1::HideWindow() {
  ShowWindow(window_, SW_HIDE);
}

void Form1::SetReportLines(const std::vector<std::string>& lines) {
  // Drawn once when the lines are in, rather than once per line; a list that
  // refuses a line shows those it took while the error is reported.
  const HWND list = Control(kList1);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  bool all_added = true;
  for (const std::string& line : lines) {
    const LRESULT added =
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
    all_added = added != LB_ERR && added != LB_ERRSPACE;
    if (!all_added) break;
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  if (!all_added) FailWin32("LB_ADDSTRING", ERROR_NOT_ENOUGH_MEMORY);
}

void Form1::CreateControls() {
  const auto& table = MainControls();
  for (std::size_t i = 0; i < table.size(); ++i) controls_[i] = CreateControl(table[i]);
}

void Form1::CreateToolTips() {
  tool_tips_.Create(window_, instance_);
  tool_tips_.SetDpi(layout_.dpi());
  const auto& table = MainControls();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].tooltip != nullptr) tool_tips_.Add(controls_[i], Widen(table[i].tooltip));
  }
}

HWND Form1::CreateControl(const ControlSpec& entry) {
  const HWND parent = entry.container == kFormId ? window_ : Control(entry.container);
  const RECT place = layout_.PlaceOf(entry);
  if (entry.kind == ControlKind::kPicture) {
    const char* tool_tip = entry.tooltip != nullptr ? entry.tooltip : "";
    return PictureButton::Create(parent, entry.id, Widen(entry.text), Widen(tool_tip), place,
                                 artwork_, entry.picture, instance_);
  }

  const WindowKind kind = KindOf(entry);
  const HWND control = CreateWindowExW(
      kind.extended_style, kind.class_name, Widen(entry.text).c_str(), kind.style, place.left,
      place.top, place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, nullptr);
  if (control == nullptr) FailWin32("CreateWindowExW");

  if (const HFONT font = layout_.FontFor(entry.font)) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (entry.kind == ControlKind::kFrame) {
    SetWindowLongPtrW(
        control, GWLP_USERDATA,
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));
  }
  return control;
}

int RunMessageLoop(HWND window) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) FailWin32("GetMessageW");
    // The window behaves like a dialog for the keyboard: Tab and Shift+Tab
    // move between the message box and the list.
    if (IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace quorvel
