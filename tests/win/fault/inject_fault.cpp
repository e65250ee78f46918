// The failure that QuorvelFault.exe raises on a click on Image3, chosen by its
// command line; Quorvel.exe has none of this. Each is one that the program's
// code cannot answer and the runtime or the system catches.
#include <windows.h>

#include <cwchar>
#include <vector>

namespace quorvel {

void InjectFault() {
  const wchar_t* const command_line = GetCommandLineW();
  if (std::wcsstr(command_line, L"--access-violation") != nullptr) {
    // A null-pointer write, all volatile so that the compiler keeps it.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
  }
  if (std::wcsstr(command_line, L"--out-of-memory") != nullptr) {
    // More than a 32-bit process can have in one piece.
    char* volatile block = new char[0x7FFF0000u];
    block[0] = 1;
  }
  // A container asked for more than it can ever hold.
  std::vector<int> numbers;
  numbers.resize(numbers.max_size() + 1);
}

}  // namespace quorvel
