// QuorvelFault.exe: Quorvel as it ships, on platform services that fail when
// the drive report asks for the drive, inside the Image3 handler where a real
// failure would strike. The command line chooses the failure; each is one that
// the program's code cannot answer and the runtime or the system catches.
#include <windows.h>

#include <cwchar>
#include <vector>

#include "app/program.h"
#include "platform/win32/win32_services.h"

namespace quorvel {
namespace {

// A container asked for more than it can ever hold.
void AskTooMuch() {
  std::vector<int> numbers;
  numbers.resize(numbers.max_size() + 1);
}

LRESULT CALLBACK FailOnPaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) AskTooMuch();
  return DefWindowProcW(window, message, wparam, lparam);
}

class FaultyServices final : public Win32Services {
 public:
  std::unique_ptr<DriveInfo> QueryDrive(const std::string&) const override {
    const wchar_t* const command_line = GetCommandLineW();
    if (std::wcsstr(command_line, L"--access-violation") != nullptr) {
      // A null-pointer write, all volatile so that the compiler keeps it.
      volatile int* volatile nowhere = nullptr;
      *nowhere = 1;
    }
    if (std::wcsstr(command_line, L"--out-of-memory") != nullptr) {
      // As much as the process has room for, in one piece: more than any
      // process of either image can have, since the program itself lies in
      // that room too.
      SYSTEM_INFO system = {};
      GetSystemInfo(&system);
      char* volatile block = new char[static_cast<char*>(system.lpMaximumApplicationAddress) -
                                      static_cast<char*>(system.lpMinimumApplicationAddress)];
      block[0] = 1;
    }
    if (std::wcsstr(command_line, L"--fail-again-on-paint") != nullptr) {
      // From now on the window fails whenever it is painted, as it is behind
      // the message box that this first failure brings up.
      for (HWND form = nullptr; (form = FindWindowExW(nullptr, form, L"Quorvel.Form1", nullptr));)
        if (GetWindowThreadProcessId(form, nullptr) == GetCurrentThreadId())
          SetWindowLongPtrW(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FailOnPaint));
    }
    AskTooMuch();
    return nullptr;
  }
};

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  quorvel::PrepareProcess();
  const quorvel::FaultyServices services;
  return quorvel::RunProgram(instance, show_command, services);
}
