// Libraries come from the system folder only: the program runs from a folder
// that anyone may have written to, so nothing may load from beside it.
#pragma once

#include <array>

#include "platform/win32/handles.h"

namespace quorvel {

// Restricts the search of every library loaded from now on to the system
// folder. Call it first thing.
void RestrictLibrarySearchToSystemFolder();

// Loads `name` ("comctl32.dll") from the system folder; a failure is fatal.
ModuleHandle LoadSystemLibrary(const wchar_t* name);

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

}  // namespace quorvel
