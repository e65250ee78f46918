// The facts about one drive, as the platform delivers them. Each fact is read
// from the system when it is asked for, and any of them may fail to be read (a
// drive that is not ready, a medium pulled out, a share that has gone away):
// then the answer is empty. Only the drive type always answers, since the
// system can always say what kind of drive a name denotes (1: none at all).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// Drive type codes, in the numbering that GetDriveTypeW uses.
enum DriveTypeCode : int {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdRom = 5,
  kDriveRamDisk = 6,
};

class DriveInfo {
 public:
  virtual ~DriveInfo() = default;

  virtual std::optional<std::string> VolumeName() const = 0;   // UTF-8; "" when unlabelled
  virtual std::optional<std::string> DriveLetter() const = 0;  // "E"; "" for a share
  virtual int DriveType() const = 0;                           // a DriveTypeCode
  virtual std::optional<std::string> FileSystem() const = 0;   // "FAT32", "NTFS", ...
  virtual std::optional<std::uint64_t> FreeSpace() const = 0;  // bytes free on the volume
  virtual std::optional<std::uint64_t> TotalSize() const = 0;  // bytes on the volume
  virtual std::optional<bool> IsReady() const = 0;
  virtual std::optional<std::string> Path() const = 0;  // "E:" or "\\server\share"
  virtual std::optional<std::int32_t> SerialNumber() const = 0;
};

}  // namespace quorvel
