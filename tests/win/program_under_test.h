// Runs the real Quorvel.exe from a folder that stands for the pen drive and
// looks at its window from outside, as a user's tools would: messages to read
// the controls, real mouse clicks and key presses through the input queue.
// The same tests run under Wine, on the fixture's simulated drives, and on a
// real PC from the test kit: every path comes from the environment or from
// where this program lies.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/control_table.h"

namespace quorvel::testing {

namespace fs = std::filesystem;

// How long a wait may last before it counts as a hang. It never measures
// speed.
inline constexpr std::chrono::seconds kHangTimeout{60};

inline std::wstring Utf16(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end())).wstring();
}

// The environment variable `name`, or nothing where it is unset or empty.
inline std::optional<std::wstring> Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value && *value ? std::optional<std::wstring>(value) : std::nullopt;
}

// The folder of this test program. The build and the test kit put the
// programs under test beside it: Quorvel.exe, QuorvelFault.exe, the planted
// libraries in planted\, and the sample message.
inline fs::path BuildFile(const std::wstring& name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, length)).parent_path() / name;
}

// The folder that stands for the pen drive (QUORVEL_PEN): the tests own it
// whole and empty it before each test. The Wine runs give the fixture's
// removable drive E:, the kit a folder of its own on the drive that holds it;
// by default, pen\ beside this program.
inline fs::path PenFolder() {
  return Environment(L"QUORVEL_PEN").value_or(BuildFile(L"pen").wstring());
}

// The folder in which the Wine fixture keeps its simulated drives (pen\ for
// E:, fixed\ for F:), as Wine names it, or nothing on a real PC.
inline std::optional<fs::path> FixtureDrives() {
  return Environment(L"QUORVEL_FIXTURE_DRIVES");
}
inline constexpr char kNeedsFixture[] =
    "needs the Wine fixture: its simulated drives, share and settings";

inline std::string ReadFileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Writes `bytes` to `path`, creating its folders.
inline void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  if (!(std::ofstream(path, std::ios::binary) << bytes)) throw std::runtime_error("not written");
}

