#include "platform/win32/system_library.h"

#include <string>

#include "platform/win32/win32_error.h"

namespace quorvel {

void RestrictLibrarySearchToSystemFolder() {
  // SetDefaultDllDirectories is missing from Windows 7 without KB2533623, so it
  // is looked up rather than imported.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto set_default_directories =
      kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                   reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
             : nullptr;
  if (set_default_directories && set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least take the current folder out of the search; every
  // library the program loads itself is then named by its full path.
  SetDllDirectoryW(L"");
}

ModuleHandle LoadSystemLibrary(const wchar_t* name) {
  ModuleHandle module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  if (module) return module;
  if (GetLastError() != ERROR_INVALID_PARAMETER) FailWin32("LoadLibraryExW");

  // The system does not know LOAD_LIBRARY_SEARCH_SYSTEM32: name the file in
  // the system folder, and have its own imports looked up beside it.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) FailWin32("GetSystemDirectoryW");
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  module.reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) FailWin32("LoadLibraryExW");
  return module;
}

std::array<ModuleHandle, 2> PinIndirectSystemLibraries() {
  // The window theme library comes with the first window, and imports the
  // image library by name.
  return {LoadSystemLibrary(L"uxtheme.dll"), LoadSystemLibrary(L"msimg32.dll")};
}

FARPROC SystemFunction(HMODULE module, const char* function) {
  const FARPROC address = GetProcAddress(module, function);
  if (address == nullptr) FailWin32(function);
  return address;
}

}  // namespace quorvel
