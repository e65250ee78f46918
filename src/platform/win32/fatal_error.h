// The one way the program ends on a failure it cannot answer: a message box
// that says so, then the end. Never a system crash dialog.
#pragma once

#include <string>

namespace quorvel {

inline constexpr wchar_t kFatalErrorTitle[] = L"Quorvel";
inline constexpr char kFatalErrorText[] = "O Quorvel encontrou um erro e vai fechar.";

// Shows the message box with `failure` on its second line, then ends the
// program.
[[noreturn]] void ShowFatalErrorAndExit(const std::string& failure);

// Sends std::terminate and any unhandled structured exception (a crash) to
// ShowFatalErrorAndExit.
void InstallFatalErrorHandlers();

// Calls `handler` and turns anything it throws into the fatal error: no C++
// exception may unwind through the system's frames.
template <typename Handler>
auto GuardHandler(Handler&& handler) noexcept -> decltype(handler()) {
  try {
    return handler();
  } catch (const std::exception& error) {
    ShowFatalErrorAndExit(error.what());
  } catch (...) {
    ShowFatalErrorAndExit("unknown exception");
  }
}

}  // namespace quorvel
