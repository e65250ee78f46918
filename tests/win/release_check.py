#!/usr/bin/env python3
# Quorvel.exe as the system sees it before it runs (header, imports,
# resources, version block, manifest, application icon), then the release made
# from it: the zip holds exactly the program and the sample message, at its
# root, in that order, byte for byte, and SHA256SUMS beside it gives the hashes
# of the zip and of the program.
#   release_check.py <cmake> <build folder> <committed quorvel.ico> <sample mensagem.txt>
import hashlib, re, struct, subprocess, sys, zipfile
from pathlib import Path

cmake, build, ico, sample = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]), Path(sys.argv[4])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def u(layout, data, at=0):
    return struct.unpack_from('<' + layout, data, at)


def resources_of(exe):
    pe = u('I', exe, 0x3C)[0]
    opt = pe + 24
    machine, section_count, _, _, _, opt_size, characteristics = u('HHIIIHH', exe, pe + 4)
    check(exe[pe:pe + 4] == b'PE\0\0' and machine == 0x14C, 'not a 32-bit x86 image')
    check(u('HH', exe, opt + 44) + u('H', exe, opt + 68) == (2, 0, 2),
          'not image version 2.0 of a windowed program')
    # Copied to the page file when started from a pen or a share.
    check(characteristics & 0xC00 == 0xC00, 'not marked to run from swap')
    # The header's checksum: the file's 16-bit words with the checksum's own
    # place as zero, folded, plus the file's length.
    total, words = 0, exe[:opt + 64] + bytes(4) + exe[opt + 68:] + bytes(len(exe) % 2)
    for (word,) in struct.iter_unpack('<H', words):
        total = (total + word & 0xFFFF) + (total + word >> 16)
    check(u('I', exe, opt + 64)[0] == (total & 0xFFFF) + (total >> 16) + len(exe),
          'the checksum is out of date')

    sections = [u('IIII', exe, opt + opt_size + 40 * i + 8) for i in range(section_count)]

    def at(rva):
        return next(rva - va + raw for _, va, size, raw in sections if va <= rva < va + size)

    # Only libraries that the system loads from its own folder.
    imports, entry = [], at(u('I', exe, opt + 104)[0])
    while (name := u('I', exe, entry + 12)[0]) != 0:
        imports.append(exe[at(name):exe.index(b'\0', at(name))].decode().lower())
        entry += 20
    known = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
             'oleaut32.dll', 'msvcrt.dll'}
    check(imports and set(imports) <= known, f'imports {imports}')

    # Every resource by type, name and language; a named one by its offset.
    root, resources = at(u('I', exe, opt + 112)[0]), {}

    def entries(offset):
        count = sum(u('HH', exe, root + offset + 12))
        return [u('II', exe, root + offset + 16 + 8 * i) for i in range(count)]

    for type_id, names in entries(0):
        for name_id, languages in entries(names & 0x7FFFFFFF):
            for language, data in entries(languages & 0x7FFFFFFF):
                rva, size = u('II', exe, root + data)
                resources[type_id, name_id, language] = exe[at(rva):at(rva) + size]
    # RT_VERSION in U.S. English; RT_GROUP_ICON, RT_ICON and RT_MANIFEST neutral.
    icons = {(3, i, 0) for i in range(30001, 30010)}
    check(set(resources) == {(16, 1, 1033), (14, 1, 0), (24, 1, 0)} | icons,
          f'resources {sorted(resources)}')
    return resources


def walk(block, start, path, nodes):
    # Every node of a version block, in order: its path, "=" and its value.
    length, value_length, text = u('HHH', block, start)
    assert 6 <= length <= len(block) - start, 'a version node overruns'
    key, at = '', start + 6
    while (char := u('H', block, at)[0]) != 0:
        key, at = key + chr(char), at + 2
    path, at = path + '\\' + key, at + 5 & ~3
    value = block[at:at + value_length * (2 if text else 1)]
    nodes.append(path + '=' + (value.decode('utf-16-le').rstrip('\0') if text else value.hex()))
    at = at + len(value) + 3 & ~3
    while at < start + length:
        walk(block, at, path, nodes)
        at = at + u('H', block, at)[0] + 3 & ~3


