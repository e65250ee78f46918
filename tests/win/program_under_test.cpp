#include "win/program_under_test.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/control_table.h"

namespace quorvel::testing {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

struct FoundWindow {
  DWORD process_id;
  HWND window;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM lparam) {
  auto* found = reinterpret_cast<FoundWindow*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (owner == found->process_id && std::wstring(class_name) == L"Quorvel.Form1" &&
      IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void SendKey(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::string out(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()),
                      nullptr, nullptr);
  return out;
}

std::wstring Utf16(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring out(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()));
  return out;
}

namespace {

// A Unix path from the environment, as Wine's Z: drive shows it.
std::wstring UnixPathFromEnvironment(const char* variable) {
  const char* unix_path = std::getenv(variable);
  if (unix_path == nullptr) throw std::runtime_error(std::string(variable) + " is not set");
  std::wstring path = L"Z:" + Utf16(unix_path);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

}  // namespace

std::wstring BuiltProgramPath() { return UnixPathFromEnvironment("QUORVEL_EXE"); }

std::wstring ArtFolder() { return UnixPathFromEnvironment("QUORVEL_ART_DIR"); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("CreateFileW " + Utf8(path));
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) Fail("WriteFile " + Utf8(path));
}

std::string ReadFileBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void ClearDrive(const std::wstring& root) {
  // SHFileOperation would do, but a plain walk keeps the test free of shell32.
  std::vector<std::wstring> folders = {root};
  std::vector<std::wstring> to_remove;
  while (!folders.empty()) {
    const std::wstring folder = folders.back();
    folders.pop_back();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L".." || name == L".windows-label" ||
          name == L".windows-serial") {
        continue;
      }
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        folders.push_back(path + L"\\");
        to_remove.push_back(path + L"\\");
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  // Deepest folders first.
  for (auto it = to_remove.rbegin(); it != to_remove.rend(); ++it) RemoveDirectoryW(it->c_str());
}

std::map<std::wstring, std::string> SnapshotTree(const std::wstring& root) {
  std::map<std::wstring, std::string> tree;
  std::vector<std::wstring> folders = {root};
  while (!folders.empty()) {
    const std::wstring folder = folders.back();
    folders.pop_back();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        tree[path + L"\\"] = "<folder>";
        folders.push_back(path + L"\\");
        continue;
      }
      std::string& contents = tree[path];
      if (found.nFileSizeHigh != 0 || found.nFileSizeLow > (64u << 20)) {
        // Too large to hold: its size and times stand for it.
        contents = "<large " + std::to_string(found.nFileSizeHigh) + ":" +
                   std::to_string(found.nFileSizeLow) + " written " +
                   std::to_string(found.ftLastWriteTime.dwLowDateTime) + ">";
        continue;
      }
      const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        contents = "<unreadable>";
        continue;
      }
      contents.resize(found.nFileSizeLow);
      DWORD read = 0;
      if (!contents.empty()) {
        ReadFile(file, contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr);
      }
      contents.resize(read);
      CloseHandle(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return tree;
}

ProgramUnderTest::ProgramUnderTest(const std::wstring& folder) {
  std::wstring directory = folder;
  if (directory.back() != L'\\') directory += L'\\';
  for (std::size_t i = 3; i < directory.size(); ++i) {
    if (directory[i] == L'\\') CreateDirectoryW(directory.substr(0, i).c_str(), nullptr);
  }
  const std::wstring program = directory + L"Quorvel.exe";
  if (!CopyFileW(BuiltProgramPath().c_str(), program.c_str(), FALSE)) {
    Fail("CopyFileW to " + Utf8(program));
  }

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  std::wstring command_line = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &started)) {
    Fail("CreateProcessW " + Utf8(program));
  }
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  process_id_ = started.dwProcessId;

  FoundWindow found = {process_id_, nullptr};
  WaitFor([&] {
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr || HasExited();
  });
  window_ = found.window;
  if (window_ == nullptr) throw std::runtime_error("Quorvel's window did not appear");
  // Input idle: the window has been painted and waits for the user.
  WaitForInputIdle(process_, 10000);
}

ProgramUnderTest::~ProgramUnderTest() {
  if (!HasExited()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

HWND ProgramUnderTest::Control(int id) const {
  const ControlSpec* spec = FindControl(id);
  if (spec == nullptr) throw std::runtime_error("no control " + std::to_string(id));
  const HWND container = spec->container == kFormId ? window_ : Control(spec->container);
  return GetDlgItem(container, id);
}

std::wstring ProgramUnderTest::Text(int id) const {
  const HWND control = Control(id);
  DWORD_PTR length = 0;
  SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 10000, &copied);
  text.resize(copied);
  return text;
}

std::vector<std::wstring> ProgramUnderTest::ListLines(int id) const {
  const HWND list = Control(id);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::vector<std::wstring> lines;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length == LB_ERR) break;
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    lines.push_back(line);
  }
  return lines;
}

bool ProgramUnderTest::IsVisible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }

RECT ProgramUnderTest::ScreenRect(int id) const {
  RECT rect = {};
  GetWindowRect(Control(id), &rect);
  return rect;
}

void ProgramUnderTest::Click(int id) const {
  const RECT rect = ScreenRect(id);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

void ProgramUnderTest::PressKey(WORD virtual_key, bool with_shift) const {
  if (with_shift) SendKey(VK_SHIFT, false);
  SendKey(virtual_key, false);
  SendKey(virtual_key, true);
  if (with_shift) SendKey(VK_SHIFT, true);
}

bool ProgramUnderTest::WaitForExit() const {
  return WaitForSingleObject(process_, static_cast<DWORD>(kHangTimeout.count() * 1000)) ==
         WAIT_OBJECT_0;
}

bool ProgramUnderTest::HasExited() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

DWORD ProgramUnderTest::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

}  // namespace quorvel::testing
