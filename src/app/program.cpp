#include "app/program.h"

#include "app/form1.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"

namespace quorvel {

void PrepareProcess() {
  // Nothing from the drive's own folder, which is also the current directory
  // when the program is started from it.
  LeaveTheProgramsFolder();
  RestrictLibrarySearchToSystemFolder();
  // A missing medium must not raise a system dialog; neither may a crash.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  InstallFatalErrorHandlers();
}

int RunProgram(HINSTANCE instance, int show_command, const Services& services) {
  const auto pinned = PinIndirectSystemLibraries();
  const ComApartment apartment;  // the shell and the picture decoder need it
  Form1 form(services, instance);
  form.Create();
  form.Show(show_command);
  return RunMessageLoop(form.window());
}

}  // namespace quorvel
