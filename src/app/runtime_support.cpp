// The program is built without C++ exceptions: a failure it has no answer for
// goes straight to the fatal-error box. These few runtime entry points would
// otherwise throw, and bring in the exception machinery, the standard
// exception classes and the strings they hold, which together weighed more
// than the whole program. Each ends in the same box instead.
//
// Linked into the programs only (with GCC's runtime, statically), never into
// the tests, which keep the runtime's own versions.
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
