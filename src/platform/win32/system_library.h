// Libraries come from the system folder only: the program runs from a folder
// that anyone may have written to, so nothing may load from beside it.
#pragma once

#include <array>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"

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

// The address of `function` in `module` as a pointer of type `Function`, or
// nullptr when there is no module or it has no such function.
template <typename Function>
Function OptionalFunction(HMODULE module, const char* function) {
  return module
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, function)))
             : nullptr;
}

// The same in kernel32, for functions that older systems lack.
template <typename Function>
Function OptionalKernelFunction(const char* function) {
  return OptionalFunction<Function>(GetModuleHandleW(L"kernel32.dll"), function);
}

// The same, where a missing function is fatal.
template <typename Function>
Function SystemFunctionAs(HMODULE module, const char* function) {
  const auto address = OptionalFunction<Function>(module, function);
  if (address == nullptr) FailWin32(function);
  return address;
}

}  // namespace quorvel
