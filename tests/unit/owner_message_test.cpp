// The owner's message: its encoding and text, the code page that reads ANSI
// text, the file beside the program, and which files are read at all.
#include "message/owner_message.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "fake/fake_services.h"
#include "platform/file_attributes.h"
#include "text/unicode.h"

namespace quorvel {

using namespace std::string_literals;

// The encoding: marks decide, then valid non-ASCII UTF-8, else ANSI; the text
// decoded to UTF-8 with CR LF whatever the encoding.
TEST(DecodeMessage, EncodingByMarkThenValidNonAsciiUtf8ElseAnsiDecodedToUtf8WithCrLf) {
  const std::tuple<std::string, bool, TextEncoding> kEncodings[] = {
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
  for (const auto& [bytes, cut, encoding] : kEncodings)
    EXPECT_EQ(DetectEncoding(bytes, cut), encoding) << bytes;
  const std::tuple<std::string, bool, std::string> kTexts[] = {
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
  for (const auto& [bytes, cut, text] : kTexts)
    EXPECT_EQ(DecodeMessage(bytes, cut, ansi), text) << bytes;
}

// "ANSI" text where Windows' ANSI code page is UTF-8 is in the code page that
// Windows names as the locale's legacy one, else the locale's own unless that
// is UTF-8 too, else Windows-1252; elsewhere the ANSI code page stands. Rows,
// two to a line: the legacy code page as Windows answers it (nothing: not
// known); columns: the locale's ANSI code page.
TEST(LegacyTextCodePage, TheLocalesFormerCodePageWhereTheAnsiOneIsUtf8) {
  const std::optional<unsigned> kLegacy[] = {std::nullopt, 0, 65001, 1250},
                                kLocale[] = {std::nullopt, 0, 65001, 1253};
  constexpr unsigned kReadIn[] = {1252, 1252, 1252, 1253, 1252, 1252, 1252, 1253,
                                  1252, 1252, 1252, 1253, 1250, 1250, 1250, 1250};
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(LegacyTextCodePage(65001, kLegacy[i / 4], kLocale[i % 4]), kReadIn[i]) << i;
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

// Whether the message file is read: its attributes and reparse tag as the
// open handle gives them.
TEST(IsPlainDiskFile, ReadsAFileWhoseBytesLieOnTheDiskUnlessItStandsForAnotherName) {
  using Facts = std::pair<std::uint32_t, std::uint32_t>;
  constexpr std::uint32_t kCloud = 0x9000001A;
  // Plain; read-only, hidden, system and archived; synced by OneDrive and on
  // the disk; compressed by compact /exe.
  for (const auto& [attributes, tag] :
       {Facts{0, 0}, {0x27, 0}, {0x420, kCloud}, {0x400, 0x80000017}})
    EXPECT_TRUE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  // A folder; a symbolic link; a junction or mount point, by its tag alone.
  for (const auto& [attributes, tag] : {Facts{0x10, 0}, {0x400, 0xA000000C}, {0x400, 0xA0000003}})
    EXPECT_FALSE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  // Offline; cloud placeholders to be fetched on opening or on reading.
  for (const auto& [attributes, tag] : {Facts{0x1000, 0}, {0x40400, kCloud}, {0x400420, kCloud}})
    EXPECT_FALSE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  EXPECT_FALSE(IsPlainDiskFile(0, 0, false)) << "a device or a pipe";
}

}  // namespace quorvel
