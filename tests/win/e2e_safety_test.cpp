// The program on a drive that anyone may have written to: odd message files,
// libraries and a manifest planted beside it, failures that nothing expects,
// and long use.
#include "win/program_under_test.h"

#include <tlhelp32.h>
#include <winioctl.h>

#include <algorithm>
#include <tuple>

namespace quorvel::testing {
namespace {

using SafetyTest = PenDriveTest;

TEST_F(SafetyTest, OddMessageFilesShowWhatTheyCanOrNothing) {
  const fs::path path = PenFolder() / L"mensagem.txt";
  // 2 GiB, sparse where the drive allows it (2 MiB written whole where it
  // does not, FAT say): read up to its first MiB.
  WriteFileBytes(path, "Ol\xE1");
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD returned = 0;
  const bool sparse =
      DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER size = {};
  size.QuadPart = sparse ? 2LL << 30 : 2LL << 20;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(ProgramUnderTest().Text(kText1), L"Ol\u00E1");
  // Held locked by another program: nothing.
  const HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ProgramUnderTest().Text(kText1), L"");
  CloseHandle(lock);
}

// Libraries that someone left beside the program, under the names of system
// libraries that it uses, and a manifest that claims them as the program's
// own files. Windows searches the program's folder first for any library that
// is not a KnownDLL; under the fixture, Wine is told to do the same ("native
// first"). What the program loads in its run: comctl32 for the tool tips;
// uxtheme for the theme; windowscodecs, propsys and msimg32 behind the
// pictures under Wine; shcore and shlwapi, which the window code loads by name
// or the shell loads for "Abrir Pen"; gdiplus, which nothing should load. Not
// version.dll: Wine's own user32 loads it before the program starts. Each
// leaves a marker in quorvel-planted in the temporary folder if it is ever
// loaded. The folder's name lies outside every ANSI code page.
TEST_F(SafetyTest, PlantedLibrariesAreNeverLoadedAndAbrirPenOpensTheFolderAndEnds) {
  const std::wstring leaf = L"Pen \u00C1gua \u0394\u0436 \u65E5\u672C";
  const fs::path folder = PenFolder() / leaf,
                 markers = fs::temp_directory_path() / L"quorvel-planted";
  fs::remove_all(markers);
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
    WriteFileBytes(folder / (wide + L".dll"),
                   ReadFileBytes(BuildFile(L"planted\\" + wide + L".dll")));
    if (FixtureDrives())
      RegSetKeyValueW(HKEY_CURRENT_USER, overrides, wide.c_str(), REG_SZ, L"native,builtin", 30);
    manifest += "<file name=\"" + name + ".dll\"/>";
  }
  WriteFileBytes(folder / L"Quorvel.exe.manifest", manifest + "</assembly>\n");
  WriteFileBytes(folder / L"mensagem.txt", "Ol\xE1, Maria");
  const ProgramUnderTest program(folder);
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1, Maria");
  EXPECT_EQ(program.Report().size(), 10u);

  // The libraries in the program once the pictures, the tool tips and the
  // report are up: all from the Windows folder (System32, or SysWOW64 and
  // SyChpe32 for a 32-bit program on 64-bit Windows), comctl32 among them.
  std::vector<std::wstring> loaded;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, program.process_id());
  MODULEENTRY32W module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
    loaded.push_back(CharLowerW(module.szExePath));
  CloseHandle(snapshot);
  ASSERT_FALSE(loaded.empty());
  EXPECT_EQ(loaded.front(), CharLowerW((folder / L"Quorvel.exe").wstring().data()));
  wchar_t windows[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring system = CharLowerW(std::wstring(windows, length).append(L"\\").data());
  for (std::size_t i = 1; i < loaded.size(); ++i)
    EXPECT_EQ(loaded[i].rfind(system, 0), 0u) << loaded[i];
  // Under Wine the theme and the image library come too; where the test does
  // not see them loaded, it does not see what it should.
  for (const wchar_t* expected : {L"\\comctl32.dll", L"\\windowscodecs.dll", L"\\uxtheme.dll"}) {
    if (!FixtureDrives() && expected != std::wstring(L"\\comctl32.dll")) continue;
    EXPECT_EQ(std::count_if(loaded.begin(), loaded.end(),
                            [&](const std::wstring& path) { return path.ends_with(expected); }),
              1)
        << expected << " was not loaded at all";
  }

  // "Abrir Pen" ends the program, and the file browser comes up on the
  // folder, with its name for a title: through the folder class's "open"
  // verb, which the Wine fixture gives Wine's registry as Windows has it.
  ASSERT_EQ(FindWindowW(nullptr, leaf.c_str()), nullptr);
  program.PostClick(kImage4);
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(CloseFolderWindow(leaf));
  EXPECT_FALSE(fs::exists(markers)) << "a library from the pen drive was loaded";
  if (FixtureDrives())
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
    const ProgramUnderTest program(PenFolder(), L"QuorvelFault.exe", arguments);
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

// Memory and the drive report over long use: ten thousand reports and
// messages leave the program's working set and private bytes where they were
// after a hundred.
TEST_F(SafetyTest, TenThousandReportsAndMessagesKeepTheMemoryFlat) {
  const ProgramUnderTest program(PenFolder() / L"uso longo");
  // A picture's WM_COMMAND/STN_CLICKED, sent: it returns when the handler has
  // run, and ten thousand take seconds where mouse input would take minutes.
  const auto click = [&](int id) {
    return SendMessageTimeoutW(program.window(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                               reinterpret_cast<LPARAM>(program.Control(id)), SMTO_NORMAL, 60000,
                               nullptr) != 0;
  };
  std::pair<long, long> after_100;
  for (int n = 1; n <= 10000; ++n) {
    ASSERT_TRUE(click(kImage3) && click(kImage2)) << n;
    if (n == 100) after_100 = program.MemoryKib();
  }
  const auto [working_set, private_bytes] = program.MemoryKib();
  ASSERT_GT(after_100.first, 0) << "the system gives no working set";
  EXPECT_LT(working_set - after_100.first, 256) << after_100.first << " KiB, then " << working_set;
  EXPECT_LT(private_bytes - after_100.second, 256)
      << after_100.second << " KiB, then " << private_bytes;
  EXPECT_EQ(program.ListLines().size(), 10u);
  EXPECT_TRUE(program.IsVisible(kText1));
}

}  // namespace
}  // namespace quorvel::testing
