// The owner's message as the user sees it at start.
#include <gtest/gtest.h>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

using MessageTest = PenDriveTest;

// Windows-1252, CR LF: "Olá! Esta pen pertence à Maria." / "Ligue 912 345 678, ação!"
constexpr char kAnsiMessage[] =
    "Ol\xE1! Esta pen pertence \xE0 Maria.\r\nLigue 912 345 678, a\xE7\xE3o!";
constexpr wchar_t kShownMessage[] =
    L"Ol\u00E1! Esta pen pertence \u00E0 Maria.\r\nLigue 912 345 678, a\u00E7\u00E3o!";

TEST_F(MessageTest, AnsiMessageAtTheDriveRootShowsExactly) {
  WriteFileBytes(L"E:\\mensagem.txt", kAnsiMessage);
  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), kShownMessage);
  EXPECT_TRUE(program.IsVisible(kText1));
  EXPECT_EQ(program.ListLines(kList1).size(), 0u);
}

TEST_F(MessageTest, MessageInASubfolderBesideTheProgramShows) {
  WriteFileBytes(L"E:\\Pen\\mensagem.txt", kAnsiMessage);
  WriteFileBytes(L"E:\\Penmensagem.txt", "the wrong file");
  ProgramUnderTest& program = Start(L"E:\\Pen");
  EXPECT_EQ(program.Text(kText1), kShownMessage);
}

TEST_F(MessageTest, UnicodeEncodingsShowTheSameText) {
  const std::string utf8 = "Ol\xC3\xA1, a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\r\nfim";
  const std::wstring shown = L"Ol\u00E1, a\u00E7\u00E3o \u20AC\r\nfim";
  std::string utf16le = "\xFF\xFE";
  for (const wchar_t c : shown) utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  std::string utf16be = "\xFE\xFF";
  for (const wchar_t c : shown) utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};

  for (const std::string& bytes : {"\xEF\xBB\xBF" + utf8, utf8, utf16le, utf16be}) {
    ClearDrive(kPenRoot);
    WriteFileBytes(L"E:\\mensagem.txt", bytes);
    ProgramUnderTest program(kPenRoot);
    EXPECT_EQ(program.Text(kText1), shown) << "file of " << bytes.size() << " bytes";
  }
}

TEST_F(MessageTest, LoneLineFeedsAndCarriageReturnsBreakLines) {
  WriteFileBytes(L"E:\\mensagem.txt", "um\ndois\rtr\xEAs\n");
  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), L"um\r\ndois\r\ntr\u00EAs\r\n");
}

TEST_F(MessageTest, NoMessageLeavesTheBoxEmptyAndTheWindowUp) {
  ProgramUnderTest& program = Start();
  EXPECT_EQ(program.Text(kText1), L"");
  Sleep(300);
  EXPECT_FALSE(program.HasExited());
  EXPECT_TRUE(IsWindowVisible(program.window()));
}

TEST_F(MessageTest, ClosingTheWindowEndsTheProgram) {
  WriteFileBytes(L"E:\\mensagem.txt", kAnsiMessage);
  ProgramUnderTest& program = Start();
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
}  // namespace quorvel::testing
