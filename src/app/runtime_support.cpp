// The program is built without C++ exceptions: a failure it has no answer for
// goes straight to the fatal-error box. These few runtime entry points would
// otherwise throw, and bring in the exception machinery, the standard
// exception classes and the strings they hold, which together weighed more
// than the whole program. Each ends in the same box instead.
//
// Linked into the programs only (with GCC's runtime, statically), never into
// the tests, which keep the runtime's own versions.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/win32/fatal_error.h"

namespace {

[[noreturn]] void RuntimeFailure(const char* what) {
  quorvel::ShowFatalErrorAndExit(what);
}

// malloc(0) may answer with nothing; a C++ allocation of 0 bytes may not.
void* TryAllocate(std::size_t size) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}

void* Allocate(std::size_t size) {
  if (void* memory = TryAllocate(size)) return memory;
  RuntimeFailure("memória esgotada");
}

}  // namespace

// The replaceable allocation functions, which the language lets a program
// define for itself.
void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return TryAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return TryAllocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

// What the standard containers call when asked for more than they can hold,
// and what a call through an empty std::function or a pure virtual function
// calls. GCC's runtime declares these for builds without exceptions. These are
// the ones the program calls: should it come to call another, the runtime's
// own file of them is linked too and the link fails on the duplicates, and
// that one belongs here as well. The runtime's own words are English and
// cannot be translated, so each shows a fixed phrase of its own.
namespace std {
void __throw_bad_alloc() {
  RuntimeFailure("memória esgotada");
}
void __throw_bad_array_new_length() {
  RuntimeFailure("tamanho de tabela inválido");
}
void __throw_length_error(const char*) {
  RuntimeFailure("pedido maior do que a memória admite");
}
void __throw_logic_error(const char*) {
  RuntimeFailure("erro de lógica interno");
}
void __throw_out_of_range_fmt(const char*, ...) {
  RuntimeFailure("posição fora dos limites");
}
void __throw_bad_function_call() {
  RuntimeFailure("chamada de uma função vazia");
}
}  // namespace std

extern "C" void __cxa_pure_virtual() {
  RuntimeFailure("chamada de uma função virtual pura");
}

#if defined(__GNUC__)
// The stack protector (-fstack-protector-strong) and _FORTIFY_SOURCE call
// these; MSVC's /GS has its own. GCC's libssp would take its canary from
// CryptGenRandom, which adds advapi32 to the imports, and on a failure would
// write to a terminal and raise an exception, which the fatal-error filter
// would answer with code running on the smashed stack. Here a failure ends
// the process on the spot: no handler, no box, no unwinding, with the status
// that Windows gives a stack buffer overrun. __fastfail would do the same on
// Windows 8 and later only; on Windows 7 its interrupt is an ordinary
// exception.
extern "C" {

// The canary that every protected frame holds, set once before the program's
// own code runs (a fixed value until then). The compiler's ABI names it and
// needs it writable.
std::uintptr_t __stack_chk_guard = 0x2F8B9D40u;

[[noreturn]] void __stack_chk_fail() {
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  __builtin_trap();  // not reached: TerminateProcess on the own process does not return
}

// One function under both names, so that the release check finds the end in
// the function that the canary checks call.
[[noreturn]] void __chk_fail() __attribute__((alias("__stack_chk_fail")));

}  // extern "C"

namespace {

// Before any other constructor and long before wWinMain. The canary mixes the
// values that Microsoft's /GS start-up code mixes: the time, the process and
// thread, the performance counter, and addresses that address-space layout
// randomisation moves. Its lowest byte is zero, so that no overrun through a
// string copy can write it back. Unprotected itself: the canary changes while
// it runs.
__attribute__((constructor(101), no_stack_protector)) void SetStackCanary() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  LARGE_INTEGER counter = {};
  QueryPerformanceCounter(&counter);
  std::uint64_t mix = (std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) ^
                      static_cast<std::uint64_t>(counter.QuadPart) ^
                      (std::uint64_t{GetCurrentProcessId()} << 32 | GetCurrentThreadId()) ^
                      reinterpret_cast<std::uintptr_t>(&now) ^
                      reinterpret_cast<std::uintptr_t>(&__stack_chk_guard) << 16;
  // SplitMix64's finaliser spreads what varies over every bit, so that no
  // part of the canary is as predictable as the clock's high word.
  mix = (mix ^ mix >> 30) * 0xBF58476D1CE4E5B9u;
  mix = (mix ^ mix >> 27) * 0x94D049BB133111EBu;
  mix ^= mix >> 31;
  __stack_chk_guard = static_cast<std::uintptr_t>(mix) & ~std::uintptr_t{0xFF};
}

}  // namespace
#endif  // defined(__GNUC__)
