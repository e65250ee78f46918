#include "platform/win32/win32_error.h"

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
  const std::string hex = HexCode(code);
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

std::string HexCode(DWORD code) {
  // Written by hand: printf's formatter would cost the program more than all
  // its own code.
  std::string hex = "0x00000000";
  for (std::size_t i = hex.size() - 1; code != 0; --i, code >>= 4) {
    hex[i] = "0123456789ABCDEF"[code & 0xF];
  }
  return hex;
}

}  // namespace quorvel
