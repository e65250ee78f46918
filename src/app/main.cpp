// Quorvel: shows the message that a pen drive's owner left on it, tells the
// user about the drive, and opens its folder.

#include <windows.h>

#include "app/form1.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // Before anything can load a library: nothing from the drive's own folder,
  // which is also the current directory when the program is started from it.
  quorvel::LeaveTheProgramsFolder();
  quorvel::RestrictLibrarySearchToSystemFolder();
  // A missing medium must not raise a system dialog; neither may a crash.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  quorvel::InstallFatalErrorHandlers();

  const auto pinned = quorvel::PinIndirectSystemLibraries();
  const quorvel::ComApartment apartment;  // the shell and the picture decoder need it
  const quorvel::Win32Services services;
  quorvel::Form1 form(services, instance);
  form.Create();
  form.Show(show_command);
  return quorvel::RunMessageLoop(form.window());
}
