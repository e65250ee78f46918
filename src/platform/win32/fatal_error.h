// The one way the program ends on a failure it cannot answer: a message box
// that says so, then the end. Never a system crash dialog.
#pragma once

#include <string_view>

namespace quorvel {

inline constexpr wchar_t kFatalErrorTitle[] = L"Quorvel";
inline constexpr char kFatalErrorText[] = "O Quorvel encontrou um erro e vai fechar.";

// Shows the message box with `failure` (UTF-8) on its second line, then ends
// the program with exit code 1. It allocates nothing, so that it also serves
// when memory has run out.
[[noreturn]] void ShowFatalErrorAndExit(std::string_view failure);

// Sends any unhandled structured exception (a crash), and std::terminate where
// the build has C++ exceptions, to ShowFatalErrorAndExit.
void InstallFatalErrorHandlers();

}  // namespace quorvel
