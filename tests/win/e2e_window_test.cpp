// The window as the user and another process see it: size, controls,
// pictures, keyboard, the owner's message, the drive report on each kind of
// drive, and the commands that close it.
#include "win/program_under_test.h"

#include <winternl.h>

#include "drive/drive_type.h"
#include "platform/win32/handles.h"

namespace quorvel::testing {
namespace {

using WindowTest = PenDriveTest;

bool WaitForFocus(const ProgramUnderTest& program, int id) {
  return WaitFor([&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(program.window(), nullptr), &info);
    return info.hwndFocus == program.Control(id);
  });
}

// Twips as pixels at `dpi`.
int Pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

// The current directory of another process of this image, in small letters,
// from its process parameters: RTL_USER_PROCESS_PARAMETERS.CurrentDirectory.
// DosPath follows four ULONGs and five pointer-sized fields (ConsoleHandle,
// ConsoleFlags padded to a pointer, the three standard handles), at 0x24 in a
// 32-bit process and 0x38 in a 64-bit one.
std::wstring CurrentDirectoryOf(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  PEB peb = {};
  UNICODE_STRING path = {};
  NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr);
  ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr);
  ReadProcessMemory(process,
                    reinterpret_cast<char*>(peb.ProcessParameters) + 16 + 5 * sizeof(void*), &path,
                    sizeof path, nullptr);
  std::wstring text(path.Length / 2, L'\0');
  ReadProcessMemory(process, path.Buffer, text.data(), path.Length, nullptr);
  return CharLowerW(text.data());
}

