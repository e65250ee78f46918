/* A library under a system library's name, left beside the program. If it is
   ever loaded it leaves a marker named after itself in C:\quorvel-planted\,
   off the pen drive. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance, (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    CreateDirectoryW(L"C:\\quorvel-planted", NULL);
    CloseHandle(CreateFileW(L"C:\\quorvel-planted\\" PLANTED_NAME L".txt", GENERIC_WRITE, 0, NULL,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
  }
  return TRUE;
}
