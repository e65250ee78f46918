// Libraries come from the system folder only: the program runs from a folder
// that anyone may have written to, so nothing may load from beside it.
#pragma once

#include "platform/win32/handles.h"

namespace quorvel {

// Restricts the search of every library loaded from now on to the system
// folder. Call it first thing.
void RestrictLibrarySearchToSystemFolder();

// Loads `name` ("comctl32.dll") from the system folder; throws on failure.
ModuleHandle LoadSystemLibrary(const wchar_t* name);

// The address of `function` in `module`, as a pointer of type `Function`;
// throws when the library has no such function.
FARPROC SystemFunction(HMODULE module, const char* function);

template <typename Function>
Function SystemFunctionAs(HMODULE module, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(module, function)));
}

}  // namespace quorvel
