// Measures Quorvel.exe against the floor, a blank window program with the
// same title and client size: start-up with a short and with a 1 MiB message,
// a report click, and resident memory after start-up. Runs under Wine; the
// programs start from the fixture's pen drive, as they would from a real one.
//
//   quorvel_bench [--quick] [--pairs N] [--warm-up N]
//   quorvel_bench --trace-loads
//
// QUORVEL_EXE and QUORVEL_BLANK_EXE name the two programs (Unix paths). Every
// run checks what the program shows; a wrong window or text ends the bench
// with a failure. No timing is judged here: the numbers are only reported.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/control_table.h"
#include "win/program_under_test.h"

namespace quorvel::bench {
namespace {

using testing::kHangTimeout;
using testing::ProgramUnderTest;
using testing::ReadFileBytes;

constexpr wchar_t kQuorvelClass[] = L"Quorvel.Form1";
constexpr wchar_t kBlankClass[] = L"Quorvel.Blank";

// The Unix path in the environment variable `name`, as Wine shows it on its
// drive Z: for the Unix root. The bench runs only under Wine.
std::wstring EnvironmentPath(const char* name) {
  const char* unix_path = std::getenv(name);
  return std::filesystem::path(L"Z:" + testing::Utf16(unix_path ? unix_path : ""))
      .make_preferred()
      .wstring();
}

std::string Utf8(const std::wstring& text) {
  return reinterpret_cast<const char*>(std::filesystem::path(text).u8string().c_str());
}

// Each kind of run has its own folder, so that its process can be told apart
// by its command line in /proc.
constexpr wchar_t kMessageFolder[] = L"E:\\qv-bench\\message\\";
constexpr wchar_t kLargeFolder[] = L"E:\\qv-bench\\large\\";
constexpr wchar_t kBlankFolder[] = L"E:\\qv-bench\\blank\\";
constexpr wchar_t kClickFolder[] = L"E:\\qv-bench\\click";
constexpr wchar_t kTraceFolder[] = L"E:\\qv-bench\\trace";
constexpr wchar_t kBlankName[] = L"BlankWindow.exe";

constexpr char kShortMessage[] = "Esta pen pertence a Maria.\r\nSe a encontrar, ligue 912 345 678.";
constexpr std::size_t kLargeMessageBytes = 1u << 20;
constexpr std::size_t kReportLines = 10;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

// ASCII lines of 64 bytes with CR LF, exactly 1 MiB: the largest message that
// the program reads whole.
std::string LargeMessage() {
  std::string text;
  text.reserve(kLargeMessageBytes);
  for (int line = 0; text.size() < kLargeMessageBytes; ++line) {
    char head[16];
    std::snprintf(head, sizeof head, "Linha %05d: ", line);
    std::string row = head;
    row.append(62 - row.size(), static_cast<char>('a' + line % 26));
    text += row + "\r\n";
  }
  return text;
}

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Milliseconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

// A process that the bench started; ended when it goes out of scope.
class StartedProcess {
 public:
  StartedProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;
  ~StartedProcess() {
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  HANDLE handle() const { return process_; }
  DWORD id() const { return id_; }
  bool HasExited() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

 private:
  HANDLE process_;
  DWORD id_;
};

HWND VisibleWindowOf(DWORD process_id, const wchar_t* class_name) {
  for (const HWND window : testing::VisibleWindows(process_id)) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wcscmp(name, class_name) == 0) return window;
  }
  return nullptr;
}

HWND Text1Of(HWND form) {
  const HWND frame = GetDlgItem(form, kFrame1);
  return frame ? GetDlgItem(frame, kText1) : nullptr;
}

std::optional<std::size_t> TextLength(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(length);
}

struct TimedStart {
  std::unique_ptr<StartedProcess> process;
  HWND window = nullptr;
  double milliseconds = 0;
};

// Starts `program` in its folder and waits, polling every millisecond, until
// its window of `class_name` is visible and, for Quorvel, Text1 holds
// `message_length` characters. The time runs from CreateProcess.
TimedStart StartAndWait(const std::wstring& program, const wchar_t* class_name,
                        std::optional<std::size_t> message_length) {
  const std::wstring folder = program.substr(0, program.rfind(L'\\') + 1);
  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};

