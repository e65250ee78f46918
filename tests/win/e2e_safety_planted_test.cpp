// Libraries that someone left beside the program, under the names of system
// libraries that the program uses. Wine is told to prefer a library found
// beside the program to its own ("native first"), which makes it search the
// program's folder first, as Windows does for any library that is not a
// KnownDLL. The program must still take every one of them from the system
// folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "ui/control_table.h"
#include "win/program_under_test.h"
#include "win/safety_program.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kMarkerFolder[] = L"C:\\quorvel-planted\\";

// What the program imports or loads in its run (Wine's +loaddll shows them):
// comctl32 for the tool tips; uxtheme for the window's theme; windowscodecs,
// propsys and msimg32 behind OleLoadPicture and the picture's rendering;
// gdiplus, which nothing should load. version.dll is left out: Wine's own
// user32 imports it, and so loads it before the program's first instruction.
// msimg32 is an import of the theme library uxtheme, which a loader may look
// for beside the program whatever the program asked for itself.
const char* const kPlanted[] = {"comctl32", "gdiplus", "windowscodecs",
                                "uxtheme",  "propsys", "msimg32"};

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The paths of the libraries that the process `pid` loaded, from Wine's
// +pid,+loaddll trace: lines like
// 0030:0034:trace:loaddll:build_module Loaded L"C:\\windows\\system32\\x.dll" at ...
std::vector<std::string> LoadedBy(const std::string& log, DWORD pid) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%04lx:", static_cast<unsigned long>(pid));
  std::vector<std::string> paths;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    const std::size_t at = line.find("Loaded L\"");
    if (at == std::string::npos) continue;
    const std::size_t start = at + 9;
    const std::size_t end = line.find('"', start);
    std::string path = line.substr(start, end - start);
    std::string single;  // the trace doubles each backslash
    for (std::size_t i = 0; i < path.size(); ++i) {
      single += path[i];
      if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
    }
    paths.push_back(Lower(single));
  }
  return paths;
}

BOOL CALLBACK AddVisible(HWND window, LPARAM lparam) {
  if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(lparam)->insert(window);
  return TRUE;
}

std::set<HWND> VisibleWindows() {
  std::set<HWND> windows;
  EnumWindows(AddVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Closes the file browser that the program opened, which would otherwise
// stand over the windows of the tests that follow.
void CloseNewWindows(const std::set<HWND>& before) {
  std::vector<HWND> opened;
  WaitFor([&] {
    for (const HWND window : VisibleWindows()) {
      if (before.count(window) == 0) opened.push_back(window);
    }
    return !opened.empty();
  });
  for (const HWND window : opened) PostMessageW(window, WM_CLOSE, 0, 0);
  WaitFor([&] {
    return std::none_of(opened.begin(), opened.end(), [](HWND w) { return IsWindow(w) != FALSE; });
  });
}

TEST(PlantedLibraries, AreNeverLoadedFromTheProgramsFolder) {
  ClearDrive(kPenRoot);
  CreateDirectoryW(kMarkerFolder, nullptr);
  ClearDrive(kMarkerFolder);
  const std::wstring program = L"E:\\Quorvel.exe";
  ASSERT_TRUE(CopyFileW(BuiltProgramPath().c_str(), program.c_str(), FALSE));
  std::wstring overrides;
  for (const char* name : kPlanted) {
    const std::wstring library = Utf16(name) + L".dll";
    ASSERT_TRUE(CopyFileW((BuildFolder() + L"planted\\" + library).c_str(),
                          (std::wstring(kPenRoot) + library).c_str(), FALSE))
        << name;
    overrides += (overrides.empty() ? L"" : L",") + Utf16(name);
  }
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  const auto before = SnapshotTree(kPenRoot);
  const std::string log = Environment("WINEPREFIX") + "/../safety-loaddll.txt";

  {
    LaunchedProgram quorvel(
        {program,
         L"",
         {{L"WINEDLLOVERRIDES", overrides + L"=n,b;mscoree,mshtml,winemenubuilder.exe="},
          {L"WINEDEBUG", L"+pid,+loaddll"}},
         log});
    EXPECT_EQ(quorvel.Text1(), L"Ol\u00E1");
    ASSERT_TRUE(quorvel.SendClick(kImage3));
    EXPECT_EQ(quorvel.ListLines().size(), 10u);
    const std::set<HWND> before_browser = VisibleWindows();
    quorvel.SendClick(kImage4);  // opens the folder and ends the program
    ASSERT_TRUE(quorvel.WaitForExit());
    EXPECT_EQ(quorvel.ExitCode(), 0u);
    CloseNewWindows(before_browser);

    const std::vector<std::string> loaded =
        LoadedBy(ReadWholeFileBytes(UnixToWindows(log)), quorvel.process_id());
    ASSERT_FALSE(loaded.empty()) << "no +loaddll trace was caught";
    EXPECT_EQ(loaded.front(), "e:\\quorvel.exe");
    for (std::size_t i = 1; i < loaded.size(); ++i) {
      EXPECT_EQ(loaded[i].rfind("c:\\windows\\system32\\", 0), 0u) << loaded[i];
    }
    for (const char* expected : {"comctl32", "windowscodecs", "uxtheme"}) {
      const std::string path = std::string("c:\\windows\\system32\\") + expected + ".dll";
      EXPECT_NE(std::find(loaded.begin(), loaded.end(), path), loaded.end())
          << expected << " was not loaded at all: the test does not see what it should";
    }
  }

  for (const char* name : kPlanted) {
    EXPECT_EQ(GetFileAttributesW((kMarkerFolder + Utf16(name) + L".txt").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << name << " from the pen drive was loaded";
  }
  EXPECT_EQ(SnapshotTree(kPenRoot), before) << "the program changed the drive";
}

}  // namespace
}  // namespace quorvel::testing
