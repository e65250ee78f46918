// Libraries that someone left beside the program, under the names of system
// libraries that it uses. Wine is told to prefer a library beside the program
// to its own ("native first"), so it searches the program's folder first, as
// Windows does for any library that is not a KnownDLL. The program must
// still take every one of them from the system folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using PlantedLibraries = PenDriveTest;

// What the program loads in its run: comctl32 for the tool tips; uxtheme for
// the theme; windowscodecs, propsys and msimg32 behind the pictures (msimg32
// also as an import of uxtheme); shcore and shlwapi, which the window code
// loads by name; gdiplus, which nothing should load. Not version.dll: Wine's
// own user32 loads it before the program starts.
const char* const kPlanted[] = {"comctl32", "gdiplus", "windowscodecs", "uxtheme",
                                "propsys",  "msimg32", "shcore",        "shlwapi"};

TEST_F(PlantedLibraries, AreNeverLoadedFromTheProgramsFolder) {
  const std::wstring markers = L"C:\\quorvel-planted\\";  // where planted_dll.c leaves them
  CreateDirectoryW(markers.c_str(), nullptr);
  ClearDrive(markers);
  // A manifest beside the program that claims every planted library as a
  // file of the program's own, which would send its loads to the drive.
  std::string overrides, manifest =
                             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                             "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                             "manifestVersion=\"1.0\"><assemblyIdentity type=\"win32\" "
                             "name=\"Quorvel\" version=\"1.0.0.0\" processorArchitecture=\"x86\"/>";
  for (const char* name : kPlanted) {
    const std::wstring library = Utf16(name) + L".dll";
    ASSERT_TRUE(CopyFileW((BuiltProgramPath() + L"\\..\\planted\\" + library).c_str(),
                          (kPenRoot + library).c_str(), FALSE));
    overrides += (overrides.empty() ? "" : ",") + std::string(name);
    manifest += "<file name=\"" + std::string(name) + ".dll\"/>";
  }
  WriteFileBytes(L"E:\\Quorvel.exe.manifest", manifest + "</assembly>\n");
  WriteFileBytes(L"E:\\mensagem.txt", "Ol\xE1");
  const Launch launch{L"Quorvel.exe", L"",
                      "WINEDEBUG=+pid,+loaddll WINEDLLOVERRIDES='" + overrides +
                          "=n,b;mscoree,mshtml,winemenubuilder.exe='",
                      Environment("WINEPREFIX") + "/../safety-loaddll.txt"};
  const ProgramUnderTest& program = Start(kPenRoot, launch);

  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
  program.PostClick(kImage3);
  EXPECT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() == 10u; }));
  const std::vector<HWND> before = VisibleWindows();
  program.PostClick(kImage4);  // opens the folder and ends the program
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  // The file browser would stand over the windows of the tests that follow.
  std::vector<HWND> opened;
  EXPECT_TRUE(WaitFor([&] {
    for (const HWND window : VisibleWindows()) {
      if (std::find(before.begin(), before.end(), window) == before.end()) opened.push_back(window);
    }
    return !opened.empty();
  })) << "no file browser came up";
  for (const HWND window : opened) PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return std::none_of(opened.begin(), opened.end(), IsWindow); }));

  // The program's lines of the trace read like 0030:0034:trace:loaddll:build_module
  // Loaded L"C:\\windows\\system32\\x.dll" at ..., with doubled backslashes.
  std::string log = ReadFileBytes(UnixToWindows(launch.error_file));
  CharLowerA(log.data());
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%04lx:", static_cast<unsigned long>(program.process_id()));
  std::vector<std::string> loaded;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("loaded l\"") + 9;  // below 9 when not found
    if (line.rfind(prefix, 0) == 0 && at >= 9)
      loaded.push_back(line.substr(at, line.find('"', at) - at));
  }
  ASSERT_FALSE(loaded.empty()) << "no +loaddll trace was caught";
  EXPECT_EQ(loaded.front(), "e:\\\\quorvel.exe");
  for (std::size_t i = 1; i < loaded.size(); ++i) {
    EXPECT_EQ(loaded[i].rfind("c:\\\\windows\\\\system32\\\\", 0), 0u) << loaded[i];
  }
  for (const char* expected : {"comctl32", "windowscodecs", "uxtheme"}) {
    const std::string path = "c:\\\\windows\\\\system32\\\\" + std::string(expected) + ".dll";
    EXPECT_GT(std::count(loaded.begin(), loaded.end(), path), 0)
        << expected << " was not loaded at all: the test does not see what it should";
  }
  EXPECT_EQ(SnapshotTree(markers), (std::map<std::wstring, std::string>{}))
      << "a library from the pen drive was loaded";
}

}  // namespace
}  // namespace quorvel::testing
