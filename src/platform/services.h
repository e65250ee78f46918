// What the program needs from the operating system, the shell and the file
// system. Text crosses this interface as UTF-8; the Windows implementation
// speaks UTF-16 to the system and never passes a path through an 8-bit code
// page.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/drive_info.h"
#include "platform/number_format_settings.h"

namespace quorvel {

// The first bytes of a file, and whether the file went on past them.
struct FileBytes {
  std::string bytes;
  bool truncated = false;
};

class Services {
 public:
  virtual ~Services() = default;

  // The folder that holds the program's executable: no trailing separator,
  // except at a drive root ("E:\"). Nothing when it cannot be had.
  virtual std::optional<std::string> ProgramFolder() const = 0;

  // At most `max_bytes` from the start of the file at `path`; nothing when the
  // file cannot be opened or read (missing, locked, a directory, ...).
  virtual std::optional<FileBytes> ReadWholeFile(const std::string& path,
                                                 std::size_t max_bytes) const = 0;

  // Text in the system's ANSI code page, as UTF-8; where that code page is
  // UTF-8, in the one that LegacyTextCodePage picks. When `truncated`, a
  // character cut short at the end is dropped.
  virtual std::string DecodeAnsi(std::string_view bytes, bool truncated) const = 0;

  // The facts about the drive named `drive_name` ("E:" or "\\server\share").
  virtual std::unique_ptr<DriveInfo> QueryDrive(const std::string& drive_name) const = 0;

  // The user's regional settings for writing numbers.
  virtual NumberFormat UserNumberFormat() const = 0;

  // Asks the shell to open the folder at `path` as a folder, and nothing else:
  // no verb that the drive or its autorun.inf adds can run. The outcome is
  // not reported.
  virtual void OpenInShell(const std::string& path) const = 0;

  // Ends the program at once, without further events.
  [[noreturn]] virtual void EndProgram() const = 0;

  // Tells the user that the program failed and why, then ends it.
  [[noreturn]] virtual void ReportFatalError(const std::string& failure) const = 0;
};

}  // namespace quorvel
