// Whatever lies on the drive, and whatever happens to the drive, the program
// starts and its window keeps working: each case ends with a report of ten
// lines and the message box back.
#include <gtest/gtest.h>

#include <random>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using BadInputTest = PenDriveTest;

// The report, then the message again; returns the report.
std::wstring ExpectWindowWorks(const ProgramUnderTest& program) {
  program.PostClick(kImage3);
  EXPECT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() == 10u; }));
  EXPECT_FALSE(program.IsVisible(kText1));
  std::wstring report;
  for (const std::wstring& line : program.ListLines(kList1)) report += line + L"\n";
  program.PostClick(kImage2);
  EXPECT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
  EXPECT_FALSE(program.HasExited());
  return report;
}

TEST_F(BadInputTest, OddMessagesShowWhatTheyCanAndLeaveTheWindowWorking) {
  std::string random(4096, '\0');
  std::minstd_rand generator;
  for (char& c : random) c = static_cast<char>(generator());
  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* shown;  // the message's start, all of it if empty; null for any
    const wchar_t* path = L"E:\\mensagem.txt";
    const char* shell = "true";  // run once the file is written
    bool locked = false;
  } files[] = {
      {"empty", "", L""},
      {"UTF-8 mark only", "\xEF\xBB\xBF", L""},
      {"UTF-16 mark only", "\xFF\xFE", L""},
      {"random bytes", random, nullptr},
      {"invalid UTF-8", "ok \xC3\x28 \xE2\x82 fim", L"ok \u00C3("},
      {"UTF-16 of odd length", std::string("\xFF\xFE\x61\0b\0c", 7), L"ab"},
      {"sparse 2 GiB", "Ol\xE1", L"Ol\u00E1", L"E:\\mensagem.txt",
       "truncate -s 2G \"$QUORVEL_DRIVES/pen/mensagem.txt\""},
      {"a folder of that name", "inside", L"", L"E:\\mensagem.txt\\mensagem.txt"},
      {"locked by another program", "fechado", L"", L"E:\\mensagem.txt", "true", true},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    ClearDrive(kPenRoot);
    WriteFileBytes(file.path, file.bytes);
    ASSERT_EQ(RunShell(file.shell), 0);
    const HANDLE locked = file.locked ? CreateFileW(file.path, GENERIC_READ | GENERIC_WRITE, 0,
                                                    nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE;
    const std::wstring text = Start().Text(kText1), shown = file.shown ? file.shown : text;
    EXPECT_EQ(text.substr(0, shown.empty() ? std::wstring::npos : shown.size()), shown);
    ExpectWindowWorks(*program_);
    TearDown();
    CloseHandle(locked);
  }
}

// Wherever the program runs, its message shows and its report
// comes: a folder with blanks and characters outside the code page; a share,
// which Wine finds in its prefix's dosdevices\unc folder; and a drive whose
// mapping is removed while the program runs, as when a pen drive is pulled.
TEST_F(BadInputTest, ProgramShowsItsMessageAndReportsWhereverItRuns) {
  const struct {
    std::wstring folder;
    const char *before, *after;  // shell steps
    std::vector<std::wstring> reported;
  } places[] = {
      {L"E:\\Pen da Maria \u00F1 \u65E5\u672C \u2713", "true", "true", {}},
      {L"\\\\quorvel\\pen",
       "mkdir -p \"$WINEPREFIX/dosdevices/unc/quorvel/pen\"",
       "true",
       {L"\\\\quorvel\\pen"}},
      {L"K:\\",
       "mkdir -p \"$QUORVEL_DRIVES/spare\" && rm -rf \"$QUORVEL_DRIVES/spare\"/* && "
       "ln -sfn \"$QUORVEL_DRIVES/spare\" \"$WINEPREFIX/dosdevices/k:\"",
       "rm -f \"$WINEPREFIX/dosdevices/k:\"",
       {L"(indispon\u00EDvel)", L"N\u00E3o Existe"}},
  };
  for (const auto& place : places) {
    SCOPED_TRACE(Utf8(place.folder));
    ASSERT_EQ(RunShell(place.before), 0);
    WriteFileBytes(place.folder + L"\\mensagem.txt", "Ol\xE1, Maria");
    EXPECT_EQ(Start(place.folder).Text(kText1), L"Ol\u00E1, Maria");
    ASSERT_EQ(RunShell(place.after), 0);
    const std::wstring report = ExpectWindowWorks(*program_);
    for (const std::wstring& part : place.reported) {
      EXPECT_NE(report.find(part), std::wstring::npos) << Utf8(report);
    }
    TearDown();
  }
}

}  // namespace
}  // namespace quorvel::testing