// Started from a shortcut set to "Maximized", at the screen's own DPI (this
// program is per-monitor aware, as Quorvel is, and sees its true pixels).
TEST_F(WindowTest, ShowsTheMessageInAFixedWindowWithItsControlsAndKeys) {
  // Windows-1252 with CR LF, read through the system's code page (in UTF-8
  // where that is another), in the program's folder and not in the file
  // beside it.
  const std::wstring message = L"Ol\u00E1! Esta pen \u00E9 da Maria.\r\na\u00E7\u00E3o \u20AC";
  WriteFileBytes(PenFolder() / L"Pen\\mensagem.txt",
                 GetACP() == 1252 ? "Ol\xE1! Esta pen \xE9 da Maria.\r\na\xE7\xE3o \x80"
                                  : "\xEF\xBB\xBFOl\xC3\xA1! Esta pen \xC3\xA9 da Maria.\r\n"
                                    "a\xC3\xA7\xC3\xA3o \xE2\x82\xAC");
  WriteFileBytes(PenFolder() / L"Penmensagem.txt", "the wrong file");
  const ProgramUnderTest program(PenFolder() / L"Pen", L"Quorvel.exe", L"", SW_SHOWMAXIMIZED);
  // Restored once it shows (the window appears before it is restored).
  EXPECT_TRUE(WaitFor([&] { return !IsZoomed(program.window()); }));
  const int dpi = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
  RECT client, outer;
  GetClientRect(program.window(), &client);
  GetWindowRect(program.window(), &outer);
  EXPECT_EQ(client.right, Pixels(5775, dpi));
  EXPECT_EQ(client.bottom, Pixels(3600, dpi));
  // Centred on the monitor that it opened on.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(program.window(), MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_NEAR(outer.left + outer.right, monitor.rcMonitor.left + monitor.rcMonitor.right, 2);
  EXPECT_NEAR(outer.top + outer.bottom, monitor.rcMonitor.top + monitor.rcMonitor.bottom, 2);
  EXPECT_EQ(WindowText(program.window()), L"Quorvel");
  EXPECT_EQ(GetWindowLongW(program.window(), GWL_STYLE) &
                (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_SYSMENU | WS_MINIMIZEBOX);
  // Nothing holds the drive as the current directory.
  EXPECT_EQ(CurrentDirectoryOf(program.process()), SystemFolder());

  // By kind: class, and the style bits that must be set and clear.
  const std::tuple<const wchar_t*, LONG, LONG> kinds[] = {
      {L"Button", BS_GROUPBOX, WS_TABSTOP},
      {L"Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP, WS_HSCROLL | ES_AUTOHSCROLL},
      {L"ListBox", WS_TABSTOP, LBS_SORT | LBS_MULTIPLESEL},
      {L"Static", SS_CENTER, WS_TABSTOP},
      {L"Quorvel.Picture", 0, WS_TABSTOP},
  };
  // Each control's kind and text (the message box's is the message); the
  // window test checks their places at this DPI and others.
  for (const auto& [id, kind, text] :
       {std::tuple<int, int, const wchar_t*>{kFrame1, 0, L""},
        {kText1, 1, message.c_str()},
        {kList1, 2, L""},
        {kLabel1Index3, 3, L"Fechar"},
        {kLabel1Index2, 3, L"Informa\u00E7\u00F5es"},
        {kLabel1Index1, 3, L"Abrir Pen"},
        {kLabel1Index0, 3, L"Mensagem"},
        // A picture's text is its caption, which a screen reader names it by.
        {kImage4, 4, L"Abrir Pen"},
        {kImage3, 4, L"Informa\u00E7\u00F5es"},
        {kImage2, 4, L"Mensagem"},
        {kImage1, 4, L"Fechar"}}) {
    SCOPED_TRACE(id);
    const HWND handle = program.Control(id);
    const auto& [class_name, set, clear] = kinds[kind];
    wchar_t name[64] = {};
    GetClassNameW(handle, name, 64);
    EXPECT_EQ(_wcsicmp(name, class_name), 0) << name;
    EXPECT_EQ(GetWindowLongW(handle, GWL_STYLE) & (set | clear | WS_VISIBLE), set | WS_VISIBLE);
    EXPECT_EQ(WindowText(handle), text);
  }

  // Tab and Shift+Tab go between the message box and the list, never to a
  // picture; Esc, Enter and Space in either box change nothing.
  ASSERT_TRUE(WaitForFocus(program, kText1)) << "focus starts in the message box";
  ASSERT_TRUE(program.Activate());
  for (int step = 0; step < 4; ++step) {  // Tab, Tab, Shift+Tab, Shift+Tab
    for (const BYTE key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) program.PressKey(key);
    program.PressKey(VK_TAB, step >= 2);
    EXPECT_TRUE(WaitForFocus(program, step % 2 == 0 ? kList1 : kText1)) << "step " << step;
  }

  // The creation order is the stacking: the message box lies over the list,
  // which shows once a report hides the box. Then Tab has only the list.
  EXPECT_EQ(GetWindow(program.Control(kText1), GW_HWNDNEXT), program.Control(kList1));
  program.Click(kImage3);
  ASSERT_TRUE(WaitFor([&] { return program.ListLines().size() == 10u; }));
  EXPECT_FALSE(program.IsVisible(kText1));
  program.PressKey(VK_TAB);
  EXPECT_TRUE(WaitForFocus(program, kList1));
  program.PressKey(VK_TAB, true);
  EXPECT_TRUE(WaitForFocus(program, kList1));

  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(), 0u);
}

std::wstring LocaleText(const wchar_t* locale, LCTYPE type) {
  wchar_t text[32] = {};
  return GetLocaleInfoEx(locale, type, text, 32) != 0 ? text : L"<unreadable>";
}

// `prefix`, `bytes` in kilobytes (rounded) as Windows writes a whole number
// in the user's format, and " Kb".
std::wstring Kb(const std::wstring& prefix, ULONGLONG bytes) {
  // No decimals; LOCALE_SGROUPING's "3;2;0" is NUMBERFMT's 32, and its "3" is
  // 30. (Wine's own default format groups "3;0" only once.)
  std::wstring grouping = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING);
  std::erase(grouping, L';');
  grouping = grouping.ends_with(L'0') ? grouping.substr(0, grouping.size() - 1) : grouping + L'0';
  std::wstring decimal = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL);
  std::wstring thousand = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND);
  NUMBERFMTW format = {
      0, 0, static_cast<UINT>(std::stoi(grouping)), decimal.data(), thousand.data(), 1};
  wchar_t text[64] = {};
  GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, std::to_wstring((bytes + 512) / 1024).c_str(),
                    &format, text, 64);
  return prefix + text + L" Kb";
}

