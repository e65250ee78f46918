// QuorvelFault.exe: Quorvel as it ships, on platform services that raise a
// failure (inject_fault.cpp) when the drive report asks for the drive, inside
// the Image3 handler where a real failure would strike.
#include <windows.h>

#include "app/program.h"
#include "platform/win32/win32_services.h"

namespace quorvel {

void InjectFault();

namespace {

class FaultyServices final : public Services {
 public:
  std::optional<std::string> ProgramFolder() const override { return real_.ProgramFolder(); }
  std::optional<FileBytes> ReadWholeFile(const std::string& path,
                                         std::size_t max_bytes) const override {
    return real_.ReadWholeFile(path, max_bytes);
  }
  std::string DecodeAnsi(std::string_view bytes, bool truncated) const override {
    return real_.DecodeAnsi(bytes, truncated);
  }
  std::unique_ptr<DriveInfo> QueryDrive(const std::string& drive_name) const override {
    InjectFault();
    return real_.QueryDrive(drive_name);
  }
  NumberFormat UserNumberFormat() const override { return real_.UserNumberFormat(); }
  void OpenInShell(const std::string& path) const override { real_.OpenInShell(path); }
  [[noreturn]] void EndProgram() const override { real_.EndProgram(); }
  [[noreturn]] void ReportFatalError(const std::string& failure) const override {
    real_.ReportFatalError(failure);
  }

 private:
  Win32Services real_;
};

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  quorvel::PrepareProcess();
  const quorvel::FaultyServices services;
  return quorvel::RunProgram(instance, show_command, services);
}
