// The program on a drive that anyone may have written to: odd message files,
// libraries and a manifest planted beside it, failures that nothing expects,
// and long use.
#include "win/program_under_test.h"

#include <tlhelp32.h>

#include <algorithm>
#include <tuple>

namespace quorvel::testing {
namespace {

using SafetyTest = PenDriveTest;

TEST_F(SafetyTest, OddMessageFilesShowWhatTheyCanOrNothing) {
  const wchar_t path[] = L"E:\\mensagem.txt";
  // Sparse, 2 GiB: read up to its first MiB.
  WriteFileBytes(path, "Ol\xE1");
  ASSERT_EQ(RunShell("truncate -s 2G \"$QUORVEL_DRIVES/pen/mensagem.txt\""), 0);
  EXPECT_EQ(ProgramUnderTest().Text(kText1), L"Ol\u00E1");
  // Held locked by another program: nothing.
  const HANDLE lock =
      CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ProgramUnderTest().Text(kText1), L"");
  CloseHandle(lock);
}

// Libraries that someone left beside the program, under the names of system
// libraries that it uses, and a manifest that claims them as the program's
// own files. Wine is told to prefer a library beside the program to its own
// ("native first"), so it searches the program's folder first, as Windows does
// for any library that is not a KnownDLL. What the program loads in its run:
// comctl32 for the tool tips; uxtheme for the theme; windowscodecs, propsys
// and msimg32 behind the pictures; shcore and shlwapi, which the window code
// loads by name or the shell loads for "Abrir Pen"; gdiplus, which nothing
// should load. Not version.dll: Wine's own user32 loads it before the program
// starts. Each leaves a marker in C:\quorvel-planted if it is ever loaded.
// The folder's name lies outside every ANSI code page.
TEST_F(SafetyTest, PlantedLibrariesAreNeverLoadedAndAbrirPenOpensTheFolderAndEnds) {
  const std::wstring leaf = L"Pen \u00C1gua \u0394\u0436 \u65E5\u672C", folder = kPenRoot + leaf;
  ASSERT_EQ(RunShell("rm -rf \"$WINEPREFIX/drive_c/quorvel-planted\""), 0);
  // Native first for the planted names, for Quorvel.exe alone.
  const wchar_t overrides[] = L"Software\\Wine\\AppDefaults\\Quorvel.exe\\DllOverrides";
  std::string manifest =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
      "manifestVersion=\"1.0\"><assemblyIdentity type=\"win32\" "
      "name=\"Quorvel\" version=\"1.0.0.0\" processorArchitecture=\"" +
      std::string(sizeof(void*) == 4 ? "x86" : "amd64") + "\"/>";
  for (const std::string name : {"comctl32", "gdiplus", "windowscodecs", "uxtheme", "propsys",
                                 "msimg32", "shcore", "shlwapi"}) {
    const std::wstring wide = Utf16(name);
    WriteFileBytes(folder + L"\\" + wide + L".dll",
                   ReadFileBytes(EnvironmentPath("QUORVEL_EXE", "/../planted/" + name + ".dll")));
    RegSetKeyValueW(HKEY_CURRENT_USER, overrides, wide.c_str(), REG_SZ, L"native,builtin", 30);
    manifest += "<file name=\"" + name + ".dll\"/>";
  }
  WriteFileBytes(folder + L"\\Quorvel.exe.manifest", manifest + "</assembly>\n");
  WriteFileBytes(folder + L"\\mensagem.txt", "Ol\xE1, Maria");
  const ProgramUnderTest program(folder);
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1, Maria");
  EXPECT_EQ(program.Report().size(), 10u);

  // The libraries in the program once the pictures, the tool tips and the
  // report are up: all from the system folder, these three among them.
  std::vector<std::wstring> loaded;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, program.process_id());
  MODULEENTRY32W module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
    loaded.push_back(CharLowerW(module.szExePath));
  CloseHandle(snapshot);
  ASSERT_FALSE(loaded.empty());
  EXPECT_EQ(loaded.front(), CharLowerW((folder + L"\\Quorvel.exe").data()));
  const std::wstring system = L"c:\\windows\\system32\\";
  for (std::size_t i = 1; i < loaded.size(); ++i)
    EXPECT_EQ(loaded[i].rfind(system, 0), 0u) << loaded[i];
  for (const wchar_t* expected : {L"comctl32.dll", L"windowscodecs.dll", L"uxtheme.dll"})
    EXPECT_EQ(std::count(loaded.begin(), loaded.end(), system + expected), 1)
        << expected << " was not loaded at all: the test does not see what it should";

