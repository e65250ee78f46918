#include "platform/win32/win32_error.h"

#include "platform/win32/fatal_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace quorvel {

void FailWin32(const char* function, DWORD code) {
  ShowFatalErrorAndExit(DescribeFailure(function, code));
}

void FailWin32(const char* function) {
  FailWin32(function, GetLastError());
}

std::string DescribeFailure(const char* function, DWORD code) {
  return "falha em " + std::string(function) + ": " + SystemMessage(code);
}

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const LocalMemory text_memory(buffer);
  const std::string hex = HexCode(code).text;
  if (length == 0 || buffer == nullptr) return hex;
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ')) {
    --length;
  }
  // Not Narrow: its failure would come back here.
  const auto text = TryNarrow(std::wstring_view(buffer, length));
  return text && !text->empty() ? *text + " (" + hex + ")" : hex;
}

HexCode::HexCode(DWORD code) : text("0x00000000") {
  // Written by hand: printf's formatter would cost the program more than all
  // its own code.
  for (std::size_t i = sizeof text - 2; code != 0; --i, code >>= 4) {
    text[i] = "0123456789ABCDEF"[code & 0xF];
  }
}

}  // namespace quorvel
