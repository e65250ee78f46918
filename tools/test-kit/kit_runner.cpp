// The test kit's runner, which run-tests.cmd starts: runs the unit tests, the
// in-process window tests and the end-to-end tests that lie beside it on this
// PC, writes quorvel-test-report.txt (beside itself, or in the temporary
// folder where its own cannot be written) naming the PC and every test's
// result, and ends with one line, "N passed, N failed, N skipped", and exit
// code 0 when nothing failed.
//
// The end-to-end tests run from a folder of the kit's own, pen\, on the drive
// that holds the kit. The tests get their environment from here alone: every
// QUORVEL_ variable that this process inherited is left out, so that a run
// from a developer's shell or under Wine's test fixture is a run on a PC.
// Every program that a test starts is ended with the run, at the latest when
// the runner's job object closes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorvel::kit {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::wstring& text) {
  const std::u8string bytes = fs::path(text).u8string();
  return std::string(bytes.begin(), bytes.end());
}

std::wstring Utf16(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end())).wstring();
}

// A line on the console, in whatever language its names are in.
void Print(const std::wstring& line) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const std::wstring text = line + L"\r\n";
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
  } else {
    const std::string bytes = Utf8(text);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  const HMODULE loaded = GetModuleHandleW(module);
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                : nullptr;
}

std::wstring Number(unsigned long long value) {
  return std::to_wstring(value);
}

std::wstring Hex(DWORD value) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// The Windows version and build, as Windows itself says it (RtlGetVersion,
// which no compatibility setting changes), with the release and update
// revision from the registry where it has them.
std::wstring WindowsVersion() {
  OSVERSIONINFOEXW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  if (const auto get = SystemFunction<GetVersionFunction>(L"ntdll.dll", "RtlGetVersion"))
    get(&version);
  std::wstring text = Number(version.dwMajorVersion) + L"." + Number(version.dwMinorVersion) +
                      L"." + Number(version.dwBuildNumber);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                    KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
    DWORD revision = 0, size = sizeof revision;
    if (RegQueryValueExW(key, L"UBR", nullptr, nullptr, reinterpret_cast<BYTE*>(&revision),
                         &size) == ERROR_SUCCESS)
      text += L"." + Number(revision);
    for (const wchar_t* name : {L"ProductName", L"DisplayVersion"}) {
      wchar_t value[128] = {};
      size = sizeof value - sizeof(wchar_t);
      if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
          ERROR_SUCCESS)
        text += std::wstring(L", ") + value;
    }
    RegCloseKey(key);
  }
  if (version.szCSDVersion[0] != L'\0') text += std::wstring(L", ") + version.szCSDVersion;
  return text;
}

const wchar_t* MachineName(USHORT machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
      return L"x86";
    case IMAGE_FILE_MACHINE_AMD64:
      return L"x64";
    case 0xAA64:
      return L"ARM64";
    default:
      return L"another processor";
  }
}

// Whether this program runs under WOW64, and on which processor.
std::wstring ProcessorAndWow64() {
  const std::wstring bits = sizeof(void*) == 4 ? L"32-bit" : L"64-bit";
  using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  USHORT process = 0, native = 0;
  if (const auto is_wow64 =
          SystemFunction<IsWow64Process2Function>(L"kernel32.dll", "IsWow64Process2");
      is_wow64 && is_wow64(GetCurrentProcess(), &process, &native)) {
    return bits +
           (process != IMAGE_FILE_MACHINE_UNKNOWN ? L" program under WOW64"
                                                  : L" program, not under WOW64") +
           L", on " + MachineName(native);
  }
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  const WORD architecture = system.wProcessorArchitecture;
  return bits + (wow64 ? L" program under WOW64" : L" program, not under WOW64") + L", on " +
         (architecture == PROCESSOR_ARCHITECTURE_AMD64   ? L"x64"
          : architecture == PROCESSOR_ARCHITECTURE_INTEL ? L"x86"
          : architecture == 12                           ? L"ARM64"
                                                         : L"another processor");
}

// One monitor's name, size and DPI, added to the list at `found`.
BOOL CALLBACK DescribeMonitor(HMONITOR monitor, HDC, RECT*, LPARAM found) {
  MONITORINFOEXW info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  // GetDpiForMonitor (Windows 8.1 on) gives each monitor's own; before it,
  // the system's DPI is every monitor's.
  UINT dpi = 0, unused = 0;
  using GetForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const auto get = shcore ? reinterpret_cast<GetForMonitor>(
                                reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                          : nullptr;
  if (!get || FAILED(get(monitor, 0, &dpi, &unused))) {  // 0: MDT_EFFECTIVE_DPI
    const HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
  }
  if (shcore) FreeLibrary(shcore);
  const RECT& r = info.rcMonitor;
  reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(
      std::wstring(info.szDevice) + L" " + Number(r.right - r.left) + L"x" +
      Number(r.bottom - r.top) + L" at " + Number(dpi) + L" DPI (" + Number(dpi * 100 / 96) +
      L" %)" + (info.dwFlags & MONITORINFOF_PRIMARY ? L", primary" : L""));
  return TRUE;
}

// Every monitor; this process is made per-monitor aware first, so that
// Windows tells it each monitor's own DPI rather than 96.
std::wstring Monitors() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (const auto set = SystemFunction<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    set(reinterpret_cast<HANDLE>(-4));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  } else {
    SetProcessDPIAware();  // before Windows 10 1703, the system's DPI
  }
  std::vector<std::wstring> found;
  EnumDisplayMonitors(nullptr, nullptr, DescribeMonitor, reinterpret_cast<LPARAM>(&found));
  std::wstring text;
  for (const std::wstring& monitor : found) text += (text.empty() ? L"" : L"; ") + monitor;
  return text;
}

