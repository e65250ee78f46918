#include "win/program_under_test.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "ui/control_table.h"

namespace quorvel::testing {

namespace {

void Check(BOOL ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

void CreateFolders(const std::wstring& path) {
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

// Starts `program`; the caller closes the process handle.
PROCESS_INFORMATION StartProcess(const std::wstring& program, std::wstring command_line,
                                 const wchar_t* folder = nullptr, int show = -1) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (show >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
  }
  PROCESS_INFORMATION started = {};
  Check(CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder, &startup, &started),
        "CreateProcessW " + Utf8(program));
  CloseHandle(started.hThread);
  return started;
}

// Wine starts a Unix executable named by its Z: path as a Unix process.
void StartShell(const std::string& command) {
  std::wstring command_line = L"Z:\\bin\\sh -c \"";
  for (const wchar_t c : Utf16(command)) {
    if (c == L'"' || c == L'\\') command_line += L'\\';
    command_line += c;
  }
  CloseHandle(StartProcess(L"Z:\\bin\\sh", command_line + L'"').hProcess);
}

void Send(DWORD type, DWORD flags, WORD key = 0) {
  INPUT input = {};
  input.type = type;
  if (type == INPUT_MOUSE) input.mi.dwFlags = flags;
  if (type == INPUT_KEYBOARD) input.ki = {key, 0, flags, 0, 0};
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

std::wstring Utf16(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size())));
  return out;
}

std::wstring UnixToWindows(const std::string& unix_path) {
  std::wstring path = L"Z:" + Utf16(unix_path);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

int RunShell(const std::string& command) {
  // Wine gives no exit status of a Unix process; the shell writes it to a file.
  const std::string status_file = Environment("WINEPREFIX") + "/../shell-status";
  DeleteFileW(UnixToWindows(status_file).c_str());
  StartShell("(" + command + "); echo $? >'" + status_file + "'");
  std::string status;
  WaitFor([&] { return !(status = ReadFileBytes(UnixToWindows(status_file))).empty(); });
  return status.empty() ? -1 : std::atoi(status.c_str());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  CreateFolders(path);
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "CreateFileW " + Utf8(path));
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  Check(ok && written == bytes.size(), "WriteFile " + Utf8(path));
}

std::string ReadFileBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void ClearDrive(const std::wstring& root) {
  const auto tree = SnapshotTree(root);
  // In reverse order each folder comes after what it holds.
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
    if (it->first.find(L"\\.windows-") != std::wstring::npos) continue;  // label and serial
    SetFileAttributesW(it->first.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(it->first.c_str())) RemoveDirectoryW(it->first.c_str());
  }
}

std::map<std::wstring, std::string> SnapshotTree(const std::wstring& root) {
  std::map<std::wstring, std::string> tree;
  std::vector<std::wstring> folders = {root};
  while (!folders.empty()) {
    const std::wstring folder = folders.back();
    folders.pop_back();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
      const std::wstring name = found.cFileName, path = folder + name;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        folders.push_back(path + L"\\");
        tree[path + L"\\"] = "<folder>";
      } else if (found.nFileSizeHigh != 0 || found.nFileSizeLow > (64u << 20)) {
        // Too large to hold: its size and times stand for it.
        tree[path] = "<large " + std::to_string(found.nFileSizeLow) + " written " +
                     std::to_string(found.ftLastWriteTime.dwLowDateTime) + ">";
      } else {
        tree[path] = ReadFileBytes(path);
      }
    }
    FindClose(search);
  }
  return tree;
}

std::vector<HWND> VisibleWindows(DWORD process_id, HWND except) {
  std::vector<HWND> found;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((process_id == 0 || owner == process_id) && window != except && IsWindowVisible(window)) {
      found.push_back(window);
    }
  }
  return found;
}

ProgramUnderTest::ProgramUnderTest(const std::wstring& folder, const Launch& launch) {
  const std::wstring directory = folder.back() == L'\\' ? folder : folder + L'\\';
  CreateFolders(directory);
  const std::wstring program = directory + launch.name;
  Check(CopyFileW((BuiltProgramPath() + L"\\..\\" + launch.name).c_str(), program.c_str(), FALSE),
        "CopyFileW to " + Utf8(program));
  if (!launch.error_file.empty()) {
    StartShell("exec env " + launch.environment + " wine '" + Utf8(program) + "' " +
               Utf8(launch.arguments) + " 2>'" + launch.error_file + "'");
  } else {
    const PROCESS_INFORMATION started =
        StartProcess(program, L"\"" + program + L"\" " + launch.arguments, directory.c_str(),
                     launch.startup_show);
    process_ = started.hProcess;
    process_id_ = started.dwProcessId;
  }

  // Started through the shell, the program is the one with the window.
  WaitFor([&] {
    for (const HWND window : VisibleWindows(process_id_)) {
      wchar_t class_name[64] = {};
      GetClassNameW(window, class_name, 64);
      if (std::wstring(class_name) == L"Quorvel.Form1") window_ = window;
    }
    return window_ != nullptr || HasExited();
  });
  if (window_ == nullptr) {
    // Whatever came up instead must not hold the drive for the next test.
    if (process_ != nullptr) TerminateProcess(process_, 1);
    if (process_ == nullptr) RunShell("pkill -f '" + Utf8(launch.name) + "'");
    throw std::runtime_error("Quorvel's window did not appear");
  }
  if (process_ == nullptr) {
    GetWindowThreadProcessId(window_, &process_id_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                           FALSE, process_id_);
  }
  // Input idle: the window has been painted and waits for the user.
  WaitForInputIdle(process_, 10000);
}

ProgramUnderTest::~ProgramUnderTest() {
  if (!HasExited() && TerminateProcess(process_, 1)) WaitForSingleObject(process_, 10000);
  CloseHandle(process_);
}

HWND ProgramUnderTest::Control(int id) const {
  const auto* entry = FindControl(id);
  if (entry == nullptr) throw std::runtime_error("no control " + std::to_string(id));
  const HWND container = entry->container == kFormId ? window_ : Control(entry->container);
  return GetDlgItem(container, id);
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
  std::wstring text(length + 1, L'\0');
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 10000, &length);
  text.resize(length);
  return text;
}

std::wstring ProgramUnderTest::Text(int id) const {
  return WindowText(Control(id));
}

std::vector<std::wstring> ProgramUnderTest::ListLines(int id) const {
  const HWND list = Control(id);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::vector<std::wstring> lines;
  for (LRESULT i = 0; i < count; ++i) {
    // A line that went meanwhile (LB_ERR) reads as empty.
    std::wstring line(std::max<LRESULT>(0, SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    line.resize(std::max<LRESULT>(
        0, SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
    lines.push_back(line);
  }
  return lines;
}

void ProgramUnderTest::Click(int id) const {
  const RECT rect = ScreenRect(id);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
  Send(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
}

void ProgramUnderTest::PressKey(WORD virtual_key, bool with_shift) const {
  if (with_shift) Send(INPUT_KEYBOARD, 0, VK_SHIFT);
  Send(INPUT_KEYBOARD, 0, virtual_key);
  Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, virtual_key);
  if (with_shift) Send(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_SHIFT);
}

}  // namespace quorvel::testing
