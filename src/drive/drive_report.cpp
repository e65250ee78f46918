#include "drive/drive_report.h"

#include <optional>

#include "drive/drive_type.h"

namespace quorvel {

namespace {

// Shown after a literal when the platform cannot give the fact: the rest of the
// report is still worth having.
constexpr char kUnavailable[] = "(indisponível)";

std::string TextLine(const char* literal, const std::optional<std::string>& value) {
  return std::string(literal) + (value ? *value : kUnavailable);
}

std::string KilobytesLine(const char* literal, const std::optional<std::uint64_t>& bytes,
                          const NumberFormat& format) {
  if (!bytes) return std::string(literal) + kUnavailable;
  return std::string(literal) + FormatWholeNumber(KilobytesRounded(*bytes), format) + " Kb";
}

}  // namespace

std::vector<std::string> BuildDriveReport(const DriveInfo& drive, const NumberFormat& format,
                                          const DriveTypeNamer& name_type) {
  // Each fact is read from the drive only as its own line is built, in the
  // order of the lines.
  std::vector<std::string> lines;
  lines.reserve(10);
  lines.push_back("[Informação da Pen]");
  lines.push_back(TextLine("Nome do Volume: ", drive.VolumeName()));
  lines.push_back(TextLine("Letra da Pen: ", drive.DriveLetter()));

  const std::string type_code = std::to_string(drive.DriveType());
  lines.push_back("Tipo de Pen: " + (name_type ? name_type(type_code) : DriveTypeName(type_code)));

  lines.push_back(TextLine("Sistema de ficheiros: ", drive.FileSystem()));
  lines.push_back(KilobytesLine("Espaço Livre: ", drive.FreeSpace(), format));
  lines.push_back(KilobytesLine("Tamanho Total: ", drive.TotalSize(), format));
  lines.push_back(std::string("Pen esta pronta: ") +
                  (drive.IsReady().value_or(false) ? "True" : "False"));
  lines.push_back(TextLine("Destino da Pen: ", drive.Path()));

  const std::optional<std::int32_t> serial = drive.SerialNumber();
  lines.push_back("Serial number: " +
                  (serial ? std::to_string(*serial) : std::string(kUnavailable)));
  return lines;
}

}  // namespace quorvel
