#include "platform/win32/win32_error.h"

#include <cstdio>

#include "platform/win32/text.h"

namespace quorvel {

namespace {

std::string Describe(const char* function, DWORD code) {
  return std::string(function) + ": " + SystemMessage(code);
}

}  // namespace

Win32Error::Win32Error(const char* function) : Win32Error(function, GetLastError()) {}

Win32Error::Win32Error(const char* function, DWORD code)
    : std::runtime_error(Describe(function, code)), code_(code) {}

Win32Error::Win32Error(const char* function, HRESULT result, int)
    : Win32Error(function, static_cast<DWORD>(result)) {}

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
  if (length == 0 || buffer == nullptr) return hex;

  std::wstring text(buffer, length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  try {
    return Narrow(text) + " (" + hex + ")";
  } catch (...) {
    return hex;
  }
}

}  // namespace quorvel
