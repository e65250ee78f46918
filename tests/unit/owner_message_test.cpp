#include "message/owner_message.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fake/fake_services.h"
#include "text/unicode.h"

namespace quorvel {
namespace {

using namespace std::string_literals;

TEST(DetectEncoding, MarksDecideThenValidNonAsciiUtf8ElseAnsi) {
  const std::tuple<std::string, bool, TextEncoding> kCases[] = {
      {"\xEF\xBB\xBF\xE7", false, TextEncoding::kUtf8WithMark},  // marked, then not UTF-8
      {"\xFF\xFEh\0"s, false, TextEncoding::kUtf16Le},
      {"\xFE\xFF\0h"s, false, TextEncoding::kUtf16Be},
      {"plain", false, TextEncoding::kAnsi},
      {"", false, TextEncoding::kAnsi},
      {"ol\xC3\xA1", false, TextEncoding::kUtf8},
      {"\xE7\xE3o", false, TextEncoding::kAnsi},          // Windows-1252
      {"\xC0\xAF", false, TextEncoding::kAnsi},           // overlong
      {"\xED\xA0\x80", false, TextEncoding::kAnsi},       // surrogate
      {"\xF4\x90\x80\x80", false, TextEncoding::kAnsi},   // past U+10FFFF
      {"\xC3\xA1 \xE2\x82", true, TextEncoding::kUtf8},   // cut by the read limit
      {"\xC3\xA1 \xE2\x82", false, TextEncoding::kAnsi},  // not cut: invalid
      {"\xC3\xA1 \xE0\x80", true, TextEncoding::kAnsi},   // cut, but already wrong
  };
  for (const auto& [bytes, cut, encoding] : kCases)
    EXPECT_EQ(DetectEncoding(bytes, cut), encoding) << bytes;
}

TEST(DecodeMessage, GivesUtf8WithCrLfWhateverTheEncoding) {
  const std::tuple<std::string, bool, std::string> kCases[] = {
      {"Ol\xE1, a\xE7\xE3o", false, "Ol\xC3\xA1, a\xC3\xA7\xC3\xA3o"},  // ANSI
      {"a\r\nb\nc\rd\n\r\ne\r\r", false, "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n"},
      {"ab\0cd\r\0\nx"s, false, "abcd\r\nx"},
      {"\xFF\xFE\x61\0\0\0b\0"s, false, "ab"},
      {"\xEF\xBB\xBFol\xC3\xA1", false, "ol\xC3\xA1"},
      {"ol\xC3\xA1\n\xF0\x9F\x98\x80", false, "ol\xC3\xA1\r\n\xF0\x9F\x98\x80"},
      {"\xEF\xBB\xBF\x61\xFF\x62", false, "a\xEF\xBF\xBD\x62"},
      {"\xFF\xFE\xE7\0\n\0\x3D\xD8\0\xDE"s, false, "\xC3\xA7\r\n\xF0\x9F\x98\x80"},
      {"\xFE\xFF\0\xE7\0\r"s, false, "\xC3\xA7\r\n"},
      {"\xFF\xFE\x61\0b"s, false, "a"},                      // odd last byte
      {"\xFF\xFE\0\xDC\x61\0"s, false, "\xEF\xBF\xBD\x61"},  // lone low surrogate
      {"\xFF\xFE\x61\0\x3D\xD8"s, false, "a\xEF\xBF\xBD"},   // lone high surrogate
      {"\xFF\xFE\x61\0\x3D\xD8"s, true, "a"},                // ... cut by the limit
      {"ol\xC3\xA1\xE2\x82", true, "ol\xC3\xA1"},
      {"\xEF\xBB\xBF\x61\xC3", true, "a"},
      {"\xEF\xBB\xBF\x61\xC3", false, "a\xEF\xBF\xBD"},
  };
  FakeServices services;
  const auto ansi = [&](std::string_view b, bool t) { return services.DecodeAnsi(b, t); };
  for (const auto& [bytes, cut, text] : kCases)
    EXPECT_EQ(DecodeMessage(bytes, cut, ansi), text) << bytes;
}

// "ANSI" text where Windows' ANSI code page is UTF-8 is in the code page that
// Windows names as the locale's legacy one, else the locale's own unless that
// is UTF-8 too, else Windows-1252; elsewhere the ANSI code page stands. Rows:
// the legacy code page as Windows answers it (nothing: not known); columns:
// the locale's ANSI code page.
TEST(LegacyTextCodePage, TheLocalesFormerCodePageWhereTheAnsiOneIsUtf8) {
  const std::optional<unsigned> kLegacy[] = {std::nullopt, 0, 65001, 1250},
                                kLocale[] = {std::nullopt, 0, 65001, 1253};
  constexpr unsigned kReadIn[4][4] = {{1252, 1252, 1252, 1253},
                                      {1252, 1252, 1252, 1253},
                                      {1252, 1252, 1252, 1253},
                                      {1250, 1250, 1250, 1250}};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_EQ(LegacyTextCodePage(65001, kLegacy[row], kLocale[column]), kReadIn[row][column])
          << row << column;
  EXPECT_EQ(LegacyTextCodePage(932, 1250, 1253), 932u);
}

// The file's path joins the folder with exactly one separator.
TEST(LoadOwnerMessage, ReadsTheFileBesideTheProgramUpToTheLimit) {
  FakeServices services;
  services.program_folder = "E:\\Pen";
  services.files["E:\\Pen\\mensagem.txt"] = "Devolva.\r\nObrigado";
  services.files["E:\\mensagem.txt"] = std::string(kMessageReadLimit, 'a') + "tail";
  EXPECT_EQ(LoadOwnerMessage(services), "Devolva.\r\nObrigado");
  services.program_folder = "E:\\";
  EXPECT_EQ(LoadOwnerMessage(services), std::string(kMessageReadLimit, 'a'));
  services.program_folder = "F:\\";
  EXPECT_EQ(LoadOwnerMessage(services), "");
  services.program_folder = std::nullopt;  // the program's own path cannot be had
  EXPECT_EQ(LoadOwnerMessage(services), "");
}

}  // namespace
}  // namespace quorvel
