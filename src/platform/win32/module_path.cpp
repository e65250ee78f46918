#include "platform/win32/module_path.h"

#include <windows.h>

namespace quorvel {

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const std::size_t length = std::wstring(prefix).size();
  return text.size() >= length &&
         CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                              static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring PlainModulePath(const std::wstring& path) {
  if (StartsWithNoCase(path, L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
  if (StartsWithNoCase(path, L"UNC\\")) return L"\\\\" + path.substr(4);
  if (StartsWithNoCase(path, L"\\\\?\\") && path.size() >= 7 && path[5] == L':' &&
      path[6] == L'\\') {
    return path.substr(4);
  }
  return path;
}

}  // namespace quorvel