std::wstring CodePagesAndLocale() {
  wchar_t user[LOCALE_NAME_MAX_LENGTH] = {}, system[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH);
  GetSystemDefaultLocaleName(system, LOCALE_NAME_MAX_LENGTH);
  return L"ANSI code page " + Number(GetACP()) + L", OEM code page " + Number(GetOEMCP()) +
         L"; user's locale " + user + L", system locale " + system;
}

// One test's result.
struct Result {
  std::wstring program;
  std::wstring name;
  enum { kPassed, kFailed, kSkipped } outcome;
  std::wstring detail;  // why it failed or was skipped
};

// The value of `attribute` in the XML element that starts at `at`, its
// entities replaced, or "".
std::string Attribute(const std::string& xml, std::size_t at, const std::string& attribute) {
  const std::size_t end = xml.find('>', at);
  const std::size_t found = xml.find(" " + attribute + "=\"", at);
  if (found == std::string::npos || found > end) return "";
  const std::size_t start = found + attribute.size() + 3;
  std::string value = xml.substr(start, xml.find('"', start) - start);
  std::string plain;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '&') {
      plain += value[i];
      continue;
    }
    const std::size_t semicolon = value.find(';', i);
    const std::string entity = value.substr(i + 1, semicolon - i - 1);
    if (entity == "amp")
      plain += '&';
    else if (entity == "lt")
      plain += '<';
    else if (entity == "gt")
      plain += '>';
    else if (entity == "quot")
      plain += '"';
    else if (entity == "apos")
      plain += '\'';
    else if (entity.starts_with("#x"))
      plain += static_cast<char>(std::stoi(entity.substr(2), nullptr, 16));
    else if (entity.starts_with("#"))
      plain += static_cast<char>(std::stoi(entity.substr(1)));
    i = semicolon;
  }
  return plain;
}

// The results in GoogleTest's XML report: each test case, skipped with the
// reason given, failed with its first message.
std::vector<Result> ReadResults(const std::wstring& program, const std::string& xml) {
  std::vector<Result> results;
  for (std::size_t at = xml.find("<testcase "); at != std::string::npos;
       at = xml.find("<testcase ", at + 1)) {
    const std::size_t next = xml.find("<testcase ", at + 1);
    const std::string body =
        xml.substr(at, next == std::string::npos ? std::string::npos : next - at);
    Result result{program,
                  Utf16(Attribute(xml, at, "classname") + "." + Attribute(xml, at, "name")),
                  Result::kPassed, L""};
    if (const std::size_t failure = body.find("<failure "); failure != std::string::npos) {
      result.outcome = Result::kFailed;
      result.detail = Utf16(Attribute(body, failure, "message"));
    } else if (Attribute(xml, at, "result") == "skipped" ||
               Attribute(xml, at, "status") == "notrun") {
      result.outcome = Result::kSkipped;
      const std::size_t skipped = body.find("<skipped ");
      result.detail =
          skipped == std::string::npos ? L"" : Utf16(Attribute(body, skipped, "message"));
    }
    // The reason alone, on one line: GoogleTest puts the place of the skip
    // or failure on a line of its own first.
    if (const std::size_t line = result.detail.find(L'\n'); line != std::wstring::npos)
      result.detail.erase(0, line + 1);
    std::replace(result.detail.begin(), result.detail.end(), L'\n', L' ');
    results.push_back(result);
  }
  return results;
}

// Runs `program` of the kit in `job`, its output on this console, with
// GoogleTest's XML report in `xml`; returns its exit code, or a failure of
// its own where it does not end within `minutes`.
DWORD RunProgram(const fs::path& program, const fs::path& xml, HANDLE job, int minutes) {
  std::wstring command_line =
      L"\"" + program.wstring() + L"\" \"--gtest_output=xml:" + xml.wstring() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, program.parent_path().c_str(), &startup,
                      &started)) {
    return GetLastError();
  }
  // Where the job cannot hold it (Windows 7 inside another job), the tests
  // still end what they start themselves.
  if (job != nullptr) AssignProcessToJobObject(job, started.hProcess);
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  DWORD code = WAIT_TIMEOUT;
  if (WaitForSingleObject(started.hProcess, minutes * 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(started.hProcess, &code);
  } else {
    TerminateProcess(started.hProcess, WAIT_TIMEOUT);
  }
  CloseHandle(started.hProcess);
  return code;
}

