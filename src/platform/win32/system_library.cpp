#include "platform/win32/system_library.h"

#include "platform/win32/win32_error.h"

namespace quorvel {

namespace {

// Windows 7 without KB2533623 has neither SetDefaultDllDirectories nor the
// LOAD_LIBRARY_SEARCH_* flags. The LoadLibraryExW documentation says to tell
// by looking the function up: where it exists, the flags work.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesOrNull() {
  return OptionalKernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) FailWin32("GetSystemDirectoryW");
  return std::wstring(folder, length);
}

// PROCESS_MITIGATION_IMAGE_LOAD_POLICY, which the headers for older systems
// lack: its flags and its number in PROCESS_MITIGATION_POLICY.
constexpr int kProcessImageLoadPolicy = 10;
constexpr DWORD kNoRemoteImages = 0x1;
constexpr DWORD kPreferSystem32Images = 0x4;

}  // namespace

void LeaveTheProgramsFolder() {
  if (!SetCurrentDirectoryW(SystemFolder().c_str())) FailWin32("SetCurrentDirectoryW");
}

void RestrictLibrarySearchToSystemFolder() {
  const auto set_default_directories = SetDefaultDllDirectoriesOrNull();
  if (!set_default_directories || !set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    // Without it, at least take the current folder out of the search; every
    // library the program loads itself is then named by its full path.
    SetDllDirectoryW(L"");
  }

  // Windows 10 and later: a library that system code loads by name, which the
  // pinning below cannot foresee, comes from System32 before the program's
  // folder, and none comes from a share ("PROCESS_MITIGATION_IMAGE_LOAD_POLICY
  // structure"). Older systems refuse the policy or lack the call; the search
  // restriction above is then what protects the program.
  using SetMitigationPolicyFunction = BOOL(WINAPI*)(int, void*, SIZE_T);
  if (const auto set_policy =
          OptionalKernelFunction<SetMitigationPolicyFunction>("SetProcessMitigationPolicy")) {
    DWORD flags = kNoRemoteImages | kPreferSystem32Images;
    set_policy(kProcessImageLoadPolicy, &flags, sizeof flags);
  }
}

ModuleHandle TryLoadSystemLibrary(const wchar_t* name) {
  if (SetDefaultDllDirectoriesOrNull()) {
    return ModuleHandle(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  }
  // The system does not know LOAD_LIBRARY_SEARCH_SYSTEM32: name the file in
  // the system folder, and have its own imports looked up beside it.
  const std::wstring path = SystemFolder() + L"\\" + name;
  return ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

ModuleHandle LoadSystemLibrary(const wchar_t* name) {
  ModuleHandle module = TryLoadSystemLibrary(name);
  if (!module) FailWin32("LoadLibraryExW");
  return module;
}

std::array<ModuleHandle, 2> PinIndirectSystemLibraries() {
  // The window theme library comes with the first window, and imports the
  // image library by name.
  return {LoadSystemLibrary(L"uxtheme.dll"), LoadSystemLibrary(L"msimg32.dll")};
}

}  // namespace quorvel
