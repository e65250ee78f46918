#include "platform/win32/fatal_error.h"

#include <windows.h>

#include <cstring>
#include <exception>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"

namespace quorvel {

namespace {

// The box's text, built in place: the failure may be that memory ran out.
class FatalErrorText {
 public:
  // Appends as much of `utf8` as fits, cut at a character boundary.
  void Append(std::string_view utf8) {
    const std::size_t room = kCapacity - 1 - length_;
    // A UTF-8 character never grows into more UTF-16 units than it has bytes.
    std::size_t take = utf8.size() < room ? utf8.size() : room;
    while (take > 0 && take < utf8.size() && (utf8[take] & 0xC0) == 0x80) --take;
    if (take == 0) return;
    const int written = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(take),
                                            text_ + length_, static_cast<int>(room));
    if (written > 0) length_ += static_cast<std::size_t>(written);
    text_[length_] = L'\0';
  }

  const wchar_t* c_str() const { return text_; }

 private:
  static constexpr std::size_t kCapacity = 1024;
  wchar_t text_[kCapacity] = {};
  std::size_t length_ = 0;
};

// How the program ends once the box is closed. After a crash the process may
// be damaged: ExitProcess would run every library's detach code in it, so the
// process is ended where it stands.
[[noreturn]] void EndAfterFailure() {
  ExitProcess(1);
}
[[noreturn]] void EndAfterCrash() {
  TerminateProcess(GetCurrentProcess(), 1);
  ExitProcess(1);  // not reached: TerminateProcess on the own process does not return
}

LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) {
  EndAfterCrash();
}

// The box is shown once. From the moment it is asked for, the process's
// top-level filter ends the program at once, and finding that filter already
// in place tells a second failure (a repaint that crashes again behind the
// box, say) that the box is up: it ends the program without another.
[[noreturn]] void ShowFatalErrorOnce(std::string_view failure, void (*end)()) {
  if (SetUnhandledExceptionFilter(EndAtOnce) == EndAtOnce) EndAfterCrash();
  FatalErrorText text;
  text.Append(kFatalErrorText);
  text.Append("\n");
  text.Append(failure);
  // Task-modal: the program's window takes no clicks while the box is up.
  MessageBoxW(nullptr, text.c_str(), kFatalErrorTitle,
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  end();
  ExitProcess(1);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const DWORD code =
      exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode : 0;
  // Kept on the stack: the crash may have been in the heap.
  char failure[] = "exceção 0x00000000";
  std::memcpy(failure + sizeof failure - sizeof HexCode::text, HexCode(code).text,
              sizeof HexCode::text - 1);
  ShowFatalErrorOnce(failure, EndAfterCrash);
}

#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
[[noreturn]] void OnTerminate() {
  // An exception's own text is English; the box says what happened instead.
  ShowFatalErrorAndExit(std::current_exception() ? "exceção não tratada" : "terminação inesperada");
}
#endif

}  // namespace

void ShowFatalErrorAndExit(std::string_view failure) {
  ShowFatalErrorOnce(failure, EndAfterFailure);
}

void InstallFatalErrorHandlers() {
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
  std::set_terminate(OnTerminate);
#endif
  SetUnhandledExceptionFilter(OnUnhandledException);

  // A 32-bit program on 64-bit Windows: an exception in a window procedure
  // that the system reached through a kernel callback is swallowed by default,
  // and the program would go on half-done ("WindowProc callback function",
  // Remarks; Microsoft's KB976038). Where the system offers the switch, such
  // exceptions go on to the filter above.
  using GetPolicyFunction = BOOL(WINAPI*)(DWORD*);
  using SetPolicyFunction = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kProcessCallbackFilterEnabled = 0x1;
  const auto get_policy =
      OptionalKernelFunction<GetPolicyFunction>("GetProcessUserModeExceptionPolicy");
  const auto set_policy =
      OptionalKernelFunction<SetPolicyFunction>("SetProcessUserModeExceptionPolicy");
  DWORD flags = 0;
  if (get_policy && set_policy && get_policy(&flags)) {
    set_policy(flags & ~kProcessCallbackFilterEnabled);
  }
}

}  // namespace quorvel
