#!/usr/bin/python3
# The x86_64 twin stands in for Quorvel.exe under Wine only while it asks the
# system for the same things: both import the same DLLs, and the same
# functions from each, but for those named here with the reason why they
# differ between the two processors.
#   twin_imports.py <Quorvel.exe, i686> <Quorvel.exe, x86_64>
import sys

import pefile

ALONE = {
    'the product': {
        # GCC's i686 start-up code (crtbegin.o) hands its DWARF unwind tables
        # to libgcc's DLL if, and only if, that DLL is already in the process:
        # it asks GetModuleHandleA, and only then takes a reference with
        # LoadLibraryA, which finds the loaded module and searches nothing.
        'kernel32.dll': 'GetModuleHandleA LoadLibraryA',
        # The MinGW-w64 runtime reaches msvcrt's start-up variables and its
        # stdio table under other names on each processor: through an
        # accessor function, or as the variable itself.
        'msvcrt.dll': '__p__commode __p__fmode __p__wcmdln _iob',
        # 32-bit user32 has no ...LongPtr functions: the headers name the
        # ...Long ones, which take a pointer-sized value there.
        'user32.dll': 'GetWindowLongW SetWindowLongW'}, 'the twin': {
        # The exception handler that the x86_64 start-up code (crt2u.o) names
        # in its unwind tables; i686 start-up code names none.
        'kernel32.dll': '__C_specific_handler',
        'msvcrt.dll': '_commode _fmode _wcmdln __iob_func',
        'user32.dll': 'GetWindowLongPtrW SetWindowLongPtrW'}}


def imports(path):
    return {(entry.dll.decode().lower(), (item.name or b'#%d' % item.ordinal).decode())
            for entry in pefile.PE(path).DIRECTORY_ENTRY_IMPORT for item in entry.imports}


product, twin, failures = imports(sys.argv[1]), imports(sys.argv[2]), []
for image, alone in [('the product', product - twin), ('the twin', twin - product)]:
    named = {(dll, name) for dll, names in ALONE[image].items() for name in names.split()}
    if alone - named:  # a DLL that one imports and the other not shows here too
        failures.append(f'only {image} imports {sorted(alone - named)}, with no reason here')
    if named - alone:
        failures.append(f'{image} no longer imports alone {sorted(named - alone)}: drop them here')
print('\n'.join(failures) or 'the twin imports what Quorvel.exe imports')
sys.exit(1 if failures else 0)
