// The window as the user and another process see it: size, controls,
// pictures, keyboard, the owner's message, the drive report on each kind of
// drive, and the commands that close it.
#include "win/program_under_test.h"

#include <winternl.h>

#include <array>
#include <cwctype>

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

// Started from a shortcut set to "Maximized".
TEST_F(WindowTest, ShowsTheMessageInAFixedWindowWithItsControlsAndKeys) {
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96) << "the fixture runs at 96 DPI";
  // Windows-1252 with CR LF, read through the system's code page, in the
  // program's folder and not in the file beside it.
  WriteFileBytes(L"E:\\Pen\\mensagem.txt", "Ol\xE1! Esta pen \xE9 da Maria.\r\na\xE7\xE3o \x80");
  WriteFileBytes(L"E:\\Penmensagem.txt", "the wrong file");
  const std::wstring message = L"Ol\u00E1! Esta pen \u00E9 da Maria.\r\na\u00E7\u00E3o \u20AC";
  const ProgramUnderTest program(L"E:\\Pen", L"Quorvel.exe", L"", SW_SHOWMAXIMIZED);
  EXPECT_FALSE(IsZoomed(program.window()));
  RECT client, outer;
  GetClientRect(program.window(), &client);
  GetWindowRect(program.window(), &outer);
  EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(385L, 240L));
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(WindowText(program.window()), L"Quorvel");
  EXPECT_EQ(GetWindowLongW(program.window(), GWL_STYLE) &
                (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_SYSMENU | WS_MINIMIZEBOX);
  // Nothing holds the drive as the current directory.
  EXPECT_EQ(CurrentDirectoryOf(program.process()), L"c:\\windows\\system32\\");

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
  ReleaseDC(nullptr, screen);
}

std::wstring LocaleText(const wchar_t* locale, LCTYPE type) {
  wchar_t text[32] = {};
  return GetLocaleInfoEx(locale, type, text, 32) != 0 ? text : L"<unreadable>";
}

// `prefix`, the digits of `number` grouped in threes with `separator` (the
// only grouping of the locales under test), and " Kb".
std::wstring Kb(const std::wstring& prefix, std::wstring number, const std::wstring& separator) {
  std::erase_if(number, [](wchar_t c) { return !iswdigit(c); });
  for (std::size_t end = number.size(); end > 3; end -= 3) number.insert(end - 3, separator);
  return prefix + number + L" Kb";
}

