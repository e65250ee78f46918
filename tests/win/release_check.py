#!/usr/bin/python3
# Quorvel.exe as the system sees it before it runs (header, imports,
# resources, version block, manifest, application icon), read with pefile;
# then the release made from it: the zip holds exactly the program and the
# sample message, at its root, in that order, byte for byte, and SHA256SUMS
# beside it gives the hashes of the zip and of the program.
#   release_check.py <cmake> <build folder> <committed quorvel.ico> <sample mensagem.txt>
import hashlib, re, struct, subprocess, sys, zipfile
from pathlib import Path

import pefile

cmake, build, ico, sample = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]), Path(sys.argv[4])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


exe = (build / 'Quorvel.exe').read_bytes()
pe = pefile.PE(data=exe)
check(not pe.get_warnings(), f'a malformed image: {pe.get_warnings()}')
header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
check(header.Machine == 0x14C, 'not a 32-bit x86 image')
check((optional.MajorImageVersion, optional.MinorImageVersion, optional.Subsystem) == (2, 0, 2),
      'not image version 2.0 of a windowed program')
# Copied to the page file when started from a pen or a share.
check(header.Characteristics & 0xC00 == 0xC00, 'not marked to run from swap')
check(optional.CheckSum == pe.generate_checksum(), 'the checksum is out of date')

# Only libraries that the system loads from its own folder.
imports = [entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT]
known = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
         'oleaut32.dll', 'msvcrt.dll'}
check(imports and set(imports) <= known, f'imports {imports}')

# Every resource by type, name and language. RT_VERSION in U.S. English;
# RT_GROUP_ICON, RT_ICON and RT_MANIFEST neutral.
resources = {(kind.id, name.id, language.id): pe.get_data(language.data.struct.OffsetToData,
                                                          language.data.struct.Size)
             for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
             for name in kind.directory.entries for language in name.directory.entries}
icons = {(3, i, 0) for i in range(30001, 30010)}
check(set(resources) == {(16, 1, 1033), (14, 1, 0), (24, 1, 0)} | icons,
      f'resources {sorted(resources)}')

# The icon group and images are the committed icon's, byte for byte; the
# file's entries agree up to the byte count, and its offsets become ids.
file, group = ico.read_bytes(), resources.get((14, 1, 0), b'')
check(file[4:6] == b'\x09\0' and len(group) == 6 + 14 * 9 and group[:6] == file[:6], 'icon group')
for i in range(9):
    size, offset = struct.unpack_from('<II', file, 6 + 16 * i + 8)
    check(group[6 + 14 * i:18 + 14 * i] == file[6 + 16 * i:18 + 16 * i]
          and group[18 + 14 * i:20 + 14 * i] == struct.pack('<H', 30001 + i)
          and resources.get((3, 30001 + i, 0)) == file[offset:offset + size], f'icon image {i + 1}')

# The manifest asks only to run as the user: its elements, without attributes
# or text, and the one attribute that counts.
manifest = resources.get((24, 1, 0), b'').decode()
check(''.join(e + '>' for e in re.findall(r'<.[^ />]*', manifest)) ==
      '<?xml><assembly><trustInfo><security><requestedPrivileges><requestedExecutionLevel>'
      '</requestedPrivileges></security></trustInfo></assembly>'
      and 'level="asInvoker"' in manifest, 'manifest')

# The fixed part, then one string table, in U.S. English and Unicode, as the
# translation says; a second one would be seen by no reader that follows the
# translation.
fixed = pe.VS_FIXEDFILEINFO[0]
check([fixed.Signature, fixed.StrucVersion, fixed.FileVersionMS, fixed.FileVersionLS,
       fixed.ProductVersionMS, fixed.ProductVersionLS, fixed.FileFlagsMask, fixed.FileFlags,
       fixed.FileOS, fixed.FileType, fixed.FileSubtype, fixed.FileDateMS, fixed.FileDateLS] ==
      [0xFEEF04BD, 0x10000, 0x20000, 2, 0x20000, 2, 0, 0, 4, 1, 0, 0, 0], 'fixed version')
blocks = [(block.Key, [table.LangID for table in getattr(block, 'StringTable', [])] +
           [var.entry for var in getattr(block, 'Var', [])]) for block in pe.FileInfo[0]]
check(blocks == [(b'VarFileInfo', [{b'Translation': '0x0409 0x04b0'}]),
                 (b'StringFileInfo', [b'040904B0'])], f'version blocks {blocks}')
strings = {'Comments': 'Quorvel - PT', 'CompanyName': 'The Quorvel developers',
           'FileDescription': 'Quorvel inicia quando a USB Pen \u00E9 inserida',
           'LegalCopyright': 'Copyright \u00A9 2026 The Quorvel developers',
           'LegalTrademarks': 'Quorvel is not a registered trademark', 'ProductName': 'Quorvel',
           'FileVersion': '2.00.0002', 'ProductVersion': '2.00.0002', 'InternalName': 'Quorvel',
           'OriginalFilename': 'Quorvel.exe'}
found = [(key.decode(), value.decode()) for block in pe.FileInfo[0]
         for table in getattr(block, 'StringTable', []) for key, value in table.entries.items()]
check(found == list(strings.items()), f'version strings {found}')

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
