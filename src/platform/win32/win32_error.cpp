#include "platform/win32/win32_error.h"

#include "platform/win32/fatal_error.h"

namespace quorvel {

void FailWin32(const char* function, DWORD code) {
  ShowFatalErrorAndExit(DescribeFailure(function, code));
}

void FailWin32(const char* function) {
  FailWin32(function, GetLastError());
}

std::string DescribeFailure(const char* function, DWORD code) {
  return std::string(function) + ": " + SystemMessage(code);
}

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const std::string hex = HexCode(code);
  if (length == 0 || buffer == nullptr) return hex;
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ')) {
    --length;
  }
  // Converted here rather than through the program's text helpers, whose
  // failures end up back in this function.
  const int wide_length = static_cast<int>(length);
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, buffer, wide_length, nullptr, 0, nullptr, nullptr);
  std::string text;
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, buffer, wide_length, text.data(), size, nullptr, nullptr);
  }
  LocalFree(buffer);
  return text.empty() ? hex : text + " (" + hex + ")";
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
