// Whatever lies on the drive, and whatever happens to the drive, the program
// starts and its window keeps working: each case ends with a report of ten
// lines and the message box back.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"
#include "win/safety_program.h"

namespace quorvel::testing {
namespace {

using BadInputTest = PenDriveTest;

// A click as the mouse makes it on the picture, posted to it rather than sent
// through the input queue, so that no other window on the screen can take it.
void PostClick(const ProgramUnderTest& program, int id) {
  const HWND picture = program.Control(id);
  PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// The report, then the message again.
void ExpectWindowWorks(ProgramUnderTest& program) {
  PostClick(program, kImage3);
  EXPECT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() == 10u; }));
  EXPECT_FALSE(program.IsVisible(kText1));
  PostClick(program, kImage2);
  EXPECT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
  EXPECT_FALSE(program.HasExited());
}

struct BadFile {
  const char* name;
  std::string bytes;
  const wchar_t* shown_start;  // what Text1 starts with
};

std::string RandomBytes() {
  std::string bytes(4096, '\0');
  unsigned state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

TEST_F(BadInputTest, OddMessageFilesShowWhatTheyCanAndLeaveTheWindowWorking) {
  const BadFile files[] = {
      {"empty", "", L""},
      {"UTF-8 mark only", "\xEF\xBB\xBF", L""},
      {"UTF-16 mark only", "\xFF\xFE", L""},
      {"random bytes", RandomBytes(), nullptr},
      {"invalid UTF-8", "ok \xC3\x28 \xE2\x82 fim", L"ok \u00C3("},
      {"UTF-16 of odd length",
       std::string("\xFF\xFE"
                   "a\0b\0c",
                   7),
       L"ab"},
  };
  for (const BadFile& file : files) {
    SCOPED_TRACE(file.name);
    ClearDrive(kPenRoot);
    WriteFileBytes(L"E:\\mensagem.txt", file.bytes);
    ProgramUnderTest& program = Start();
    if (file.shown_start != nullptr) {
      const std::wstring start = file.shown_start;
      EXPECT_EQ(program.Text(kText1).substr(0, start.empty() ? std::wstring::npos : start.size()),
                start);
    }
    ExpectWindowWorks(program);
    TearDown();
    program_.reset();
  }
}

TEST_F(BadInputTest, SparseTwoGibibyteFileShowsItsStart) {
  const std::wstring path = L"E:\\mensagem.txt";
  WriteFileBytes(path, "Ol\xE1");
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 2LL << 30;
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  // Wine extends a file with ftruncate: the host keeps it sparse.
  ASSERT_EQ(RunShell("test $(du -k \"$QUORVEL_DRIVES/pen/mensagem.txt\" | cut -f1) -lt 1024"), 0)
      << "the 2 GiB file takes real space on the host";

  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1");
  ExpectWindowWorks(program);
}

TEST_F(BadInputTest, FolderNamedLikeTheMessageIsNoMessage) {
  ASSERT_TRUE(CreateDirectoryW(L"E:\\mensagem.txt", nullptr));
  WriteFileBytes(L"E:\\mensagem.txt\\mensagem.txt", "inside");
  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), L"");
  ExpectWindowWorks(program);
}

TEST_F(BadInputTest, MessageLockedByAnotherProgramIsNoMessage) {
  WriteFileBytes(L"E:\\mensagem.txt", "fechado");
  const HANDLE locked = CreateFileW(L"E:\\mensagem.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), L"");
  ExpectWindowWorks(program);
  TearDown();
  program_.reset();
  CloseHandle(locked);
}

TEST_F(BadInputTest, FolderWithBlanksAndCharactersOutsideTheCodePage) {
  const std::wstring folder = L"E:\\Pen da Maria \u00F1 \u65E5\u672C \u2713";
  WriteFileBytes(folder + L"\\mensagem.txt", "Ol\xE1, Maria");
  ProgramUnderTest& program = Start(folder);
  EXPECT_EQ(program.Text(kText1), L"Ol\u00E1, Maria");
  ExpectWindowWorks(program);
}

// Wine finds \\server\share in its prefix's dosdevices\unc folder: a share
// without a network.
TEST(Share, ProgramOnAShareShowsItsMessageAndReports) {
  const std::wstring share =
      UnixToWindows(Environment("WINEPREFIX") + "/dosdevices/unc/quorvel/pen");
  for (std::size_t i = 3; i <= share.size(); ++i) {
    if (i == share.size() || share[i] == L'\\')
      CreateDirectoryW(share.substr(0, i).c_str(), nullptr);
  }
  ASSERT_TRUE(CopyFileW(BuiltProgramPath().c_str(), (share + L"\\Quorvel.exe").c_str(), FALSE));
  WriteFileBytes(share + L"\\mensagem.txt", "Na rede");

  LaunchedProgram quorvel({L"\\\\quorvel\\pen\\Quorvel.exe", L"", {}, ""});
  EXPECT_EQ(quorvel.Text1(), L"Na rede");
  ASSERT_TRUE(quorvel.SendClick(kImage3));
  const auto lines = quorvel.ListLines();
  ASSERT_EQ(lines.size(), 10u);
  std::wstring report;
  for (const std::wstring& line : lines) report += line + L"\n";
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::wstring& line) {
                           return line.find(L"\\\\quorvel\\pen") != std::wstring::npos;
                         }),
            lines.end())
      << Utf8(report);
}

// The drive goes away while the program runs from it: its mapping in Wine's
// dosdevices folder is removed, as when a pen drive is pulled out.
TEST(VanishingDrive, ReportStillHasTenLinesWithTheFactsUnavailable) {
  ASSERT_EQ(RunShell("mkdir -p \"$QUORVEL_DRIVES/spare\" && "
                     "ln -sfn \"$QUORVEL_DRIVES/spare\" \"$WINEPREFIX/dosdevices/k:\""),
            0);
  ClearDrive(L"K:\\");
  WriteFileBytes(L"K:\\mensagem.txt", "Tira-me");
  ASSERT_TRUE(CopyFileW(BuiltProgramPath().c_str(), L"K:\\Quorvel.exe", FALSE));
  LaunchedProgram quorvel({L"K:\\Quorvel.exe", L"", {}, ""});
  EXPECT_EQ(quorvel.Text1(), L"Tira-me");

  ASSERT_EQ(RunShell("rm -f \"$WINEPREFIX/dosdevices/k:\""), 0);
  ASSERT_TRUE(quorvel.SendClick(kImage3));
  const auto lines = quorvel.ListLines();
  ASSERT_EQ(lines.size(), 10u);
  std::wstring report;
  for (const std::wstring& line : lines) report += line + L"\n";
  EXPECT_NE(report.find(L"(indispon\u00EDvel)"), std::wstring::npos) << Utf8(report);
  EXPECT_NE(report.find(L"N\u00E3o Existe"), std::wstring::npos) << Utf8(report);
  EXPECT_TRUE(quorvel.SendClick(kImage2));
  EXPECT_TRUE(quorvel.Text1Visible());
}

}  // namespace
}  // namespace quorvel::testing