exe = (build / 'Quorvel.exe').read_bytes()
resources = resources_of(exe)

# The icon group and images are the committed icon's, byte for byte; the
# file's entries agree up to the byte count, and its offsets become ids.
file, group = ico.read_bytes(), resources.get((14, 1, 0), b'')
check(u('H', file, 4)[0] == 9 and len(group) == 6 + 14 * 9 and group[:6] == file[:6], 'icon group')
for i in range(9):
    size, offset = u('II', file, 6 + 16 * i + 8)
    check(group[6 + 14 * i:18 + 14 * i] == file[6 + 16 * i:18 + 16 * i]
          and u('H', group, 18 + 14 * i)[0] == 30001 + i
          and resources.get((3, 30001 + i, 0)) == file[offset:offset + size], f'icon image {i + 1}')

# The manifest asks only to run as the user: its elements, without attributes
# or text, and the one attribute that counts.
manifest = resources.get((24, 1, 0), b'').decode()
check(''.join(e + '>' for e in re.findall(r'<.[^ />]*', manifest)) ==
      '<?xml><assembly><trustInfo><security><requestedPrivileges><requestedExecutionLevel>'
      '</requestedPrivileges></security></trustInfo></assembly>'
      and 'level="asInvoker"' in manifest, 'manifest')

# One string table, in U.S. English and Unicode, as the translation says; a
# second one would be seen by no reader that follows the translation.
nodes, top = [], '\\VS_VERSION_INFO'
walk(resources.get((16, 1, 1033), bytes(6)), 0, '', nodes)
table = top + '\\StringFileInfo\\040904B0\\'
fixed = struct.pack('<13I', 0xFEEF04BD, 0x10000, 0x20000, 2, 0x20000, 2, 0, 0, 4, 1, 0, 0, 0).hex()
strings = ['Comments=Quorvel - PT', 'CompanyName=The Quorvel developers',
           'FileDescription=Quorvel inicia quando a USB Pen \u00E9 inserida',
           'LegalCopyright=Copyright \u00A9 2026 The Quorvel developers',
           'LegalTrademarks=Quorvel is not a registered trademark', 'ProductName=Quorvel',
           'FileVersion=2.00.0002', 'ProductVersion=2.00.0002', 'InternalName=Quorvel',
           'OriginalFilename=Quorvel.exe']
translation = top + '\\VarFileInfo\\Translation=0904b004'
check(nodes == [f'{top}={fixed}', top + '\\VarFileInfo=', translation, top + '\\StringFileInfo=',
                table[:-1] + '='] + [table + s for s in strings],
      f'version block {nodes}')

# The release, made afresh by the build's package target.
name = 'Quorvel-2.00.0002.zip'
for made in [build / name, build / 'SHA256SUMS']:
    made.unlink(missing_ok=True)
subprocess.run([cmake, '--build', build, '--target', 'package'], check=True)
check([p.name for p in build.glob('*.zip')] == [name], 'the package target made another zip')
with zipfile.ZipFile(build / name) as packed:
    check(packed.namelist() == ['Quorvel.exe', 'mensagem.txt'] and packed.read('Quorvel.exe') == exe
          and packed.read('mensagem.txt') == sample.read_bytes(), 'the zip holds something else')
sums = ''.join(f'{hashlib.sha256(data).hexdigest()}  {file}\n'
               for file, data in [(name, (build / name).read_bytes()), ('Quorvel.exe', exe)])
check((build / 'SHA256SUMS').read_text() == sums, 'SHA256SUMS does not match')
print('\n'.join(failures) or 'Quorvel.exe and its release are as they should be')
sys.exit(1 if failures else 0)
