// The drive report as the user sees it, on each kind of drive of the fixture
// and in the user's own number format.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using DriveReportTest = PenDriveTest;

constexpr wchar_t kHeading[] = L"[Informa\u00E7\u00E3o da Pen]";
constexpr wchar_t kFreePrefix[] = L"Espa\u00E7o Livre: ";
constexpr wchar_t kTotalPrefix[] = L"Tamanho Total: ";
constexpr wchar_t kUnavailable[] = L"(indispon\u00EDvel)";

std::wstring Environment(const wchar_t* name) {
  wchar_t value[512] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 512);
  return length > 0 && length < 512 ? std::wstring(value, length) : std::wstring();
}

std::wstring LocaleText(const wchar_t* locale, LCTYPE type) {
  wchar_t text[32] = {};
  if (GetLocaleInfoEx(locale, type, text, 32) == 0) return L"<unreadable>";
  return text;
}

// The Windows path of a folder of the Unix side, through Z:.
std::wstring UnixFolder(const std::wstring& unix_path) {
  std::wstring path = L"Z:" + unix_path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// `kilobytes` grouped in threes with `separator`, the only grouping that the
// locales under test use.
std::wstring GroupedInThrees(unsigned long long kilobytes, const std::wstring& separator) {
  std::wstring digits = std::to_wstring(kilobytes);
  for (std::size_t end = digits.size(); end > 3; end -= 3) digits.insert(end - 3, separator);
  return digits;
}

// Whether `line` is `prefix`, a number grouped in threes with `separator`, and
// " Kb".
bool IsGroupedKilobytesLine(const std::wstring& line, const std::wstring& prefix,
                            const std::wstring& separator) {
  const std::wstring suffix = L" Kb";
  if (line.size() < prefix.size() + suffix.size() || line.compare(0, prefix.size(), prefix) != 0 ||
      line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  const std::wstring number =
      line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
  std::vector<std::wstring> groups;
  for (std::size_t start = 0;;) {
    const std::size_t end = number.find(separator, start);
    groups.push_back(number.substr(start, end == std::wstring::npos ? end : end - start));
    if (end == std::wstring::npos) break;
    start = end + separator.size();
  }
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const std::size_t size = groups[i].size();
    if (size == 0 || size > 3 || (i > 0 && size != 3)) return false;
    for (const wchar_t c : groups[i]) {
      if (!std::iswdigit(c)) return false;
    }
  }
  return true;
}

// A click on a picture as its own window sees it: the button pressed and let
// go inside it, through the program's queue. Real input through SendInput
// sometimes goes missing under Wine when another program had just been
// clicked, so these tests do not depend on it.
void PostClick(const ProgramUnderTest& program, int id) {
  const HWND picture = program.Control(id);
  ASSERT_TRUE(PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)));
  ASSERT_TRUE(PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(4, 4)));
}

unsigned long long KilobytesOf(unsigned long long bytes) {
  return (bytes + 512) / 1024;
}

// A folder that the test puts on one of the fixture's other drives and takes
// away again, since only the pen drive is cleared between tests.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring folder) : folder_(std::move(folder)) {}
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    DeleteFileW((folder_ + L"\\Quorvel.exe").c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  const std::wstring& path() const { return folder_; }

 private:
  std::wstring folder_;
};

// Run under LC_ALL=en_US.UTF-8 and pt_PT.UTF-8 by their own ctest entries,
// which name the locale that Wine should have taken in QUORVEL_EXPECT_LOCALE.
TEST_F(DriveReportTest, PenDriveReportInTheUsersNumberFormat) {
  wchar_t user_locale[LOCALE_NAME_MAX_LENGTH] = {};
  ASSERT_GT(GetUserDefaultLocaleName(user_locale, LOCALE_NAME_MAX_LENGTH), 0);
  if (const std::wstring expected = Environment(L"QUORVEL_EXPECT_LOCALE"); !expected.empty()) {
    ASSERT_EQ(std::wstring(user_locale), expected);
  }
  // The two locales group alike but with different separators.
  ASSERT_EQ(LocaleText(L"en-US", LOCALE_STHOUSAND), L",");
  const std::wstring portuguese = LocaleText(L"pt-PT", LOCALE_STHOUSAND);
  ASSERT_TRUE(portuguese == L"." || portuguese == L" " || portuguese == L"\u00A0" ||
              portuguese == L"\u202F")
      << Utf8(portuguese);
  const std::wstring separator = LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND);
  ASSERT_EQ(LocaleText(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING), L"3;0");

  WriteFileBytes(L"E:\\Pen\\mensagem.txt", "Devolva-me, por favor.");
  ProgramUnderTest& program = Start(L"E:\\Pen");
  const std::wstring message = program.Text(kText1);
  ASSERT_EQ(message, L"Devolva-me, por favor.");

  PostClick(program, kImage3);
  ASSERT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() == 10; }));
  EXPECT_FALSE(program.IsVisible(kText1));
  // A second report replaces the first, and this line with it.
  const wchar_t marker[] = L"left from before";
  SendMessageW(program.Control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(marker));
  ASSERT_EQ(program.ListLines(kList1).size(), 11u);
  PostClick(program, kImage3);
  ASSERT_TRUE(WaitFor([&] {
    const auto now = program.ListLines(kList1);
    return now.size() == 10 && now.back() != marker;
  })) << program.ListLines(kList1).size()
      << " lines";

  wchar_t file_system[MAX_PATH + 1] = {};
  ASSERT_TRUE(GetVolumeInformationW(kPenRoot, nullptr, 0, nullptr, nullptr, nullptr, file_system,
                                    MAX_PATH + 1));
  ULARGE_INTEGER total = {};
  ASSERT_TRUE(GetDiskFreeSpaceExW(kPenRoot, nullptr, &total, nullptr));

  const std::vector<std::wstring> lines = program.ListLines(kList1);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], kHeading);
  EXPECT_EQ(lines[1], L"Nome do Volume: QUORVEL PEN");
  EXPECT_EQ(lines[2], L"Letra da Pen: E");
  EXPECT_EQ(lines[3], L"Tipo de Pen: Drive Removivel");
  EXPECT_EQ(lines[4], L"Sistema de ficheiros: " + std::wstring(file_system));
  EXPECT_NE(std::wstring(file_system), L"");
  EXPECT_TRUE(IsGroupedKilobytesLine(lines[5], kFreePrefix, separator)) << Utf8(lines[5]);
  EXPECT_EQ(lines[6],
            kTotalPrefix + GroupedInThrees(KilobytesOf(total.QuadPart), separator) + L" Kb");
  EXPECT_TRUE(IsGroupedKilobytesLine(lines[6], kTotalPrefix, separator)) << Utf8(lines[6]);
  EXPECT_EQ(lines[7], L"Pen esta pronta: True");
  EXPECT_EQ(lines[8], L"Destino da Pen: E:");
  EXPECT_EQ(lines[9], L"Serial number: -1951535091");  // 0x8BADF00D
  EXPECT_FALSE(program.IsVisible(kText1));

  PostClick(program, kImage2);
  ASSERT_TRUE(WaitFor([&] { return program.IsVisible(kText1); }));
  EXPECT_EQ(program.Text(kText1), message);
  EXPECT_EQ(program.ListLines(kList1).size(), 10u);  // still there, under the message
}

