// QuorvelFault.exe: Quorvel as it ships, on platform services that raise a
// failure (inject_fault.cpp) when the drive report asks for the drive, inside
// the Image3 handler where a real failure would strike.
#include <windows.h>

#include "app/program.h"
#include "platform/win32/win32_services.h"

namespace quorvel {

void InjectFault();

namespace {

class FaultyServices final : public Win32Services {
 public:
  std::unique_ptr<DriveInfo> QueryDrive(const std::string& drive_name) const override {
    InjectFault();
    return Win32Services::QueryDrive(drive_name);
  }
};

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  quorvel::PrepareProcess();
  const quorvel::FaultyServices services;
  return quorvel::RunProgram(instance, show_command, services);
}
