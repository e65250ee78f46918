#!/usr/bin/python3
# The x86_64 twin stands in for Quorvel.exe under Wine only while it asks the
# system for the same things: both import the same DLLs, and the same
# functions from each, but for those named here with the reason why they
# differ between the two processors.
#   twin_imports.py <Quorvel.exe, i686> <Quorvel.exe, x86_64>
import sys

import pefile

ONLY_I686 = {
    # GCC's i686 start-up code (crtbegin.o) hands its DWARF unwind tables to
    # libgcc's DLL if, and only if, that DLL is already in the process: it
    # asks GetModuleHandleA, and only then takes a reference with
    # LoadLibraryA, which finds the loaded module and searches nothing.
    ('kernel32.dll', 'GetModuleHandleA'), ('kernel32.dll', 'LoadLibraryA'),
    # The MinGW-w64 runtime reaches msvcrt's start-up variables and its stdio
    # table under other names on each processor: through an accessor
    # function, or as the variable itself.
    ('msvcrt.dll', '__p__commode'), ('msvcrt.dll', '__p__fmode'), ('msvcrt.dll', '__p__wcmdln'),
    ('msvcrt.dll', '_iob'),
    # 32-bit user32 has no ...LongPtr functions: the headers name the ...Long
    # ones, which take a pointer-sized value there.
    ('user32.dll', 'GetWindowLongW'), ('user32.dll', 'SetWindowLongW'),
}
ONLY_X86_64 = {
    # The exception handler that the x86_64 start-up code (crt2u.o) names in
    # its unwind tables; i686 start-up code names none.
    ('kernel32.dll', '__C_specific_handler'),
    ('msvcrt.dll', '_commode'), ('msvcrt.dll', '_fmode'), ('msvcrt.dll', '_wcmdln'),
    ('msvcrt.dll', '__iob_func'),
    ('user32.dll', 'GetWindowLongPtrW'), ('user32.dll', 'SetWindowLongPtrW'),
}


def imports(path):
    image = pefile.PE(path)
    return {(entry.dll.decode().lower(), (item.name or b'#%d' % item.ordinal).decode())
            for entry in image.DIRECTORY_ENTRY_IMPORT for item in entry.imports}


product, twin = imports(sys.argv[1]), imports(sys.argv[2])
failures = []
dlls = {dll for dll, _ in product}, {dll for dll, _ in twin}
if dlls[0] != dlls[1]:
    failures.append(f'only the product imports {sorted(dlls[0] - dlls[1])}, '
                    f'only the twin {sorted(dlls[1] - dlls[0])}')
for image, extra, named in [('product', product - twin, ONLY_I686),
                            ('twin', twin - product, ONLY_X86_64)]:
    if extra - named:
        failures.append(f'only the {image} imports {sorted(extra - named)}, with no reason here')
    if named - extra:
        failures.append(f'the {image} no longer imports alone {sorted(named - extra)}: drop them here')
print('\n'.join(failures) or 'the twin imports what Quorvel.exe imports')
sys.exit(1 if failures else 0)