// The visible top-level windows of a process.
inline std::vector<HWND> VisibleWindows(DWORD process_id) {
  std::vector<HWND> found;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process_id && IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

// A window's text, from another process too.
inline std::wstring WindowText(HWND window) {
  std::wstring text(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
  text.resize(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return text;
}

// The system folder as this process names it, in small letters, with a
// trailing backslash.
inline std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return CharLowerW(std::wstring(folder, length).append(L"\\").data());
}

// Waits until `condition` holds, up to kHangTimeout; returns whether it did.
template <typename Condition>
bool WaitFor(Condition condition) {
  for (const auto end = std::chrono::steady_clock::now() + kHangTimeout; !condition(); Sleep(20))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

// Empties `pen` (the pen folder by default) but for hidden entries: the
// fixture keeps its drive's label and serial number there in hidden files.
inline void ClearPen(const fs::path& pen = PenFolder()) {
  fs::create_directories(pen);
  for (const auto& entry : fs::directory_iterator(pen))
    if (!(GetFileAttributesW(entry.path().c_str()) & FILE_ATTRIBUTE_HIDDEN))
      fs::remove_all(entry.path());
}

// Every file and folder in the pen folder, with its size, attributes and
// time of last change.
inline std::wstring PenListing() {
  std::vector<std::wstring> lines;
  for (const auto& entry : fs::recursive_directory_iterator(PenFolder())) {
    WIN32_FILE_ATTRIBUTE_DATA facts = {};
    GetFileAttributesExW(entry.path().c_str(), GetFileExInfoStandard, &facts);
    lines.push_back(entry.path().wstring() + L"\t" + std::to_wstring(facts.nFileSizeLow) + L"," +
                    std::to_wstring(facts.dwFileAttributes) + L"," +
                    std::to_wstring(facts.ftLastWriteTime.dwLowDateTime) + L"\n");
  }
  std::sort(lines.begin(), lines.end());
  return std::accumulate(lines.begin(), lines.end(), std::wstring());
}

class ProgramUnderTest {
 public:
  // Copies `name`, a program beside this one, into `folder` (created if need
  // be; a program that is not there is copied empty and fails to start) and
  // starts it there with `arguments` and `show`, the mouse in a corner;
  // waits until its window is visible and idle.
  explicit ProgramUnderTest(const fs::path& folder = PenFolder(),
                            const std::wstring& name = L"Quorvel.exe",
                            const std::wstring& arguments = L"", int show = -1) {
    const std::wstring program = (folder / name).wstring();
    WriteFileBytes(program, ReadFileBytes(BuildFile(name)));
    // The copy is the test's doing; from here on the drive is the program's
    // to leave as it is.
    pen_before_ = PenListing();
    SetCursorPos(0, 0);  // out of the way: no tool tip over the pictures
    // The show state in STARTUPINFO when `show` is not negative, as a
    // shortcut's "Run" setting gives it.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = show >= 0 ? STARTF_USESHOWWINDOW : 0;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started = {};
    std::wstring command_line = L"\"" + program + L"\" " + arguments;
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started))
      throw std::runtime_error("CreateProcessW failed: error " + std::to_string(GetLastError()));
    process_.reset(started.hProcess);
    CloseHandle(started.hThread);
    WaitFor([&] {
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Quorvel.Form1", nullptr)) != nullptr;)
        if (GetWindowThreadProcessId(w, nullptr) == started.dwThreadId && IsWindowVisible(w))
          window_ = w;
      return window_ != nullptr || HasExited();
    });
    // Whatever came up instead must not hold the drive for the next test.
    if (window_ == nullptr) TerminateProcess(process(), 1);
    if (window_ == nullptr) throw std::runtime_error("Quorvel's window did not appear");
    WaitForInputIdle(process(), 10000);  // painted, and waiting for the user
  }
  // Ends the program if it still runs; then the pen drive must be as it was
  // when the program started, since the program writes nothing.
  ~ProgramUnderTest() {
    if (!HasExited() && TerminateProcess(process(), 1)) WaitForSingleObject(process(), 10000);
    EXPECT_EQ(PenListing(), pen_before_) << "the program changed the pen drive";
  }

  HWND window() const { return window_; }
  HANDLE process() const { return process_.get(); }
  DWORD process_id() const { return GetProcessId(process()); }
  HWND Control(int id) const {  // searched through the frame too
    const HWND control = GetDlgItem(window_, id);
    return control ? control : GetDlgItem(GetDlgItem(window_, kFrame1), id);
  }
  std::wstring Text(int id) const { return WindowText(Control(id)); }
  bool IsVisible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
  // List1's lines; the count is read first, so that a list read while a
  // report replaces its lines never passes for the new one.
  std::vector<std::wstring> ListLines() const {
    std::vector<std::wstring> lines(SendMessageW(Control(kList1), LB_GETCOUNT, 0, 0));
    wchar_t line[1024] = {};  // far more than any line of the report
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (SendMessageW(Control(kList1), LB_GETTEXT, i, reinterpret_cast<LPARAM>(line)) >= 0)
        lines[i] = line;
    return lines;
  }
  // Clicks "Informações" (or has `press` press it) below a line of the
  // test's own, and waits for ten lines that replace it or for the program's
  // end; returns the list.
  std::vector<std::wstring> Report(const std::function<void()>& press = nullptr) const {
    const wchar_t marker[] = L"left from before";
    SendMessageW(Control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(marker));
    press ? press() : PostClick(kImage3);
    std::vector<std::wstring> lines;
    WaitFor([&] {
      return ((lines = ListLines()).size() == 10 && lines.back() != marker) || HasExited();
    });
    return lines;
  }

  // A real left click at the control's centre, through the input queue.
  void Click(int id) const {
    RECT rect;
    GetWindowRect(Control(id), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  }
  // A click posted to the picture as button down and up, which no other
  // window can take: Wine may drop an injected click after another program
  // was clicked.
  void PostClick(int id) const {
    PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }
  // Brings the window to the front, where real key presses go. Windows lets
  // the process that sent the last input do that (SetForegroundWindow), so
  // a harmless Shift goes first.
  bool Activate() const {
    keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    SetForegroundWindow(window_);
    return WaitFor([&] { return GetForegroundWindow() == window_; });
  }
  // A real key press, through the input queue.
  void PressKey(BYTE virtual_key, bool with_shift = false) const {
    if (with_shift) keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(virtual_key, 0, 0, 0);
    keybd_event(virtual_key, 0, KEYEVENTF_KEYUP, 0);
    if (with_shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  }

  bool HasExited() const { return WaitForSingleObject(process(), 0) == WAIT_OBJECT_0; }
  // The exit code once the program has ended, waiting up to kHangTimeout;
  // STILL_ACTIVE if it has not.
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(process(), kHangTimeout.count() * 1000);
    GetExitCodeProcess(process(), &code);
    return code;
  }
  // The program's working set and private bytes, in KiB (0 where the system
  // does not say).
  std::pair<long, long> MemoryKib() const {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters);
    return {static_cast<long>(counters.WorkingSetSize / 1024),
            static_cast<long>(counters.PrivateUsage / 1024)};
  }

 private:
  // Closed when the harness goes, which also keeps the harness from being
  // copied.
  std::unique_ptr<void, decltype(&CloseHandle)> process_{nullptr, CloseHandle};
  HWND window_ = nullptr;
  std::wstring pen_before_;
};

// Waits for the file browser's window titled `title`, which "Abrir Pen"
// opens, and closes it; returns whether it came and went.
inline bool CloseFolderWindow(const std::wstring& title) {
  HWND browser = nullptr;
  if (!WaitFor([&] { return (browser = FindWindowW(nullptr, title.c_str())) != nullptr; }))
    return false;
  PostMessageW(browser, WM_CLOSE, 0, 0);
  return WaitFor([&] { return !IsWindow(browser); });
}

// A test on the pen folder, which starts empty.
struct PenDriveTest : ::testing::Test {
  void SetUp() override { ClearPen(); }
};

}  // namespace quorvel::testing