  TimedStart result;
  const Stopwatch stopwatch;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &started)) {
    Fail("CreateProcessW " + Utf8(program) + " failed: " + std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  result.process = std::make_unique<StartedProcess>(started.hProcess, started.dwProcessId);

  for (;;) {
    if (const HWND window = VisibleWindowOf(started.dwProcessId, class_name)) {
      if (!message_length) {
        result.window = window;
        break;
      }
      const HWND text = Text1Of(window);
      if (text != nullptr && TextLength(text) == message_length) {
        result.window = window;
        break;
      }
    }
    if (result.process->HasExited()) Fail(Utf8(program) + " ended before its window");
    if (stopwatch.Milliseconds() > 1000.0 * kHangTimeout.count()) {
      Fail(Utf8(program) + " did not show its window");
    }
    Sleep(1);
  }
  result.milliseconds = stopwatch.Milliseconds();
  return result;
}

// Resident memory of a Wine process, from Linux's /proc as Wine's Z: drive
// shows it: Wine itself reports no memory counters. The process is the one
// whose command line names `program`; the bench starts one at a time.
struct Resident {
  double total_kib;      // VmRSS
  double anonymous_kib;  // RssAnon: the process's own pages, not shared files
};

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

double StatusKib(const std::string& status, const char* field) {
  const std::size_t at = status.find(field);
  if (at == std::string::npos) return -1;
  return std::strtod(status.c_str() + at + std::strlen(field), nullptr);
}

std::optional<Resident> ResidentMemory(const std::wstring& program) {
  // The folder and the file name, as a command line shows them.
  const std::size_t name_at = program.rfind(L'\\');
  const std::size_t folder_at = program.rfind(L'\\', name_at - 1);
  const std::string wanted = Lowered(Utf8(program.substr(folder_at)));

  std::optional<Resident> found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  do {
    const std::wstring name = entry.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring folder = L"Z:\\proc\\" + name + L"\\";
    std::string command_line = ReadFileBytes(folder + L"cmdline");
    std::replace(command_line.begin(), command_line.end(), '\0', ' ');
    if (Lowered(command_line).find(wanted) == std::string::npos) continue;
    const std::string status = ReadFileBytes(folder + L"status");
    const double total = StatusKib(status, "VmRSS:");
    if (total <= 0) continue;  // a process on its way out
    if (found) Fail("more than one process runs " + Utf8(program));
    found = Resident{total, StatusKib(status, "RssAnon:")};
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

struct Samples {
  std::vector<double> quorvel_start;
  std::vector<double> quorvel_large_start;
  std::vector<double> blank_start;
  std::vector<double> click;
  std::vector<double> quorvel_rss;
  std::vector<double> blank_rss;
  std::vector<double> quorvel_anon;
  std::vector<double> blank_anon;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// After start-up: painted, idle, and given a moment, as a user would find it.
void LetSettle(const TimedStart& start) {
  WaitForInputIdle(start.process->handle(), 10000);
  Sleep(200);
}

void RunQuorvel(const std::wstring& program, const std::wstring& expected, bool record,
                std::vector<double>& start_times, std::vector<double>* rss,
                std::vector<double>* anonymous) {
  const TimedStart start = StartAndWait(program, kQuorvelClass, expected.size());
  // Checked after the clock stopped: the whole text, not only its length.
  if (testing::WindowText(Text1Of(start.window)) != expected)
    Fail("Text1 does not hold the message");
  if (record) start_times.push_back(start.milliseconds);
  if (rss == nullptr) return;
  LetSettle(start);
  if (const auto memory = ResidentMemory(program); memory && record) {
    rss->push_back(memory->total_kib);
    anonymous->push_back(memory->anonymous_kib);
  }
}

void RunBlank(const std::wstring& program, bool record, Samples& samples) {
  const TimedStart start = StartAndWait(program, kBlankClass, std::nullopt);
  if (record) samples.blank_start.push_back(start.milliseconds);
  LetSettle(start);
  if (const auto memory = ResidentMemory(program); memory && record) {
    samples.blank_rss.push_back(memory->total_kib);
    samples.blank_anon.push_back(memory->anonymous_kib);
  }
}

// From the click on Image3 until List1 holds the report's ten lines. Under a
// loaded Wine an injected click is now and then lost before it reaches the
// window; such a click is counted, and the click repeated once.
double ReportClick(int& lost_clicks) {
  ProgramUnderTest program(kClickFolder);
  const HWND list = program.Control(kList1);
  std::optional<Stopwatch> stopwatch;
  for (int attempt = 0;; ++attempt) {
    stopwatch.emplace();
    program.Click(kImage3);
    DWORD_PTR count = 0;
    while (!(SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 10000, &count) &&
             count == kReportLines) &&
           stopwatch->Milliseconds() < 5000) {
    }
    if (count == kReportLines) break;
    if (attempt == 1) Fail("the report did not appear after two clicks");
    ++lost_clicks;
  }
  const double milliseconds = stopwatch->Milliseconds();
  const std::vector<std::wstring> lines = program.ListLines();
  if (lines.size() != kReportLines || lines[0] != L"[Informa\u00E7\u00E3o da Pen]" ||
      program.IsVisible(kText1)) {
    Fail("the report is not what the program shows after a click on Image3");
  }
  return milliseconds;
}

std::wstring Copy(const std::wstring& from, const std::wstring& folder, const wchar_t* name) {
  const std::wstring to = folder + name;
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) Fail("CopyFileW " + Utf8(to));
  return to;
}

std::wstring BlankProgramPath() {
  const char* unix_path = std::getenv("QUORVEL_BLANK_EXE");
  if (unix_path == nullptr || *unix_path == '\0') Fail("QUORVEL_BLANK_EXE is not set");
  return EnvironmentPath("QUORVEL_BLANK_EXE");
}

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Row(const char* measure, const std::vector<double>& quorvel,
                const std::vector<double>* blank, const char* unit, const char* target) {
  if (quorvel.empty()) return std::string("| ") + measure + " | n/a | | | " + target + " |\n";
  const double median = Median(quorvel);
  std::string row = std::string("| ") + measure + " | " + Format("%.1f", median) + " " + unit;
  if (blank != nullptr && !blank->empty()) {
    const double floor = Median(*blank);
    row += " | " + Format("%.1f", floor) + " " + unit + " | " + Format("%.2f", median / floor) +
           " \u00D7";
  } else {
    row += " | | ";
  }
  return row + " | " + target + " |\n";
}

int Measure(int warm_up, int pairs) {
  testing::ClearPen();
  const std::wstring quorvel = EnvironmentPath("QUORVEL_EXE");
  const std::string large = LargeMessage();
  for (const wchar_t* folder : {kMessageFolder, kLargeFolder, kBlankFolder}) {
    testing::WriteFileBytes(std::wstring(folder) + L"mensagem.txt",
                            folder == kLargeFolder ? large : kShortMessage);
  }
  testing::WriteFileBytes(std::wstring(kClickFolder) + L"\\mensagem.txt", kShortMessage);
  const std::wstring message_program = Copy(quorvel, kMessageFolder, L"Quorvel.exe");
  const std::wstring large_program = Copy(quorvel, kLargeFolder, L"Quorvel.exe");
  const std::wstring blank_program = Copy(BlankProgramPath(), kBlankFolder, kBlankName);
  const std::wstring shown_message = testing::Utf16(kShortMessage);
  const std::wstring shown_large = testing::Utf16(large);

  Samples samples;
  int lost_clicks = 0;
  for (int round = 0; round < warm_up + pairs; ++round) {
    const bool record = round >= warm_up;
    // Alternate which of the pair goes first, so that neither always runs on
    // the other's warm caches.
    if (round % 2 == 0) {
      RunQuorvel(message_program, shown_message, record, samples.quorvel_start,
                 &samples.quorvel_rss, &samples.quorvel_anon);
      RunBlank(blank_program, record, samples);
    } else {
      RunBlank(blank_program, record, samples);
      RunQuorvel(message_program, shown_message, record, samples.quorvel_start,
                 &samples.quorvel_rss, &samples.quorvel_anon);
    }
    RunQuorvel(large_program, shown_large, record, samples.quorvel_large_start, nullptr, nullptr);
    const double click = ReportClick(lost_clicks);
    if (record) samples.click.push_back(click);
    std::fprintf(stderr, "quorvel_bench: round %d of %d done%s\n", round + 1, warm_up + pairs,
                 record ? "" : " (warm-up)");
  }

  std::string table =
      "| Measure | Quorvel | Blank window | Ratio | Target |\n"
      "|---|---|---|---|---|\n";
  table += Row("Start-up to window with message", samples.quorvel_start, &samples.blank_start, "ms",
               "\u2264 1.10 \u00D7");
  table += Row("Start-up with a 1 MiB message", samples.quorvel_large_start, &samples.blank_start,
               "ms", "\u2264 1.5 \u00D7");
  table += Row("Report click to ten lines", samples.click, nullptr, "ms", "< 5 ms");
  table += Row("Resident memory (VmRSS)", samples.quorvel_rss, &samples.blank_rss, "KiB",
               "\u2264 1.5 \u00D7");
  table += Row("Private resident memory (RssAnon)", samples.quorvel_anon, &samples.blank_anon,
               "KiB", "");
  std::printf("%s", table.c_str());
  const HDC screen = GetDC(nullptr);
  std::printf(
      "\n%d pairs after %d warm-up round(s), at %d DPI; medians. Clicks lost and "
      "repeated: %d.\n",
      pairs, warm_up, GetDeviceCaps(screen, LOGPIXELSY), lost_clicks);
  ReleaseDC(nullptr, screen);
  if (samples.quorvel_rss.empty() || samples.blank_rss.empty()) {
    std::printf("Resident memory: /proc was not readable through Z:, so not measured.\n");
  }
  std::fflush(stdout);
  testing::ClearPen();
  return 0;
}

// For a run under WINEDEBUG=+pid,+loaddll: starts Quorvel, shows the report,
// and marks on stderr, among Wine's trace lines, when each step is done.
int TraceLoads() {
  testing::ClearPen();
  testing::WriteFileBytes(std::wstring(kTraceFolder) + L"\\mensagem.txt", kShortMessage);
  ProgramUnderTest program(kTraceFolder);
  std::fprintf(stderr, "quorvel_bench: %04lx window shown\n",
               static_cast<unsigned long>(program.process_id()));
  // As in the bench, a click lost on its way is repeated once.
  bool shown = false;
  for (int attempt = 0; attempt < 2 && !shown; ++attempt) {
    program.Click(kImage3);
    const Stopwatch stopwatch;
    while (!(shown = program.ListLines().size() == kReportLines) &&
           stopwatch.Milliseconds() < 5000) {
      Sleep(20);
    }
  }
  if (!shown) Fail("the report did not appear");
  std::fprintf(stderr, "quorvel_bench: %04lx report shown\n",
               static_cast<unsigned long>(program.process_id()));
  program.Click(kImage2);
  if (!testing::WaitFor([&] { return program.IsVisible(kText1); })) Fail("Text1 did not return");
  std::fprintf(stderr, "quorvel_bench: %04lx message shown\n",
               static_cast<unsigned long>(program.process_id()));
  return 0;
}

int Run(int argc, wchar_t** argv) {
  int warm_up = 2;
  int pairs = 15;
  for (int i = 1; i < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--quick") {
      warm_up = 0;
      pairs = 1;
    } else if (option == L"--trace-loads") {
      return TraceLoads();
    } else if ((option == L"--pairs" || option == L"--warm-up") && i + 1 < argc) {
      (option == L"--pairs" ? pairs : warm_up) = std::max(0, _wtoi(argv[++i]));
    } else {
      std::fprintf(stderr,
                   "usage: quorvel_bench [--quick] [--pairs N] [--warm-up N] | --trace-loads\n");
      return 2;
    }
  }
  return Measure(warm_up, std::max(1, pairs));
}

}  // namespace
}  // namespace quorvel::bench

int wmain(int argc, wchar_t** argv) {
  try {
    return quorvel::bench::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvel_bench: %s\n", error.what());
    return 1;
  }
}
