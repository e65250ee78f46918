// The drive report: a heading and nine facts about one drive, as the lines that
// the list box shows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "drive/number_formatter.h"
#include "platform/drive_info.h"

namespace quorvel {

// Gives the name of a drive type from its code written in decimal.
using DriveTypeNamer = std::function<std::string(const std::string& code_text)>;

// A drive that is not there: no root directory, not ready, and no fact to
// give. It stands for the drive of a folder that names none.
class NoDrive final : public DriveInfo {
 public:
  std::optional<std::string> VolumeName() const override { return std::nullopt; }
  std::optional<std::string> DriveLetter() const override { return std::nullopt; }
  int DriveType() const override { return kDriveNoRootDir; }
  std::optional<std::string> FileSystem() const override { return std::nullopt; }
  std::optional<std::uint64_t> FreeSpace() const override { return std::nullopt; }
  std::optional<std::uint64_t> TotalSize() const override { return std::nullopt; }
  std::optional<bool> IsReady() const override { return false; }
  std::optional<std::string> Path() const override { return std::nullopt; }
  std::optional<std::int32_t> SerialNumber() const override { return std::nullopt; }
};

// The ten report lines for `drive`, reading each fact as its line is built. A
// fact that cannot be read shows as "(indisponível)" after its literal.
std::vector<std::string> BuildDriveReport(const DriveInfo& drive, const NumberFormat& format,
                                          const DriveTypeNamer& name_type);

}  // namespace quorvel
