// A stand-in for the platform in tests: a program folder, a few files, a
// drive whose facts can each be made to fail, and Latin-1 as the ANSI code
// page (the real code pages are the system's, seen in the Windows tests).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/services.h"
#include "text/unicode.h"

namespace quorvel {

struct FakeDrive final : DriveInfo {
  std::optional<std::string> volume_name = std::string("PENDRIVE");
  std::optional<std::string> drive_letter = std::string("E");
  int drive_type = kDriveRemovable;
  std::optional<std::string> file_system = std::string("FAT32");
  std::optional<std::uint64_t> free_space = 1024u * 1024u;
  std::optional<std::uint64_t> total_size = 4u * 1024u * 1024u;
  std::optional<bool> is_ready = true;
  std::optional<std::string> path = std::string("E:");
  std::optional<std::int32_t> serial_number = 1234;

  std::optional<std::string> VolumeName() const override { return volume_name; }
  std::optional<std::string> DriveLetter() const override { return drive_letter; }
  int DriveType() const override { return drive_type; }
  std::optional<std::string> FileSystem() const override { return file_system; }
  std::optional<std::uint64_t> FreeSpace() const override { return free_space; }
  std::optional<std::uint64_t> TotalSize() const override { return total_size; }
  std::optional<bool> IsReady() const override { return is_ready; }
  std::optional<std::string> Path() const override { return path; }
  std::optional<std::int32_t> SerialNumber() const override { return serial_number; }
};

// Thrown by the fake's EndProgram and ReportFatalError, which must not return.
struct FakeProgramEnded : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FakeServices final : public Services {
 public:
  std::optional<std::string> program_folder = "E:\\";
  std::map<std::string, std::string> files;  // path -> contents
  // What the program asked of the system.
  mutable std::vector<std::string> drives_queried;
  mutable std::vector<std::string> opened_in_shell;

  std::optional<std::string> ProgramFolder() const override { return program_folder; }
  std::optional<FileBytes> ReadWholeFile(const std::string& path,
                                         std::size_t max_bytes) const override {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return FileBytes{found->second.substr(0, max_bytes), found->second.size() > max_bytes};
  }
  std::string DecodeAnsi(std::string_view bytes, bool /*truncated*/) const override {
    std::string text;
    for (const unsigned char byte : bytes) AppendUtf8(text, byte);
    return text;
  }
  std::unique_ptr<DriveInfo> QueryDrive(const std::string& drive_name) const override {
    drives_queried.push_back(drive_name);
    return std::make_unique<FakeDrive>();
  }
  NumberFormat UserNumberFormat() const override { return {}; }
  void OpenInShell(const std::string& path) const override { opened_in_shell.push_back(path); }
  [[noreturn]] void EndProgram() const override { throw FakeProgramEnded("EndProgram"); }
  [[noreturn]] void ReportFatalError(const std::string& failure) const override {
    throw FakeProgramEnded("ReportFatalError: " + failure);
  }
};

}  // namespace quorvel
