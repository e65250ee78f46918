// The platform on Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/services.h"

namespace quorvel {

class Win32Services final : public Services {
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

// Fills a buffer through `read`, which behaves like GetModuleFileNameW (it
// returns the characters written, and the buffer size when the text did not
// fit), doubling the buffer until the whole text fits. Nothing when `read`
// fails or the text outgrows any path.
std::optional<std::wstring> ReadGrowingText(
    const std::function<DWORD(wchar_t* buffer, DWORD size)>& read);

// The folder part of a module's full path: no trailing separator, except at a
// drive root ("E:\").
std::wstring FolderOfPath(const std::wstring& path);

// A path that Windows accepts at any length: absolute paths too long for the
// plain form get the "\\?\" prefix.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace quorvel