TEST_F(DriveReportTest, EachKindOfDriveIsNamed) {
  const struct {
    const wchar_t* folder;
    const wchar_t* letter;
    const wchar_t* type;
  } drives[] = {
      {L"F:\\QuorvelReport", L"F", L"Drive Fixa"},
      {L"G:\\QuorvelReport", L"G", L"Drive CD-ROM"},
      {L"H:\\QuorvelReport", L"H", L"Drive Remota"},
  };
  for (const auto& drive : drives) {
    const ScratchFolder folder(drive.folder);
    ProgramUnderTest program(folder.path());
    PostClick(program, kImage3);
    ASSERT_TRUE(WaitFor([&] { return program.ListLines(kList1).size() >= 10; }))
        << Utf8(drive.folder);
    const std::vector<std::wstring> lines = program.ListLines(kList1);
    ASSERT_EQ(lines.size(), 10u) << Utf8(drive.folder);
    EXPECT_EQ(lines[2], std::wstring(L"Letra da Pen: ") + drive.letter);
    EXPECT_EQ(lines[3], std::wstring(L"Tipo de Pen: ") + drive.type);
    EXPECT_EQ(lines[8], std::wstring(L"Destino da Pen: ") + drive.letter + L":");
  }
}

TEST_F(DriveReportTest, DriveThatHasGoneStillGivesTenLinesAndTheProgramGoesOn) {
  // The fixed drive F: is a folder on the Unix side. Moving it away while the
  // program runs from it leaves F: mapped to nothing, as if the drive had been
  // pulled out.
  const std::wstring drives = Environment(L"QUORVEL_DRIVES");
  ASSERT_FALSE(drives.empty());
  const std::wstring present = UnixFolder(drives + L"/fixed");
  const std::wstring gone = UnixFolder(drives + L"/fixed-gone");
  // A run that stopped half-way leaves the drive out; put it back first.
  if (GetFileAttributesW(present.c_str()) == INVALID_FILE_ATTRIBUTES) {
    MoveFileW(gone.c_str(), present.c_str());
  }

  const ScratchFolder folder(L"F:\\QuorvelGone");
  ProgramUnderTest program(folder.path());
  ASSERT_TRUE(MoveFileW(present.c_str(), gone.c_str())) << GetLastError();
  struct PutBack {
    const std::wstring& from;
    const std::wstring& to;
    ~PutBack() { MoveFileW(from.c_str(), to.c_str()); }
  } put_back{gone, present};

  PostClick(program, kImage3);
  ASSERT_TRUE(WaitFor([&] { return !program.IsVisible(kText1) || program.HasExited(); }));
  ASSERT_FALSE(program.HasExited());
  const std::vector<std::wstring> lines = program.ListLines(kList1);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], kHeading);
  EXPECT_EQ(lines[1], std::wstring(L"Nome do Volume: ") + kUnavailable);
  EXPECT_EQ(lines[2], L"Letra da Pen: F");
  EXPECT_EQ(lines[3], L"Tipo de Pen: N\u00E3o Existe");
  EXPECT_EQ(lines[4], std::wstring(L"Sistema de ficheiros: ") + kUnavailable);
  EXPECT_EQ(lines[5], kFreePrefix + std::wstring(kUnavailable));
  EXPECT_EQ(lines[6], kTotalPrefix + std::wstring(kUnavailable));
  EXPECT_EQ(lines[7], L"Pen esta pronta: False");
  EXPECT_EQ(lines[8], L"Destino da Pen: F:");
  EXPECT_EQ(lines[9], std::wstring(L"Serial number: ") + kUnavailable);

  // The drive comes back: the next report reads it afresh.
  ASSERT_TRUE(MoveFileW(gone.c_str(), present.c_str())) << GetLastError();
  PostClick(program, kImage3);
  ASSERT_TRUE(WaitFor([&] {
    const auto now = program.ListLines(kList1);
    return now.size() == 10 && now[7] == L"Pen esta pronta: True";
  }));
  EXPECT_EQ(program.ListLines(kList1)[3], L"Tipo de Pen: Drive Fixa");
  EXPECT_TRUE(IsWindowVisible(program.window()));
}

}  // namespace
}  // namespace quorvel::testing
