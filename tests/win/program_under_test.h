// Runs the real Quorvel.exe from the fixture's pen drive and looks at its
// window from outside, as a user's tools would: messages to read the controls,
// real mouse clicks through the input queue.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace quorvel::testing {

// How long a wait may last before it counts as a hang. It never measures
// speed.
inline constexpr std::chrono::seconds kHangTimeout{60};

// The pen drive of the Wine fixture: E:, removable, labelled, with a serial
// number whose top bit is set.
inline constexpr wchar_t kPenRoot[] = L"E:\\";

std::string Utf8(const std::wstring& text);
std::wstring Utf16(const std::string& text);
// An environment variable of this process ("" when unset).
inline std::string Environment(const char* name) {
  return std::getenv(name) ? std::getenv(name) : "";
}
// A Unix path as Wine shows it on drive Z:.
std::wstring UnixToWindows(const std::string& unix_path);
// The Quorvel.exe that the build made, and the committed artwork. The build's
// other programs are at BuiltProgramPath() + L"\\..\\" + their name.
inline std::wstring BuiltProgramPath() {
  return UnixToWindows(Environment("QUORVEL_EXE"));
}
inline std::wstring ArtFolder() {
  return UnixToWindows(Environment("QUORVEL_ART_DIR"));
}
// Runs `command` with /bin/sh on the Linux side; returns its exit status.
int RunShell(const std::string& command);

// Writes `bytes` to `path`, creating its folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The bytes of the file at `path`; "" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Empties a drive's root except for Wine's label and serial files.
void ClearDrive(const std::wstring& root);
// Every file and folder below `root`, with the bytes of each file.
std::map<std::wstring, std::string> SnapshotTree(const std::wstring& root);
// The visible top-level windows of a process (of all when 0), but `except`.
std::vector<HWND> VisibleWindows(DWORD process_id = 0, HWND except = nullptr);
// A window's text, asked across processes without hanging on a stuck one.
std::wstring WindowText(HWND window);

// Waits until `condition` holds, up to kHangTimeout; returns whether it did.
template <typename Condition>
bool WaitFor(Condition condition) {
  for (const auto end = std::chrono::steady_clock::now() + kHangTimeout; !condition(); Sleep(20)) {
    if (std::chrono::steady_clock::now() > end) return false;
  }
  return true;
}

// How the program is started, beyond the plain run of Quorvel.exe.
struct Launch {
  std::wstring name = L"Quorvel.exe";  // a program of the build folder
  std::wstring arguments;
  // When `error_file` (a Unix path) is set, the program starts through the
  // wine command from /bin/sh, with `environment` (shell words NAME=value)
  // and its standard error, Wine's debug trace too, in that file: Wine gives
  // a windowed program started by CreateProcessW its parent's standard error.
  std::string environment, error_file;
  // The show state that the program's STARTUPINFO asks for, as a shortcut's
  // "Run" setting does; none when negative.
  int startup_show = -1;
};

class ProgramUnderTest {
 public:
  // Copies the program into `folder` (created if need be) and starts it
  // there; waits until its window is visible.
  explicit ProgramUnderTest(const std::wstring& folder, const Launch& launch = {});
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
  // Ends the program if a test left it running.
  ~ProgramUnderTest();

  HWND window() const { return window_; }
  HWND Control(int id) const;  // searched through the frame too
  std::wstring Text(int id) const;
  std::vector<std::wstring> ListLines(int id) const;
  bool IsVisible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
  RECT ScreenRect(int id) const {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    return rect;
  }

  // A real left click at the control's centre, through SendInput.
  void Click(int id) const;
  // A click posted to the picture as button down and up, which no other
  // window can take: Wine may drop an injected click after another program
  // was clicked.
  void PostClick(int id) const {
    PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }
  // Real key presses, through SendInput.
  void PressKey(WORD virtual_key, bool with_shift = false) const;

  // Waits for the process to end; returns whether it did within the timeout.
  bool WaitForExit() const {
    return WaitForSingleObject(process_, kHangTimeout.count() * 1000) == 0;
  }
  bool HasExited() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
  }
  DWORD process_id() const { return process_id_; }
  HANDLE process() const { return process_; }

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  HWND window_ = nullptr;
};

}  // namespace quorvel::testing
