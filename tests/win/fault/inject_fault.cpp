// The failure that QuorvelFault.exe raises on a click on Image3. The test
// build reads its command line to choose the kind; Quorvel.exe has none of
// this.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <stdexcept>

namespace quorvel {

void InjectFault() {
  if (std::wcsstr(GetCommandLineW(), L"--access-violation") != nullptr) {
    // A structured exception, as a wild pointer would raise it. The address
    // is read from a volatile so that the compiler cannot see it is null and
    // drop the store.
    volatile std::uintptr_t nowhere = 0;
    *reinterpret_cast<volatile int*>(nowhere) = 1;
    return;
  }
  throw std::runtime_error("injected failure in the Image3 handler");
}

}  // namespace quorvel
