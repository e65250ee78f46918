// Runs the real Quorvel.exe from the fixture's pen drive and looks at its
// window from outside, as a user's tools would: messages to read the controls,
// real mouse clicks through the input queue.
#pragma once

#include <windows.h>

#include <chrono>
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

// The Quorvel.exe that the build made (from the QUORVEL_EXE environment
// variable, a Unix path).
std::wstring BuiltProgramPath();
// The committed artwork (from QUORVEL_ART_DIR, a Unix path).
std::wstring ArtFolder();

// Writes `bytes` to `path`, creating its folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The bytes of the file at `path`; "" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Empties a drive's root except for Wine's label and serial files.
void ClearDrive(const std::wstring& root);
// Every file and folder below `root`, with the bytes of each file.
std::map<std::wstring, std::string> SnapshotTree(const std::wstring& root);

std::string Utf8(const std::wstring& text);
std::wstring Utf16(const std::string& text);

// Waits until `condition` holds, up to kHangTimeout; returns whether it did.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kHangTimeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(20);
  }
  return true;
}

class ProgramUnderTest {
 public:
  // Copies the built program into `folder` (created if need be) and starts it
  // there; waits until its window is visible.
  explicit ProgramUnderTest(const std::wstring& folder);
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
  // Ends the program if a test left it running.
  ~ProgramUnderTest();

  HWND window() const { return window_; }
  HWND Control(int id) const;  // searched through the frame too
  std::wstring Text(int id) const;
  std::vector<std::wstring> ListLines(int id) const;
  bool IsVisible(int id) const;
  RECT ScreenRect(int id) const;

  // A real left click at the control's centre, through SendInput.
  void Click(int id) const;
  // Real key presses, through SendInput.
  void PressKey(WORD virtual_key, bool with_shift = false) const;

  // Waits for the process to end; returns whether it did within the timeout.
  bool WaitForExit() const;
  bool HasExited() const;
  DWORD ExitCode() const;
  DWORD process_id() const { return process_id_; }

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  HWND window_ = nullptr;
};

}  // namespace quorvel::testing