// Run by the plain e2e entry and, under LC_ALL=en_US.UTF-8 and pt_PT.UTF-8,
// by their own ctest entries, which name the locale that Wine should have
// taken in QUORVEL_EXPECT_LOCALE. F: is a folder on the Unix side: moving it
// away while the program runs from it leaves F: mapped to nothing, as if the
// drive had been pulled out. A share is found in the prefix's dosdevices\unc
// folder.
TEST_F(WindowTest, EachKindOfDriveIsReportedInTheUsersNumberFormatAndFecharEndsAtOnce) {
  if (const wchar_t* expected = _wgetenv(L"QUORVEL_EXPECT_LOCALE")) {
    ASSERT_EQ(LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SNAME), expected);
  }
  // The two locales group alike but with different separators.
  ASSERT_NE(LocaleText(L"en-US", LOCALE_STHOUSAND), LocaleText(L"pt-PT", LOCALE_STHOUSAND));
  ASSERT_EQ(LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING), L"3;0");
  const std::wstring separator = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND);
  wchar_t file_system[MAX_PATH + 1] = {};
  ASSERT_TRUE(GetVolumeInformationW(kPenRoot, nullptr, 0, nullptr, nullptr, nullptr, file_system,
                                    MAX_PATH + 1));
  ULARGE_INTEGER total = {};
  ASSERT_TRUE(GetDiskFreeSpaceExW(kPenRoot, nullptr, &total, nullptr));

  const std::wstring present = EnvironmentPath("QUORVEL_DRIVES", "/fixed");
  const std::wstring gone = present + L"-gone";
  MoveFileW(gone.c_str(), present.c_str());  // a run cut short left F: out
  ASSERT_EQ(RunShell("mkdir -p \"$WINEPREFIX/dosdevices/unc/quorvel/pen\""), 0);
  std::vector<std::wstring> lines;
  for (const auto& [folder, letter, type, destination] :
       {std::array<std::wstring, 4>{L"E:\\Pen", L"E", L"Drive Removivel", L"E:"},
        // Wine gives a share in its dosdevices\unc folder the type of a fixed drive.
        {L"\\\\quorvel\\pen", L"", L"Drive Fixa", L"\\\\quorvel\\pen"},
        {L"F:\\Quorvel", L"F", L"Drive Fixa", L"F:"}}) {
    SCOPED_TRACE(folder);
    WriteFileBytes(folder + L"\\mensagem.txt", "Ol\xE1");
    const ProgramUnderTest program(folder);
    EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
    lines = program.Report();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2], L"Letra da Pen: " + letter);
    EXPECT_EQ(lines[3], L"Tipo de Pen: " + type);
    EXPECT_EQ(lines[8], L"Destino da Pen: " + destination);
    // Free space changes as it likes: its line is only checked for its form.
    // The serial number is 0x8BADF00D.
    if (letter == L"E") {
      EXPECT_EQ(
          lines,
          (std::vector<std::wstring>{
              L"[Informa\u00E7\u00E3o da Pen]", L"Nome do Volume: QUORVEL PEN", lines[2], lines[3],
              L"Sistema de ficheiros: " + std::wstring(file_system),
              Kb(L"Espa\u00E7o Livre: ", lines[5], separator),
              Kb(L"Tamanho Total: ", std::to_wstring((total.QuadPart + 512) / 1024), separator),
              L"Pen esta pronta: True", lines[8], L"Serial number: -1951535091"}));
    }
    // "Fechar" ends at once: a program that went back to its queue would read
    // the quit request with exit code 7 right behind the click.
    program.PostClick(kImage1);
    PostThreadMessageW(GetWindowThreadProcessId(program.window(), nullptr), WM_QUIT, 7, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
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

// Run by ctest entries of its own, under LC_ALL=hi_IN.UTF-8 (ANSI code page
// UTF-8, and no other in the locale) and ja_JP.UTF-8 (932), which name the
// code page that Wine should give in QUORVEL_EXPECT_ACP and the shipped sample
// in QUORVEL_SAMPLE_MESSAGE. The sample reads alike under every code page; a
// message saved as "ANSI" where the ANSI code page is UTF-8 is read as
// Windows-1252. Wine 8, like a Windows older than the constant, does not know
// LOCALE_IUSEUTF8LEGACYACP, and hi-IN has no legacy code page of its own.
TEST_F(WindowTest, TheSampleReadsRightOnEveryCodePageAndAnsiTextWhereThatIsUtf8) {
  const wchar_t* code_page = _wgetenv(L"QUORVEL_EXPECT_ACP");
  if (code_page == nullptr) GTEST_SKIP() << "run under a locale of its own";
  ASSERT_EQ(std::to_wstring(GetACP()), code_page);
  const std::string sample = ReadFileBytes(EnvironmentPath("QUORVEL_SAMPLE_MESSAGE"));
  ASSERT_EQ(sample.substr(0, 3), "\xEF\xBB\xBF");
  WriteFileBytes(L"E:\\mensagem.txt", sample);
  {
    const ProgramUnderTest program;
    EXPECT_EQ(program.Text(kText1), Utf16(sample.substr(3)));
  }
  if (GetACP() != CP_UTF8) return;
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1, Jo\xE3o! Cau\xE7\xE3o \xE0 porta.");
  const ProgramUnderTest program;
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1, Jo\u00E3o! Cau\u00E7\u00E3o \u00E0 porta.");
}

}  // namespace
}  // namespace quorvel::testing
