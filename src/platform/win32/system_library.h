// Libraries come from the system folder only: the program runs from a folder
// that anyone may have written to, so nothing may load from beside it.
#pragma once

#include <array>
#include <string>

#include "platform/win32/handles.h"

namespace quorvel {

// Makes the system folder the current directory, so that no search by name,
// the program's or that of a program the shell starts, looks at the drive,
// and the drive is not held in use. Call it first thing.
void LeaveTheProgramsFolder();

// Restricts the search of every library loaded from now on to the system
// folder, and asks the system to prefer its own images to any other. Call it
// before anything can load a library.
void RestrictLibrarySearchToSystemFolder();

// Loads `name` ("comctl32.dll") from the system folder; a failure is fatal.
ModuleHandle LoadSystemLibrary(const wchar_t* name);
// The same, with nothing held when the library cannot be loaded.
ModuleHandle TryLoadSystemLibrary(const wchar_t* name);

// The libraries that system libraries load by name on the program's behalf,
// loaded from the system folder first: a loader that resolves such a name
// finds it already loaded and searches no folder, the drive's least of all.
// Keep them for the program's life.
std::array<ModuleHandle, 2> PinIndirectSystemLibraries();

// The address of `function` in `module`, as a pointer of type `Function`;
// fatal when the library has no such function.
FARPROC SystemFunction(HMODULE module, const char* function);

template <typename Function>
Function SystemFunctionAs(HMODULE module, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(module, function)));
}

// The address of `function` in kernel32, or nullptr on a system that lacks it.
template <typename Function>
Function OptionalKernelFunction(const char* function) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, function)))
             : nullptr;
}

}  // namespace quorvel