  // "Abrir Pen" ends the program, and the file browser comes up on the
  // folder, with its name for a title: through the folder class's "open"
  // verb, which the Wine fixture gives Wine's registry as Windows has it.
  ASSERT_EQ(FindWindowW(nullptr, leaf.c_str()), nullptr);
  program.PostClick(kImage4);
  EXPECT_EQ(program.ExitCode(), 0u);
  HWND browser = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (browser = FindWindowW(nullptr, leaf.c_str())) != nullptr; }));
  PostMessageW(browser, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(browser); }));
  EXPECT_FALSE(fs::exists(L"C:\\quorvel-planted")) << "a library from the pen drive was loaded";
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Quorvel.exe");
}

// A failure that nothing expects, inside a handler, ends in the program's own
// message box and a failing exit code: a container asked for too much, memory
// run out, a crash; and a second failure while the box is up, which ends the
// program at once. The failures come from the test build QuorvelFault.exe.
// Wine swallows a crash in a window procedure that it reached through a
// callback from its own window code, as WOW64 does by default, so the second
// failure is one that the program itself reports: the window, painted again
// behind the box, fails again.
TEST_F(SafetyTest, AFailureInAHandlerEndsInTheProgramsMessageBox) {
  const wchar_t* const too_much = L"pedido maior do que a mem\u00F3ria admite";
  for (const auto& [arguments, failure, again] :
       {std::tuple{L"", too_much, false},
        {L"--out-of-memory", L"mem\u00F3ria esgotada", false},
        {L"--access-violation", L"exce\u00E7\u00E3o 0xC0000005", false},
        {L"--fail-again-on-paint", too_much, true}}) {
    SCOPED_TRACE(arguments);
    const ProgramUnderTest program(kPenRoot, L"QuorvelFault.exe", arguments);
    program.PostClick(kImage3);
    // The program's windows on screen besides its own: its message boxes.
    std::vector<HWND> boxes;
    std::size_t most_boxes = 0;
    const auto look = [&] {
      boxes = VisibleWindows(program.process_id());
      std::erase(boxes, program.window());
      most_boxes = std::max(most_boxes, boxes.size());
      return !boxes.empty() || program.HasExited();
    };
    WaitFor(look);
    ASSERT_EQ(boxes.size(), 1u) << "the program ended without its message, or showed more";
    EXPECT_EQ(WindowText(GetDlgItem(boxes[0], 0xFFFF)),
              L"O Quorvel encontrou um erro e vai fechar.\n" + std::wstring(failure));
    if (!again) {
      PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);  // as the Enter key does
    } else {
      RedrawWindow(program.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
      WaitFor([&] { return !look() || program.HasExited(); });
    }
    EXPECT_EQ(program.ExitCode(), 1u);
    EXPECT_EQ(most_boxes, 1u);
  }
}

// Resident memory of the program's Wine process on the Linux side, from
// /proc, in KiB (0 when unknown): Wine's own counters give none. Wine shows
// a process's Windows command line as its Unix one; the prefix tells this
// run's program from any other.
long ResidentKib() {
  RunShell(
      "for p in $(pgrep -f '[u]so longo'); do grep -qxz \"WINEPREFIX=$WINEPREFIX\" "
      "/proc/$p/environ && grep VmRSS /proc/$p/status; done | tr -dc 0-9 >rss");
  return std::atol(ReadFileBytes(EnvironmentPath("WINEPREFIX", "/../rss")).c_str());
}

TEST_F(SafetyTest, TenThousandReportsAndMessagesKeepTheMemoryFlat) {
  const ProgramUnderTest program(L"E:\\uso longo");
  // A picture's WM_COMMAND/STN_CLICKED, sent: it returns when the handler has
  // run, and ten thousand take seconds where mouse input would take minutes.
  const auto click = [&](int id) {
    return SendMessageTimeoutW(program.window(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                               reinterpret_cast<LPARAM>(program.Control(id)), SMTO_NORMAL, 60000,
                               nullptr) != 0;
  };
  long after_100 = 0;
  for (int n = 1; n <= 10000; ++n) {
    ASSERT_TRUE(click(kImage3) && click(kImage2)) << n;
    if (n == 100) after_100 = ResidentKib();
  }
  const long after_10000 = ResidentKib();
  ASSERT_GT(after_100, 0) << "no Linux process runs the program";
  EXPECT_LT(after_10000 - after_100, 256) << after_100 << " KiB, then " << after_10000 << " KiB";
  EXPECT_EQ(program.ListLines().size(), 10u);
  EXPECT_TRUE(program.IsVisible(kText1));
}

}  // namespace
}  // namespace quorvel::testing
