// Running a copy of Quorvel (or its fault build) with a chosen environment and
// its standard error caught in a file, and the few Linux-side steps that the
// safety tests need: Wine runs Unix programs named by their Z: path.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace quorvel::testing {

// Runs `command` with /bin/sh on the Linux side and returns its exit status.
int RunShell(const std::string& command);
// Starts it and returns at once; the caller closes the process handle.
HANDLE StartShell(const std::string& command);

// The value of an environment variable of this process ("" when unset).
std::string Environment(const char* name);

// A Unix path as Wine shows it on drive Z:.
std::wstring UnixToWindows(const std::string& unix_path);

// The folder that holds the built Quorvel.exe, with a trailing separator.
std::wstring BuildFolder();

// Whole file as bytes; "" when it cannot be read.
std::string ReadWholeFileBytes(const std::wstring& path);

struct LaunchOptions {
  std::wstring program;                              // the executable, already in place
  std::wstring arguments;                            // after the program's name on the command line
  std::map<std::wstring, std::wstring> environment;  // added to this process's
  // When not empty, a Unix path: the program is started by the wine command
  // from a shell, with its standard error (and so Wine's debug trace) in this
  // file. Wine gives a windowed program started by CreateProcessW the Unix
  // standard error of its parent, whatever its STARTUPINFO says.
  std::string error_file;
};

class LaunchedProgram {
 public:
  explicit LaunchedProgram(const LaunchOptions& options);
  LaunchedProgram(const LaunchedProgram&) = delete;
  LaunchedProgram& operator=(const LaunchedProgram&) = delete;
  ~LaunchedProgram();

  HWND window() const { return window_; }
  HWND Control(int id) const;
  std::vector<std::wstring> ListLines() const;
  std::wstring Text1() const;
  bool Text1Visible() const;

  // A click as the picture button reports it to the window, handled before the
  // call returns; false when the program did not answer (it has ended).
  bool SendClick(int id) const;
  // A click as the mouse makes it: button down and up posted to the picture,
  // which then runs the handler from the program's own message loop.
  void PostMouseClick(int id) const;

  // The visible top-level windows of the program other than its main window.
  std::vector<HWND> OtherWindows() const;

  bool WaitForExit() const;
  bool HasExited() const;
  DWORD ExitCode() const;
  DWORD process_id() const { return process_id_; }

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  HWND window_ = nullptr;
};

// The Unix pid of the Wine process whose command line names `program` (a
// Windows path), or 0.
int UnixPidOf(const std::wstring& program);
// Resident memory of a Unix process, in KiB, from /proc; -1 when unknown.
long ResidentKib(int unix_pid);

}  // namespace quorvel::testing
