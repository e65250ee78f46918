#include "platform/win32/text.h"

#include <windows.h>

#include <climits>

#include "platform/win32/win32_error.h"

namespace quorvel {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  if (utf8.size() > INT_MAX) FailWin32("MultiByteToWideChar", ERROR_ARITHMETIC_OVERFLOW);
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (length <= 0) FailWin32("MultiByteToWideChar");
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> TryNarrow(std::wstring_view utf16) {
  if (utf16.empty()) return std::string();
  if (utf16.size() > INT_MAX / 3) {
    SetLastError(ERROR_ARITHMETIC_OVERFLOW);
    return std::nullopt;
  }
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::string Narrow(std::wstring_view utf16) {
  auto narrow = TryNarrow(utf16);
  if (!narrow) FailWin32("WideCharToMultiByte");
  return std::move(*narrow);
}

}  // namespace quorvel