// What Windows says of the drive of `folder` ("E:\..." or "\\server\share\..."),
// as the ten lines of the report, its type code named as the unit tests check;
// the free space is taken from `free_line`, since it changes as it likes.
std::vector<std::wstring> ReportOfDrive(const std::wstring& folder, const std::wstring& free_line) {
  const bool lettered = folder.size() > 1 && folder[1] == L':';
  const std::wstring name = lettered
                                ? folder.substr(0, 2)
                                : folder.substr(0, folder.find(L'\\', folder.find(L'\\', 2) + 1));
  const std::wstring root = name + L"\\";
  wchar_t label[MAX_PATH + 1] = {}, file_system[MAX_PATH + 1] = {};
  DWORD serial = 0;
  const bool ready = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr,
                                           nullptr, file_system, MAX_PATH + 1);
  ULARGE_INTEGER total = {};
  const bool sized = GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr);
  const std::wstring unavailable = L"(indispon\u00EDvel)";
  return {L"[Informa\u00E7\u00E3o da Pen]",
          L"Nome do Volume: " + (ready ? label : unavailable),
          L"Letra da Pen: " + (lettered ? name.substr(0, 1) : L""),
          L"Tipo de Pen: " + Utf16(DriveTypeName(std::to_string(GetDriveTypeW(root.c_str())))),
          L"Sistema de ficheiros: " + (ready ? file_system : unavailable),
          free_line,
          sized ? Kb(L"Tamanho Total: ", total.QuadPart) : L"Tamanho Total: " + unavailable,
          ready ? L"Pen esta pronta: True" : L"Pen esta pronta: False",
          L"Destino da Pen: " + name,
          L"Serial number: " +
              (ready ? std::to_wstring(static_cast<std::int32_t>(serial)) : unavailable)};
}

// The report of the drive that holds the pen folder (on a real PC, the one
// that holds the kit) says what Windows itself says of it, sizes in the
// user's number format; "Fechar" then ends the program at once. Also run
// under LC_ALL=en_US.UTF-8 and pt_PT.UTF-8 by ctest entries of their own,
// which name the locale that Wine should have taken in QUORVEL_EXPECT_LOCALE.
TEST_F(WindowTest, TheReportTellsWhatWindowsSaysOfTheDriveAndFecharEndsAtOnce) {
  if (const auto expected = Environment(L"QUORVEL_EXPECT_LOCALE")) {
    ASSERT_EQ(LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SNAME), *expected);
  }
  const std::wstring folder = (PenFolder() / L"Pen").wstring();
  WriteFileBytes(folder + L"\\mensagem.txt", "Ol\xE1");
  const ProgramUnderTest program(folder);
  const std::vector<std::wstring> lines = program.Report();
  ASSERT_EQ(lines.size(), 10u);
  ULARGE_INTEGER free = {};
  ASSERT_TRUE(GetDiskFreeSpaceExW(folder.c_str(), nullptr, nullptr, &free));
  EXPECT_EQ(lines[5].substr(0, 14), L"Espa\u00E7o Livre: ");
  EXPECT_EQ(lines[5].size(), Kb(L"Espa\u00E7o Livre: ", free.QuadPart).size()) << lines[5];
  EXPECT_EQ(lines, ReportOfDrive(folder, lines[5]));
  if (FixtureDrives()) {  // the fixture's pen: removable, labelled, serial 0x8BADF00D
    EXPECT_EQ(lines[1], L"Nome do Volume: QUORVEL PEN");
    EXPECT_EQ(lines[3], L"Tipo de Pen: Drive Removivel");
    EXPECT_EQ(lines[9], L"Serial number: -1951535091");
  }
  // "Fechar" ends at once: a program that went back to its queue would read
  // the quit request with exit code 7 right behind the click.
  program.PostClick(kImage1);
  PostThreadMessageW(GetWindowThreadProcessId(program.window(), nullptr), WM_QUIT, 7, 0);
  EXPECT_EQ(program.ExitCode(), 0u);
}

