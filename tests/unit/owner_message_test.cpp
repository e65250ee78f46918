#include "message/owner_message.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_services.h"

namespace quorvel {
namespace {

std::string Decode(std::string_view bytes, bool truncated = false) {
  FakeServices services;
  return DecodeMessage(bytes, truncated,
                       [&](std::string_view b, bool t) { return services.DecodeAnsi(b, t); });
}

TEST(MessagePath, JoinsWithExactlyOneSeparator) {
  EXPECT_EQ(MessagePath("E:\\"), "E:\\mensagem.txt");
  EXPECT_EQ(MessagePath("E:\\Pen"), "E:\\Pen\\mensagem.txt");
  EXPECT_EQ(MessagePath("\\\\server\\share\\Pen"), "\\\\server\\share\\Pen\\mensagem.txt");
  EXPECT_EQ(MessagePath("\\\\server\\share\\"), "\\\\server\\share\\mensagem.txt");
}

TEST(DetectEncoding, MarksDecideBeforeContent) {
  EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF", false), TextEncoding::kUtf8WithMark);
  EXPECT_EQ(DetectEncoding("\xFF\xFEh\0", false), TextEncoding::kUtf16Le);
  EXPECT_EQ(DetectEncoding("\xFE\xFF\0h", false), TextEncoding::kUtf16Be);
  // A UTF-8 mark followed by bytes that are not UTF-8 is still UTF-8.
  EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF\xE7", false), TextEncoding::kUtf8WithMark);
}

TEST(DetectEncoding, UnmarkedTextIsUtf8OnlyWhenValidAndNonAscii) {
  EXPECT_EQ(DetectEncoding("plain ascii", false), TextEncoding::kAnsi);
  EXPECT_EQ(DetectEncoding("", false), TextEncoding::kAnsi);
  EXPECT_EQ(DetectEncoding("ol\xC3\xA1", false), TextEncoding::kUtf8);
  EXPECT_EQ(DetectEncoding("\xE7\xE3o", false), TextEncoding::kAnsi);     // Windows-1252 "ção"
  EXPECT_EQ(DetectEncoding("\xC0\xAF", false), TextEncoding::kAnsi);      // overlong "/"
  EXPECT_EQ(DetectEncoding("\xED\xA0\x80", false), TextEncoding::kAnsi);  // a surrogate
  EXPECT_EQ(DetectEncoding("\xF4\x90\x80\x80", false), TextEncoding::kAnsi);  // past U+10FFFF
}

TEST(DetectEncoding, CharacterCutByTheReadLimitIsNotHeldAgainstUtf8) {
  EXPECT_EQ(DetectEncoding("ol\xC3\xA1 \xE2\x82", true), TextEncoding::kUtf8);
  EXPECT_EQ(DetectEncoding("ol\xC3\xA1 \xE2\x82", false), TextEncoding::kAnsi);
  // A cut tail that is already wrong in its second byte still counts.
  EXPECT_EQ(DetectEncoding("ol\xC3\xA1 \xE0\x80", true), TextEncoding::kAnsi);
}

TEST(DecodeMessage, AnsiTextUsesTheCodePage) {
  EXPECT_EQ(Decode("Ol\xE1, a\xE7\xE3o \x80"), "Ol\xC3\xA1, a\xC3\xA7\xC3\xA3o \xE2\x82\xAC");
}

TEST(DecodeMessage, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(Decode("a\r\nb"), "a\r\nb");
  EXPECT_EQ(Decode("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(Decode("a\rb\r"), "a\r\nb\r\n");
  EXPECT_EQ(Decode("a\n\r\nb\r\rc"), "a\r\n\r\nb\r\n\r\nc");
}

TEST(DecodeMessage, NulBytesAreDroppedNotTheRestOfTheText) {
  EXPECT_EQ(Decode(std::string_view("ab\0cd\r\0\nx", 9)), "abcd\r\nx");
  // UTF-16 NULs are dropped too.
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE"
                                    "a\0\0\0b\0",
                                    8)),
            "ab");
}

TEST(DecodeMessage, Utf8WithAndWithoutMark) {
  EXPECT_EQ(Decode("\xEF\xBB\xBFol\xC3\xA1"), "ol\xC3\xA1");
  EXPECT_EQ(Decode("ol\xC3\xA1\n\xF0\x9F\x98\x80"), "ol\xC3\xA1\r\n\xF0\x9F\x98\x80");
  // Marked text keeps its good characters around a bad byte.
  EXPECT_EQ(Decode("\xEF\xBB\xBF"
                   "a\xFF"
                   "b"),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(DecodeMessage, Utf16BothByteOrders) {
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE\xE7\x00\n\x00\x3D\xD8\x00\xDE", 10)),
            "\xC3\xA7\r\n\xF0\x9F\x98\x80");
  EXPECT_EQ(Decode(std::string_view("\xFE\xFF\x00\xE7\x00\r", 6)), "\xC3\xA7\r\n");
}

TEST(DecodeMessage, BrokenUtf16IsShownNotLost) {
  // An odd last byte is dropped; a lone surrogate shows as U+FFFD.
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE"
                                    "a\0b",
                                    5)),
            "a");
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE\x00\xDC"
                                    "a\0",
                                    6)),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE"
                                    "a\0\x3D\xD8",
                                    6)),
            "a\xEF\xBF\xBD");
  EXPECT_EQ(Decode(std::string_view("\xFF\xFE"
                                    "a\0\x3D\xD8",
                                    6),
                   true),
            "a");
}

TEST(DecodeMessage, CharacterCutByTheReadLimitIsDropped) {
  EXPECT_EQ(Decode("ol\xC3\xA1\xE2\x82", true), "ol\xC3\xA1");
  EXPECT_EQ(Decode("\xEF\xBB\xBF"
                   "a\xC3",
                   true),
            "a");
  EXPECT_EQ(Decode("\xEF\xBB\xBF"
                   "a\xC3",
                   false),
            "a\xEF\xBF\xBD");
}

TEST(LoadOwnerMessage, ReadsTheFileBesideTheProgram) {
  FakeServices services;
  services.program_folder = "E:\\Pen";
  services.files["E:\\Pen\\mensagem.txt"] = "Devolva, por favor.\r\nObrigado";
  EXPECT_EQ(LoadOwnerMessage(services), "Devolva, por favor.\r\nObrigado");

  services.program_folder = "E:\\";
  EXPECT_EQ(LoadOwnerMessage(services), "");
}

TEST(LoadOwnerMessage, ReadsNoMoreThanTheLimit) {
  FakeServices services;
  services.files["E:\\mensagem.txt"] = std::string(kMessageReadLimit, 'a') + "tail";
  const std::string text = LoadOwnerMessage(services);
  EXPECT_EQ(text.size(), kMessageReadLimit);
  EXPECT_EQ(text.find('t'), std::string::npos);
}

}  // namespace
}  // namespace quorvel
