// The owner's message as the user sees it at start, and the window's close.
#include <gtest/gtest.h>

#include "ui/control_table.h"
#include "win/pen_drive_test.h"

namespace quorvel::testing {
namespace {

struct MessageCase {
  const char* name;
  const wchar_t* folder;  // the program's, holding mensagem.txt
  std::string bytes;
  std::wstring shown;
  bool written = true;
};

class MessageTest : public PenDriveTest, public ::testing::WithParamInterface<MessageCase> {};

// Windows-1252, CR LF: "Olá! Esta pen pertence à Maria." / "Ligue 912 345 678, ação!"
const std::string kAnsi = "Ol\xE1! Esta pen pertence \xE0 Maria.\r\nLigue 912 345 678, a\xE7\xE3o!";
const std::wstring kAnsiShown =
    L"Ol\u00E1! Esta pen pertence \u00E0 Maria.\r\nLigue 912 345 678, a\u00E7\u00E3o!";
const std::string kUtf8 = "Ol\xC3\xA1, a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\r\nfim";
const std::wstring kUnicode = L"Ol\u00E1, a\u00E7\u00E3o \u20AC\r\nfim";

// With its byte order mark; wchar_t is UTF-16 LE here.
std::string Utf16Bytes(bool big_endian) {
  const std::wstring text = L"\uFEFF" + kUnicode;
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  for (std::size_t i = 0; big_endian && i < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

TEST_P(MessageTest, ShowsTheMessageAndEndsWhenClosed) {
  const MessageCase& c = GetParam();
  WriteFileBytes(L"E:\\Penmensagem.txt", "the wrong file");  // beside E:\Pen, not in it
  if (c.written) WriteFileBytes(c.folder + std::wstring(L"mensagem.txt"), c.bytes);
  ProgramUnderTest& program = Start(c.folder);
  EXPECT_EQ(program.Text(kText1), c.shown);
  Sleep(300);
  EXPECT_FALSE(program.HasExited());
  EXPECT_TRUE(IsWindowVisible(program.window()));

  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MessageTest,
    ::testing::Values(MessageCase{"AnsiAtTheRoot", kPenRoot, kAnsi, kAnsiShown},
                      MessageCase{"InASubfolder", L"E:\\Pen\\", kAnsi, kAnsiShown},
                      MessageCase{"Utf8WithMark", kPenRoot, "\xEF\xBB\xBF" + kUtf8, kUnicode},
                      MessageCase{"Utf8", kPenRoot, kUtf8, kUnicode},
                      MessageCase{"Utf16LE", kPenRoot, Utf16Bytes(false), kUnicode},
                      MessageCase{"Utf16BE", kPenRoot, Utf16Bytes(true), kUnicode},
                      MessageCase{"LoneLineFeedsAndReturns", kPenRoot, "um\ndois\rtr\xEAs\n",
                                  L"um\r\ndois\r\ntr\u00EAs\r\n"},
                      MessageCase{"NoFile", L"E:\\Pen\\", "", L"", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::testing
