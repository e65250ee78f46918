// A failed Windows call, told in the system's own words. A failure that the
// program has no answer for ends it through the fatal-error box.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel {

// Ends the program through the fatal-error box, naming the call that failed
// and why: `code`, or GetLastError() when no code is given.
[[noreturn]] void FailWin32(const char* function, DWORD code);
[[noreturn]] void FailWin32(const char* function);

// "falha em function: the system's message text (0x00000005)", the system's
// text in the user's language.
std::string DescribeFailure(const char* function, DWORD code);

// The system's message text for an error code and the code in hexadecimal, or
// the code alone.
std::string SystemMessage(DWORD code);

// "0x" and eight upper-case hexadecimal digits, 0x80070005, in a buffer of its
// own: a crash may have been in the heap.
struct HexCode {
  explicit HexCode(DWORD code);
  char text[11];
};

// Ends the program through the fatal-error box when a COM call failed.
inline void CheckHresult(HRESULT result, const char* function) {
  if (FAILED(result)) FailWin32(function, static_cast<DWORD>(result));
}

}  // namespace quorvel
