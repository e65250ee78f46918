/* A library that someone left beside the program under a system library's
   name. If it is ever loaded, it leaves a marker named after itself in
   C:\quorvel-planted\, which is off the pen drive. */
#include <windows.h>

#ifndef PLANTED_NAME
#error "PLANTED_NAME names the library, as a wide string"
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    CreateDirectoryW(L"C:\\quorvel-planted", NULL);
    HANDLE marker = CreateFileW(L"C:\\quorvel-planted\\" PLANTED_NAME L".txt", GENERIC_WRITE, 0,
                                NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(marker, "loaded\r\n", 8, &written, NULL);
      CloseHandle(marker);
    }
  }
  return TRUE;
}
