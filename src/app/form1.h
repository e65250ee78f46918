// The program's one window: the owner's message above four picture buttons.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "app/artwork.h"
#include "app/form_layout.h"
#include "app/tool_tips.h"
#include "app/window_object.h"
#include "commands/commands.h"
#include "platform/services.h"
#include "platform/win32/handles.h"
#include "ui/control_table.h"

namespace quorvel {

inline constexpr wchar_t kForm1Class[] = L"Quorvel.Form1";

// Posted to the window once it is shown.
inline constexpr UINT kCreateToolTipsMessage = WM_APP;

// Sent to a per-monitor aware window that moves to a monitor of another DPI
// (WM_DPICHANGED, Windows 8.1 on), and before that for its new size
// (WM_GETDPISCALEDSIZE, Windows 10 1703 on); headers for Windows 7 lack them.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;

class Form1 final : public WindowObject, private MainView {
 public:
  // Gives the name of the drive type written in `code` to DriveTypeText.
  void Tipo(const std::string& code);
  // Puts the owner's message into Text1; a message that cannot be read leaves
  // the box empty.
  void LoadTextFile();

  // The name that Tipo gave last; the drive report reads it.
  std::string DriveTypeText;

  Form1(const Services& services, HINSTANCE instance);
  ~Form1() override;

  // Builds the window and its controls and runs the load event; the window
  // is not shown yet.
  void Create();
  // Centres the window on its monitor, shows it and gives Text1 the focus;
  // the tool tips follow from the message loop.
  void Show(int show_command);

  HWND window() const { return window_; }
  HWND Control(int id) const;

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void SetMessageText(const std::string& text) override;
  void SetMessageVisible(bool visible) override;
  void SetReportLines(const std::vector<std::string>& lines) override;
  void HideWindow() override;

  void Form_Load();
  void Image1_Click();
  void Image2_Click();
  void Image3_Click();
  void Image4_Click();

  void MoveFocus(WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void CreateToolTips();
  HWND CreateControl(const ControlSpec& entry);
  void SetIcons();
  // Lays the window out at `dpi`, and puts it at `suggested`'s top-left
  // corner where Windows suggests one.
  void MoveToDpi(int dpi, const RECT* suggested);

  Commands commands_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  std::array<HWND, 11> controls_ = {};  // in the order of the control table
  FormLayout layout_;
  Artwork artwork_;
  ToolTips tool_tips_;
  HWND focus_before_deactivation_ = nullptr;
  bool size_when_restored_ = false;  // moved to another DPI while minimised
};

// Runs the window's message loop until it ends; returns the exit code.
int RunMessageLoop(HWND window);

}  // namespace quorvel
