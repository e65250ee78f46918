// The drive report as the user sees it, on each kind of drive of the fixture
// and in the user's own number format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kHeading[] = L"[Informa\u00E7\u00E3o da Pen]";
constexpr wchar_t kFree[] = L"Espa\u00E7o Livre: ";
constexpr wchar_t kTotal[] = L"Tamanho Total: ";
const std::wstring kUnavailable = L"(indispon\u00EDvel)";

std::wstring LocaleText(const wchar_t* locale, LCTYPE type) {
  wchar_t text[32] = {};
  return GetLocaleInfoEx(locale, type, text, 32) != 0 ? text : L"<unreadable>";
}

// The digits of `line` after `prefix`, grouped in threes with `separator` (the
// only grouping of the locales under test), between `prefix` and " Kb".
std::wstring Regrouped(const std::wstring& line, const std::wstring& prefix,
                       const std::wstring& separator) {
  std::wstring digits = line.substr(std::min(prefix.size(), line.size()));
  digits.erase(std::remove_if(digits.begin(), digits.end(), [](wchar_t c) { return !iswdigit(c); }),
               digits.end());
  for (std::size_t end = digits.size(); end > 3; end -= 3) digits.insert(end - 3, separator);
  return prefix + digits + L" Kb";
}

// Clicks "Informações" below a line of the test's own and waits for ten lines
// that replace it, or for the program's end.
std::vector<std::wstring> Report(const ProgramUnderTest& program) {
  const wchar_t marker[] = L"left from before";
  SendMessageW(program.Control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(marker));
  program.PostClick(kImage3);
  std::vector<std::wstring> lines;
  WaitFor([&] {
    lines = program.ListLines(kList1);
    return program.HasExited() || (lines.size() == 10 && lines.back() != marker);
  });
  return lines;
}

// The other drives are not cleared between tests: once the program has ended,
// the fixture puts back the drive that a test took away and removes the
// folders of the program's copies.
class DriveReportTest : public PenDriveTest {
 protected:
  void TearDown() override {
    PenDriveTest::TearDown();
    MoveFileW(gone_.c_str(), present_.c_str());
    for (const wchar_t* folder : {L"F:\\Quorvel", L"G:\\Quorvel", L"H:\\Quorvel"}) {
      DeleteFileW((folder + std::wstring(L"\\Quorvel.exe")).c_str());
      RemoveDirectoryW(folder);
    }
  }
  std::wstring present_, gone_;
};

// Run under LC_ALL=en_US.UTF-8 and pt_PT.UTF-8 by their own ctest entries,
// which name the locale that Wine should have taken in QUORVEL_EXPECT_LOCALE.
TEST_F(DriveReportTest, PenDriveReportInTheUsersNumberFormat) {
  wchar_t user_locale[LOCALE_NAME_MAX_LENGTH] = {};
  ASSERT_GT(GetUserDefaultLocaleName(user_locale, LOCALE_NAME_MAX_LENGTH), 0);
  if (const wchar_t* expected = _wgetenv(L"QUORVEL_EXPECT_LOCALE")) {
    ASSERT_STREQ(user_locale, expected);
  }
  // The two locales group alike but with different separators.
  ASSERT_NE(LocaleText(L"en-US", LOCALE_STHOUSAND), LocaleText(L"pt-PT", LOCALE_STHOUSAND));
  ASSERT_EQ(LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING), L"3;0");
  const std::wstring separator = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND);

  WriteFileBytes(L"E:\\Pen\\mensagem.txt", "Devolva-me, por favor.");
  ProgramUnderTest& program = Start(L"E:\\Pen");
  ASSERT_EQ(program.Text(kText1), L"Devolva-me, por favor.");
  ASSERT_EQ(Report(program).size(), 10u);
  EXPECT_FALSE(program.IsVisible(kText1));
  const std::vector<std::wstring> lines = Report(program);  // replaces the first

  wchar_t file_system[MAX_PATH + 1] = {};
  ASSERT_TRUE(GetVolumeInformationW(kPenRoot, nullptr, 0, nullptr, nullptr, nullptr, file_system,
                                    MAX_PATH + 1));
  ULARGE_INTEGER total = {};
  ASSERT_TRUE(GetDiskFreeSpaceExW(kPenRoot, nullptr, &total, nullptr));
  // Free space changes as it likes: its line is only checked for its form. The
  // serial number is 0x8BADF00D.
  const std::vector<std::wstring> expected = {
      kHeading,
      L"Nome do Volume: QUORVEL PEN",
      L"Letra da Pen: E",
      L"Tipo de Pen: Drive Removivel",
      L"Sistema de ficheiros: " + std::wstring(file_system),
      Regrouped(lines.size() == 10 ? lines[5] : L"", kFree, separator),
      Regrouped(kTotal + std::to_wstring((total.QuadPart + 512) / 1024), kTotal, separator),
      L"Pen esta pronta: True",
      L"Destino da Pen: E:",
      L"Serial number: -1951535091"};
  EXPECT_EQ(lines, expected);

  program.PostClick(kImage2);
  ASSERT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
  EXPECT_EQ(program.Text(kText1), L"Devolva-me, por favor.");

  // "Fechar" ends at once: a program that went back to its queue would read
  // the quit request with exit code 7 right behind the click.
  program.PostClick(kImage1);
  PostThreadMessageW(GetWindowThreadProcessId(program.window(), nullptr), WM_QUIT, 7, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(DriveReportTest, EachKindOfDriveIsNamedAndOneThatGoesStillGivesTenLines) {
  // F: is a folder on the Unix side: moving it away while the program runs
  // from it leaves F: mapped to nothing, as if the drive had been pulled out.
  const std::wstring drives = UnixToWindows(Environment("QUORVEL_DRIVES"));
  present_ = drives + L"\\fixed";
  gone_ = drives + L"\\fixed-gone";
  MoveFileW(gone_.c_str(), present_.c_str());  // a run cut short left F: out
  std::vector<std::wstring> lines;
  for (const auto& [letter, type] :
       {std::pair{L"G", L"Drive CD-ROM"}, {L"H", L"Drive Remota"}, {L"F", L"Drive Fixa"}}) {
    PenDriveTest::TearDown();  // ends the last program and compares E:
    lines = Report(Start(letter + std::wstring(L":\\Quorvel")));
    ASSERT_EQ(lines.size(), 10u) << Utf8(letter);
    EXPECT_EQ(lines[2], L"Letra da Pen: " + std::wstring(letter));
    EXPECT_EQ(lines[3], L"Tipo de Pen: " + std::wstring(type));
    EXPECT_EQ(lines[8], L"Destino da Pen: " + std::wstring(letter) + L":");
  }

  // A fresh F: program's report once F: has gone: the volume's facts
  // unavailable.
  std::vector<std::wstring> want = lines;
  for (const int i : {1, 4, 5, 6, 9}) want[i].erase(want[i].find(L": ") + 2) += kUnavailable;
  want[3] = L"Tipo de Pen: N\u00E3o Existe";
  want[7] = L"Pen esta pronta: False";
  PenDriveTest::TearDown();
  Start(L"F:\\Quorvel");
  ASSERT_TRUE(MoveFileW(present_.c_str(), gone_.c_str())) << GetLastError();
  EXPECT_EQ(Report(*program_), want);
  EXPECT_FALSE(program_->HasExited());
}

}  // namespace
}  // namespace quorvel::testing
