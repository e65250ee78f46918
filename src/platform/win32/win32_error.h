// A failed Windows call, with the system's own words for it.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace quorvel {

class Win32Error : public std::runtime_error {
 public:
  // Takes GetLastError() unless a code is given.
  explicit Win32Error(const char* function);
  Win32Error(const char* function, DWORD code);
  Win32Error(const char* function, HRESULT result, int /*hresult_tag*/);

  DWORD code() const { return code_; }

 private:
  DWORD code_;
};

// The system's message text for an error code, or the code in hexadecimal.
std::string SystemMessage(DWORD code);

// "0x" and eight upper-case hexadecimal digits: 0x80070005.
std::string HexCode(DWORD code);

// Throws Win32Error when a COM call failed.
inline void CheckHresult(HRESULT result, const char* function) {
  if (FAILED(result)) throw Win32Error(function, result, 0);
}

}  // namespace quorvel
