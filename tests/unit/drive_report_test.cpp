#include "drive/drive_report.h"

#include <gtest/gtest.h>

#include "drive/drive_type.h"
#include "platform/fake/fake_services.h"

namespace quorvel {
namespace {

TEST(DriveReport, TenLinesFromTheDrive) {
  FakeDrive drive;
  drive.volume_name = "";
  drive.total_size = std::uint64_t{3} << 40;
  drive.serial_number = static_cast<std::int32_t>(0x80000000u);
  const std::vector<std::string> expected = {"[Informação da Pen]",
                                             "Nome do Volume: ",
                                             "Letra da Pen: E",
                                             "Tipo de Pen: Drive Removivel",
                                             "Sistema de ficheiros: FAT32",
                                             "Espaço Livre: 1,024 Kb",
                                             "Tamanho Total: 3,221,225,472 Kb",
                                             "Pen esta pronta: True",
                                             "Destino da Pen: E:",
                                             "Serial number: -2147483648"};
  EXPECT_EQ(BuildDriveReport(drive, {}, DriveTypeName), expected);

  // The type code goes to the namer as plain decimal text.
  drive.drive_type = -3;
  std::string code;
  BuildDriveReport(drive, {}, [&](const std::string& text) { return code = text; });
  EXPECT_EQ(code, "-3");
}

TEST(DriveReport, FactsThatCannotBeReadDoNotEndTheReport) {
  FakeDrive drive;
  drive.volume_name.reset();
  drive.drive_letter.reset();
  drive.drive_type = kDriveNoRootDir;
  drive.file_system.reset();
  drive.free_space.reset();
  drive.total_size.reset();
  drive.is_ready.reset();
  drive.path.reset();
  drive.serial_number.reset();
  const std::vector<std::string> expected = {"[Informação da Pen]",
                                             "Nome do Volume: (indisponível)",
                                             "Letra da Pen: (indisponível)",
                                             "Tipo de Pen: Não Existe",
                                             "Sistema de ficheiros: (indisponível)",
                                             "Espaço Livre: (indisponível)",
                                             "Tamanho Total: (indisponível)",
                                             "Pen esta pronta: False",
                                             "Destino da Pen: (indisponível)",
                                             "Serial number: (indisponível)"};
  EXPECT_EQ(BuildDriveReport(drive, {}, DriveTypeName), expected);
}

}  // namespace
}  // namespace quorvel
