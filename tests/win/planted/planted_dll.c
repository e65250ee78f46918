/* A library under a system library's name, left beside the program. If it is
   ever loaded it leaves a marker named after itself in quorvel-planted in the
   temporary folder, off the pen drive. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance, (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 64];
    const DWORD length = GetTempPathW(MAX_PATH, path);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcatW(path, L"quorvel-planted");
    CreateDirectoryW(path, NULL);
    lstrcatW(path, L"\\" PLANTED_NAME L".txt");
    CloseHandle(
        CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
  }
  return TRUE;
}
