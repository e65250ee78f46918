// The platform on Windows.
#pragma once

#include <string>

#include "platform/services.h"

namespace quorvel {

class Win32Services : public Services {
 public:
  std::optional<std::string> ProgramFolder() const override;
  std::optional<FileBytes> ReadWholeFile(const std::string& path,
                                         std::size_t max_bytes) const override;
  std::string DecodeAnsi(std::string_view bytes, bool truncated) const override;
  std::unique_ptr<DriveInfo> QueryDrive(const std::string& drive_name) const override;
  NumberFormat UserNumberFormat() const override;
  void OpenInShell(const std::string& path) const override;
  [[noreturn]] void EndProgram() const override;
  [[noreturn]] void ReportFatalError(const std::string& failure) const override;
};

}  // namespace quorvel
