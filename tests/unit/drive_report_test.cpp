#include "drive/drive_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "drive/drive_name.h"
#include "drive/drive_type.h"
#include "fake/fake_services.h"

namespace quorvel {

TEST(DriveTypeName, OnlyTheExactTextOfACodeHasAName) {
  const char* kNames[] = {"Tipo Desconhecido", "Não Existe",   "Drive Removivel", "Drive Fixa",
                          "Drive Remota",      "Drive CD-ROM", "Drive RAM"};
  for (int code = 0; code < 7; ++code) EXPECT_EQ(DriveTypeName(std::to_string(code)), kNames[code]);
  for (const char* text : {"7", "-1", "02", "", " 2", "2 "})
    EXPECT_EQ(DriveTypeName(text), "Não Determinado!") << '"' << text << '"';
}

TEST(DriveReport, TenLinesEvenWhenFactsCannotBeRead) {
  using Lines = std::vector<std::string>;
  FakeDrive drive;  // 1024 * 1024 bytes free
  drive.volume_name = "";
  drive.total_size = std::uint64_t{3} << 40;
  drive.serial_number = static_cast<std::int32_t>(0x80000000u);
  EXPECT_EQ(BuildDriveReport(drive, {}, DriveTypeName),
            (Lines{"[Informação da Pen]", "Nome do Volume: ", "Letra da Pen: E",
                   "Tipo de Pen: Drive Removivel", "Sistema de ficheiros: FAT32",
                   "Espaço Livre: 1,024 Kb", "Tamanho Total: 3,221,225,472 Kb",
                   "Pen esta pronta: True", "Destino da Pen: E:", "Serial number: -2147483648"}));

  // Every fact from the volume name onwards fails.
  drive.volume_name = drive.drive_letter = drive.file_system = drive.path = std::nullopt;
  drive.free_space = drive.total_size = std::nullopt;
  drive.is_ready.reset();
  drive.serial_number.reset();
  drive.drive_type = kDriveNoRootDir;
  EXPECT_EQ(BuildDriveReport(drive, {}, DriveTypeName),
            (Lines{"[Informação da Pen]", "Nome do Volume: (indisponível)",
                   "Letra da Pen: (indisponível)", "Tipo de Pen: Não Existe",
                   "Sistema de ficheiros: (indisponível)", "Espaço Livre: (indisponível)",
                   "Tamanho Total: (indisponível)", "Pen esta pronta: False",
                   "Destino da Pen: (indisponível)", "Serial number: (indisponível)"}));
}

static std::string Format(std::int64_t value, std::string thousands, std::string grouping,
                          int negative_order = 1) {
  return FormatWholeNumber(value, {std::move(thousands), std::move(grouping), negative_order});
}

// Kilobytes rounded to the nearest, half up, exact for any size; grouped and
// signed as the locale says.
TEST(NumberFormatter, KilobytesRoundedThenGroupedAndSignedAsTheLocaleSays) {
  EXPECT_EQ(KilobytesRounded(1000), 1);
  EXPECT_EQ(KilobytesRounded(1536), 2);
  EXPECT_EQ(KilobytesRounded((std::uint64_t{1} << 60) + 511), std::int64_t{1} << 50);
  EXPECT_EQ(KilobytesRounded(std::numeric_limits<std::uint64_t>::max()), std::int64_t{1} << 54);
  EXPECT_EQ(Format(1024, ",", "3;0"), "1,024");  // en-US
  EXPECT_EQ(Format(1024, ",", "0"), "1024");
  EXPECT_EQ(Format(1234567, "\u00A0", "3;0"), "1\u00A0234\u00A0567");  // pt-PT
  EXPECT_EQ(Format(123456789, ",", "3;2;0"), "12,34,56,789");          // hi-IN
  EXPECT_EQ(Format(1234567, ",", "3"), "1234,567");
  // Junk from the system stops the grouping where it stands.
  EXPECT_EQ(Format(1234567, ",", "3;x;0"), "1234,567");
  const char* kNegative[] = {"(1.234)", "-1.234", "- 1.234", "1.234-", "1.234 -"};  // de-DE
  for (int order = 0; order < 5; ++order)
    EXPECT_EQ(Format(-1234, ".", "3;0", order), kNegative[order]);
  EXPECT_EQ(Format(-5, ",", "3;0", 9), "-5");
  EXPECT_EQ(Format(std::numeric_limits<std::int64_t>::min(), " ", "3;0", 3),
            "9 223 372 036 854 775 808-");
}

TEST(DriveNameOf, LettersSharesAndPathsWithoutADrive) {
  EXPECT_EQ(DriveNameOf("E:\\Pen"), "E:");
  EXPECT_EQ(DriveNameOf("E:"), "E:");
  EXPECT_EQ(DriveNameOf("e:/x"), "e:");
  EXPECT_EQ(DriveNameOf("\\\\?\\E:\\Pen"), "E:");
  EXPECT_EQ(DriveNameOf("//./E:/Pen"), "E:");  // a device path, with either slash
  EXPECT_EQ(DriveNameOf("\\\\server\\share\\folder\\x"), "\\\\server\\share");
  EXPECT_EQ(DriveNameOf("//server/share"), "\\\\server\\share");
  EXPECT_EQ(DriveNameOf("\\\\?\\UNC\\server\\share\\x"), "\\\\server\\share");
  for (const char* path : {"", "E", "1:\\x", "Pen\\x", "\\Pen", "\\\\server", "\\\\server\\",
                           "\\\\\\share", "\\\\?\\", "\\\\?\\UNC\\server", "\\\\?\\UNC\\?\\share"})
    EXPECT_EQ(DriveNameOf(path), "") << path;
}

}  // namespace quorvel
