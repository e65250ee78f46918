// The failure that QuorvelFault.exe raises on a click on Image3, chosen by its
// command line; Quorvel.exe has none of this.
#include <windows.h>

#include <cwchar>
#include <stdexcept>

namespace quorvel {

void InjectFault() {
  if (std::wcsstr(GetCommandLineW(), L"--access-violation") != nullptr) {
    // A null-pointer write, all volatile so that the compiler keeps it.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
  }
  throw std::runtime_error("injected failure in the Image3 handler");
}

}  // namespace quorvel
