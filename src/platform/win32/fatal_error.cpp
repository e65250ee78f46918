#include "platform/win32/fatal_error.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

#include "platform/win32/text.h"
#include "platform/win32/win32_error.h"

namespace quorvel {

namespace {

[[noreturn]] void OnTerminate() {
  std::string failure = "std::terminate";
  if (const std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& error) {
      failure = error.what();
    } catch (...) {
      failure = "unknown exception";
    }
  }
  ShowFatalErrorAndExit(failure);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const DWORD code =
      exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
  ShowFatalErrorAndExit("exception " + HexCode(code));
}

}  // namespace

void ShowFatalErrorAndExit(const std::string& failure) {
  std::wstring text = Widen(kFatalErrorText);
  try {
    text += L"\n" + Widen(failure);
  } catch (...) {
    // The failure's own text could not be converted; the first line stands.
  }
  // Task-modal: the program's window takes no clicks while the box is up.
  MessageBoxW(nullptr, text.c_str(), kFatalErrorTitle,
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  ExitProcess(1);
}

void InstallFatalErrorHandlers() {
  std::set_terminate(OnTerminate);
  SetUnhandledExceptionFilter(OnUnhandledException);
}

}  // namespace quorvel

// The runtime's own terminate handler, in force only until
// InstallFatalErrorHandlers replaces it. The runtime's version writes the
// exception's demangled type to stderr, which this windowed program does not
// have, and brings in a whole demangler; this one ends the program the same
// way, without the text.
void __gnu_cxx::__verbose_terminate_handler() {
  std::abort();
}
