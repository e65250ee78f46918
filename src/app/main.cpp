// Quorvel: shows the message that a pen drive's owner left on it, tells the
// user about the drive, and opens its folder.

#include <windows.h>

#include "app/program.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  quorvel::PrepareProcess();
  const quorvel::Win32Services services;
  return quorvel::RunProgram(instance, show_command, services);
}
