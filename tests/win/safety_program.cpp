#include "win/safety_program.h"

#include <cstdlib>
#include <stdexcept>

#include "ui/control_table.h"
#include "win/program_under_test.h"

namespace quorvel::testing {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

struct WindowSearch {
  DWORD process_id;
  HWND main;  // skipped, may be null
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && window != search->main && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// This process's environment with `changes` made to it, as a block for
// CreateProcessW.
std::wstring EnvironmentBlock(const std::map<std::wstring, std::wstring>& changes) {
  std::map<std::wstring, std::wstring> variables;
  if (wchar_t* strings = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      const std::size_t equals = text.find(L'=', 1);
      if (equals != std::wstring::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(strings);
  }
  for (const auto& [name, value] : changes) variables[name] = value;
  std::wstring block;
  for (const auto& [name, value] : variables) block += name + L"=" + value + L'\0';
  block += L'\0';
  return block;
}

}  // namespace

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::wstring UnixToWindows(const std::string& unix_path) {
  std::wstring path = L"Z:" + Utf16(unix_path);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::wstring BuildFolder() {
  const std::wstring program = BuiltProgramPath();
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

std::string ReadWholeFileBytes(const std::wstring& path) {
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

HANDLE StartShell(const std::string& command) {
  // Wine starts a Unix executable named by its Z: path as a Unix process.
  std::wstring quoted;
  for (const wchar_t c : Utf16(command)) {
    if (c == L'"' || c == L'\\') quoted += L'\\';
    quoted += c;
  }
  std::wstring command_line = L"Z:\\bin\\sh -c \"" + quoted + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    Fail("CreateProcessW /bin/sh");
  }
  CloseHandle(started.hThread);
  return started.hProcess;
}

int RunShell(const std::string& command) {
  // Wine gives no exit status of a Unix process; the shell writes it to a file.
  const std::string status_file = Environment("WINEPREFIX") + "/../shell-status";
  const std::wstring status_path = UnixToWindows(status_file);
  DeleteFileW(status_path.c_str());
  CloseHandle(StartShell("(" + command + "); echo $? >'" + status_file + ".new' && mv '" +
                         status_file + ".new' '" + status_file + "'"));
  std::string status;
  WaitFor([&] {
    status = ReadWholeFileBytes(status_path);
    return !status.empty();
  });
  return status.empty() ? -1 : std::atoi(status.c_str());
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

LaunchedProgram::LaunchedProgram(const LaunchOptions& options) {
  if (!options.error_file.empty()) {
    std::string command = "exec env";
    for (const auto& [name, value] : options.environment) {
      command += " " + ShellQuoted(Utf8(name) + "=" + Utf8(value));
    }
    command += " wine " + ShellQuoted(Utf8(options.program));
    if (!options.arguments.empty()) command += " " + Utf8(options.arguments);
    command += " 2>" + ShellQuoted(options.error_file);
    CloseHandle(StartShell(command));
  } else {
    std::wstring environment = EnvironmentBlock(options.environment);
    std::wstring command_line = L"\"" + options.program + L"\"";
    if (!options.arguments.empty()) command_line += L" " + options.arguments;
    const std::wstring folder = options.program.substr(0, options.program.find_last_of(L'\\') + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(options.program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(), &startup,
                        &started)) {
      Fail("CreateProcessW " + Utf8(options.program));
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    process_id_ = started.dwProcessId;
  }

  WaitFor([&] {
    if (process_ == nullptr) {
      // Started by the wine command: the process is the one with the window.
      const HWND window = FindWindowW(L"Quorvel.Form1", nullptr);
      if (window != nullptr && IsWindowVisible(window)) {
        GetWindowThreadProcessId(window, &process_id_);
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                               FALSE, process_id_);
        window_ = window;
      }
      return process_ != nullptr;
    }
    WindowSearch search = {process_id_, nullptr, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    for (const HWND window : search.found) {
      if (ClassOf(window) == L"Quorvel.Form1") window_ = window;
    }
    return window_ != nullptr || HasExited();
  });
  if (window_ == nullptr) throw std::runtime_error("the program's window did not appear");
  WaitForInputIdle(process_, 10000);
}

LaunchedProgram::~LaunchedProgram() {
  if (!HasExited()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

HWND LaunchedProgram::Control(int id) const {
  const ControlSpec* spec = FindControl(id);
  if (spec == nullptr) throw std::runtime_error("no control " + std::to_string(id));
  const HWND container = spec->container == kFormId ? window_ : Control(spec->container);
  return GetDlgItem(container, id);
}

std::vector<std::wstring> LaunchedProgram::ListLines() const {
  const HWND list = Control(kList1);
  std::vector<std::wstring> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
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

std::wstring LaunchedProgram::Text1() const {
  const HWND box = Control(kText1);
  std::wstring text(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

bool LaunchedProgram::Text1Visible() const {
  return IsWindowVisible(Control(kText1)) != FALSE;
}

bool LaunchedProgram::SendClick(int id) const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window_, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                             reinterpret_cast<LPARAM>(Control(id)), SMTO_NORMAL,
                             static_cast<UINT>(kHangTimeout.count() * 1000), &result) != 0;
}

void LaunchedProgram::PostMouseClick(int id) const {
  const HWND picture = Control(id);
  PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

std::vector<HWND> LaunchedProgram::OtherWindows() const {
  WindowSearch search = {process_id_, window_, {}};
  EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool LaunchedProgram::WaitForExit() const {
  return WaitForSingleObject(process_, static_cast<DWORD>(kHangTimeout.count() * 1000)) ==
         WAIT_OBJECT_0;
}

bool LaunchedProgram::HasExited() const {
  return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

DWORD LaunchedProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

int UnixPidOf(const std::wstring& program) {
  // Wine shows a process's Windows command line as its Unix one.
  const std::string wanted = Utf8(program);
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int pid = 0;
  do {
    const std::wstring name = found.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::string command = ReadWholeFileBytes(L"Z:\\proc\\" + name + L"\\cmdline");
    if (CompareStringOrdinal(Utf16(command.substr(0, command.find('\0'))).c_str(), -1,
                             program.c_str(), -1, TRUE) == CSTR_EQUAL ||
        command.find(wanted) != std::string::npos) {
      pid = _wtoi(name.c_str());
      break;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return pid;
}

long ResidentKib(int unix_pid) {
  const std::string status =
      ReadWholeFileBytes(L"Z:\\proc\\" + std::to_wstring(unix_pid) + L"\\status");
  const std::size_t at = status.find("VmRSS:");
  if (at == std::string::npos) return -1;
  return std::strtol(status.c_str() + at + 6, nullptr, 10);
}

}  // namespace quorvel::testing