// Leaves out every QUORVEL_ variable inherited, and gives the tests theirs.
void SetTestEnvironment(const fs::path& pen) {
  std::vector<std::wstring> inherited;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      if (text.starts_with(L"QUORVEL_")) inherited.push_back(text.substr(0, text.find(L'=')));
    }
    FreeEnvironmentStringsW(block);
  }
  for (const std::wstring& name : inherited) SetEnvironmentVariableW(name.c_str(), nullptr);
  SetEnvironmentVariableW(L"QUORVEL_PEN", pen.c_str());
}

// A folder that this run may write to: `wanted`, made if need be, or nothing.
bool MakeWritable(const fs::path& wanted) {
  std::error_code error;
  fs::create_directories(wanted, error);
  const fs::path probe = wanted / L"quorvel-write-probe";
  if (!std::ofstream(probe).good()) return false;
  fs::remove(probe, error);
  return true;
}

std::wstring DriveOf(const fs::path& folder) {
  wchar_t root[MAX_PATH] = {}, file_system[MAX_PATH] = {};
  GetVolumePathNameW(folder.c_str(), root, MAX_PATH);
  GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, file_system, MAX_PATH);
  const wchar_t* const types[] = {L"unknown", L"no root", L"removable", L"fixed",
                                  L"network", L"CD-ROM",  L"RAM disk"};
  const UINT type = GetDriveTypeW(root);
  return std::wstring(root) + L" (" + (type < 7 ? types[type] : L"?") + L", " + file_system + L")";
}

int Run() {
  wchar_t own[MAX_PATH];
  const fs::path kit =
      fs::path(std::wstring(own, GetModuleFileNameW(nullptr, own, MAX_PATH))).parent_path();
  const fs::path temporary =
      fs::temp_directory_path() / (L"quorvel-kit-" + Number(GetCurrentProcessId()));
  fs::create_directories(temporary);
  // The end-to-end tests on the drive that holds the kit; where the kit's
  // folder cannot be written, in the temporary folder.
  fs::path pen = kit / L"pen";
  if (!MakeWritable(pen)) pen = temporary / L"pen";
  MakeWritable(pen);
  const fs::path report_path =
      (MakeWritable(kit) ? kit : fs::temp_directory_path()) / L"quorvel-test-report.txt";
  SetTestEnvironment(pen);

  std::wstring report = L"Quorvel test kit report\r\n\r\n";
  for (const auto& [what, value] :
       {std::pair<const wchar_t*, std::wstring>{L"Windows", WindowsVersion()},
        {L"Process", ProcessorAndWow64()},
        {L"Monitors", Monitors()},
        {L"Text", CodePagesAndLocale()},
        {L"Kit", kit.wstring()},
        {L"End-to-end tests in", pen.wstring() + L" on " + DriveOf(pen)}}) {
    report += std::wstring(what) + L": " + value + L"\r\n";
  }
  report += L"\r\n";

  // Every process that a test starts belongs to this job, and goes with it.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

  std::vector<Result> results;
  for (const wchar_t* name :
       {L"quorvel_unit_tests.exe", L"quorvel_window_tests.exe", L"quorvel_e2e_tests.exe"}) {
    const fs::path xml = temporary / (std::wstring(name) + L".xml");
    Print(std::wstring(L"== ") + name);
    const DWORD code = RunProgram(kit / name, xml, job, 30);
    std::ifstream file(xml, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    std::vector<Result> found = ReadResults(name, text);
    const bool any_failed = std::any_of(
        found.begin(), found.end(), [](const Result& r) { return r.outcome == Result::kFailed; });
    // A program that failed without saying which test, or crashed, or hung.
    if (code != 0 && !any_failed)
      found.push_back({name, L"(the program itself)", Result::kFailed,
                       L"ended with exit code " + Hex(code) + L" and no failed test"});
    results.insert(results.end(), found.begin(), found.end());
  }
  if (job) {
    TerminateJobObject(job, 1);
    CloseHandle(job);
  }

  int counts[3] = {};
  const wchar_t* const labels[] = {L"PASSED ", L"FAILED ", L"SKIPPED"};
  for (const Result& result : results) {
    ++counts[result.outcome];
    report += std::wstring(labels[result.outcome]) + L"  " + result.program + L"  " + result.name +
              (result.detail.empty() ? L"" : L": " + result.detail) + L"\r\n";
  }
  const std::wstring summary = Number(counts[Result::kPassed]) + L" passed, " +
                               Number(counts[Result::kFailed]) + L" failed, " +
                               Number(counts[Result::kSkipped]) + L" skipped";
  report += L"\r\n" + summary + L"\r\n";

  std::error_code error;
  fs::remove_all(temporary, error);
  if (pen == kit / L"pen") fs::remove_all(pen, error);
  // With a byte-order mark, so that every Notepad reads it as UTF-8.
  std::ofstream(report_path, std::ios::binary) << "\xEF\xBB\xBF" << Utf8(report);
  Print(L"");
  Print(L"Report: " + report_path.wstring());
  Print(summary);
  return counts[Result::kFailed] == 0 && !results.empty() ? 0 : 1;
}

}  // namespace
}  // namespace quorvel::kit

int wmain() {
  return quorvel::kit::Run();
}