// The fixture's other drives: F:, a fixed drive, and a share in the prefix's
// dosdevices\unc folder; then F: pulled out while the program runs from it
// (its folder moved away on the Unix side leaves F: mapped to nothing).
TEST_F(WindowTest, AShareAFixedDriveAndAPulledOutDriveAreReported) {
  if (!FixtureDrives()) GTEST_SKIP() << kNeedsFixture;
  const fs::path present = *FixtureDrives() / L"fixed", gone = *FixtureDrives() / L"fixed-gone";
  MoveFileW(gone.c_str(), present.c_str());  // a run cut short left F: out
  std::vector<std::wstring> lines;
  for (const std::wstring folder : {L"\\\\quorvel\\pen", L"F:\\Quorvel"}) {
    SCOPED_TRACE(folder);
    ClearPen(folder);
    WriteFileBytes(folder + L"\\mensagem.txt", "Ol\xE1");
    const ProgramUnderTest program(folder);
    EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
    lines = program.Report();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines, ReportOfDrive(folder, lines[5]));
  }

  // A fresh F: program's report once F: has gone: the volume's facts
  // unavailable.
  for (const int i : {1, 4, 5, 6, 9})
    lines[i].erase(lines[i].find(L": ") + 2) += L"(indispon\u00EDvel)";
  lines[3] = L"Tipo de Pen: N\u00E3o Existe";
  lines[7] = L"Pen esta pronta: False";
  const ProgramUnderTest program(L"F:\\Quorvel");
  ASSERT_TRUE(MoveFileW(present.c_str(), gone.c_str())) << GetLastError();
  EXPECT_EQ(program.Report(), lines);
  EXPECT_FALSE(program.HasExited());
  MoveFileW(gone.c_str(), present.c_str());
}

// The shipped sample (beside this program) reads alike under every code page;
// a message saved as "ANSI" where the ANSI code page is UTF-8 is read as
// Windows-1252. The ctest entries under LC_ALL=hi_IN.UTF-8 (ANSI code page
// UTF-8, and no other in the locale) and ja_JP.UTF-8 (932) name the code page
// that Wine should give in QUORVEL_EXPECT_ACP. Wine 8, like a Windows older
// than the constant, does not know LOCALE_IUSEUTF8LEGACYACP, and hi-IN has no
// legacy code page of its own.
TEST_F(WindowTest, TheSampleReadsRightOnEveryCodePageAndAnsiTextWhereThatIsUtf8) {
  if (const auto code_page = Environment(L"QUORVEL_EXPECT_ACP")) {
    ASSERT_EQ(std::to_wstring(GetACP()), *code_page);
  }
  const std::string sample = ReadFileBytes(BuildFile(L"mensagem.txt"));
  ASSERT_EQ(sample.substr(0, 3), "\xEF\xBB\xBF");
  WriteFileBytes(PenFolder() / L"mensagem.txt", sample);
  {
    const ProgramUnderTest program;
    EXPECT_EQ(program.Text(kText1), Utf16(sample.substr(3)));
  }
  if (GetACP() != CP_UTF8) return;
  WriteFileBytes(PenFolder() / L"mensagem.txt", "Ol\xE1, Jo\xE3o! Cau\xE7\xE3o \xE0 porta.");
  const ProgramUnderTest program;
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1, Jo\u00E3o! Cau\u00E7\u00E3o \u00E0 porta.");
}

}  // namespace
}  // namespace quorvel::testing
