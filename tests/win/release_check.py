#!/usr/bin/python3
# Quorvel.exe as the system sees it before it runs (header, exploit
# mitigations, imports, resources, version block, manifest, application
# icon), read with pefile and the toolchain's objdump; then the release made
# from it: the zip holds exactly the program and the sample message (UTF-8
# with a byte-order mark), at its root, in that order, byte for byte, and
# SHA256SUMS beside it gives the hashes of the zip and of the program. Where
# the build attaches a published signature (QUORVEL_SIGNATURE), the image
# checked is the signed one that the zip holds, and SHA256SUMS also covers it
# and the signature.
#   release_check.py <cmake> <objdump> <build folder> <committed quorvel.ico> <sample mensagem.txt>
import collections, hashlib, itertools, re, struct, subprocess, sys, zipfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import pefile

cmake, objdump, build, ico, sample = sys.argv[1], sys.argv[2], *map(Path, sys.argv[3:6])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


signing = re.search(r'^QUORVEL_SIGNATURE:\w+=(.+)$', (build / 'CMakeCache.txt').read_text(), re.M)
image = build / 'signed/Quorvel.exe' if signing else build / 'Quorvel.exe'
if signing:
    subprocess.run([cmake, '--build', build, '--target', 'package'], check=True)
exe = image.read_bytes()
pe = pefile.PE(data=exe)
check(not pe.get_warnings(), f'a malformed image: {pe.get_warnings()}')
header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
check(header.Machine == 0x14C, 'not a 32-bit x86 image')
check((optional.MajorImageVersion, optional.MinorImageVersion, optional.Subsystem,
       optional.MajorSubsystemVersion, optional.MinorSubsystemVersion) == (2, 0, 2, 6, 1),
      'not image version 2.0 of a windowed program for Windows 7 (subsystem 6.01)')
# Copied to the page file when started from a pen or a share.
check(header.Characteristics & 0xC00 == 0xC00, 'not marked to run from swap')
check(optional.CheckSum == pe.generate_checksum(), 'the checksum is out of date')

# Only these libraries, all of which the system loads from its own folder;
# the shell and the common controls are loaded at run time, from there.
imports = {entry.dll.decode().lower(): {item.name: item.address for item in entry.imports}
           for entry in pe.DIRECTORY_ENTRY_IMPORT}
check(set(imports) == {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'ole32.dll', 'oleaut32.dll',
                       'msvcrt.dll'}, f'imports {sorted(imports)}')

# Mitigations that Windows applies only when the image asks for them:
# DYNAMIC_BASE (with the relocations to move it), NX_COMPAT, NO_SEH and
# TERMINAL_SERVER_AWARE; and no section both writable and executable.
check(optional.DllCharacteristics & 0x8540 == 0x8540 and optional.DATA_DIRECTORY[5].Size > 0,
      f'mitigation flags {optional.DllCharacteristics:#06x}')
check(not [s.Name for s in pe.sections if s.Characteristics & 0xA0000000 == 0xA0000000],
      'a section is writable and executable')
code = subprocess.run([objdump, '-d', '--no-show-raw-insn', image], check=True,
                      capture_output=True, text=True).stdout
listing = re.findall(r'^ *([0-9a-f]+):\t(.*?) *$', code, re.M)
# NO_SEH holds while the image registers no handler of its own: nothing
# writes the thread's handler list (fs:[0]) or any other fs: word, nor
# pushes fs:[0] to link a record, and no handler of the C runtime is
# imported.
check(not [i for _, i in listing if re.search(r'%fs:[^,]*$', i)]
      and not [name for names in imports.values() for name in names
               if name and (b'except_handler' in name or name == b'__C_specific_handler')],
      'the image registers an exception handler')
# Stack protection: functions compare the canary in their frame with one
# guard word and call one function on a mismatch, which ends the process
# before it calls anything else (GetCurrentProcess aside): no handler and no
# box runs on a smashed stack.
sites = collections.Counter(re.findall(
    r'\tsub +0x([0-9a-f]+),%e\w\w\n.*\tje +\S+\n.*\tcall +0x([0-9a-f]+)$', code, re.M))
(_, fail), count = sites.most_common(1)[0] if sites else (('', ''), 0)
calls = [i.split()[-1] for _, i in [*itertools.dropwhile(lambda at: at[0] != fail, listing)][:10]
         if 'call' in i]
ending = [f'*0x{imports["kernel32.dll"].get(name, 0):x}' for name in (b'GetCurrentProcess',
                                                                      b'TerminateProcess')]
check(count >= 20 and calls[:2] == ending, f'stack protection: {count} checked frames, {calls[:2]}')

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

# The manifest asks to run as the user and to draw at each monitor's DPI.
# Windows refuses to start a program whose manifest it cannot read, and Wine
# reads almost anything, so the manifest as canonical XML (namespaces
# resolved, comments and the space between elements left out) holds just these
# elements and attributes, spelt as Microsoft's "Application manifests" spells
# them; dpiAware (@1) and the list in dpiAwareness, of which Windows takes the
# first item that it knows (@2), say what it documents. XML that does not
# parse ends the check with the parser's message.
allowed = re.escape(
    '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">'
    '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges>'
    '<requestedExecutionLevel level="asInvoker" uiAccess="false"></requestedExecutionLevel>'
    '</requestedPrivileges></security></trustInfo>'
    '<application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings>'
    '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">@1</dpiAware>'
    '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">@2</dpiAwareness>'
    '</windowsSettings></application></assembly>').replace('@1', '(true|false|true/pm|per monitor)')
allowed = allowed.replace('@2', '{0}(, ?{0})*'.format('(unaware|system|PerMonitor|PerMonitorV2)'))
manifest = ElementTree.canonicalize(resources.get((24, 1, 0), b''), strip_text=True)
check(re.fullmatch(allowed, manifest), f'manifest not as documented: {manifest}')

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
# (Quorvel-tests.zip beside it is the test kit, no part of the release.)
check([p.name for p in build.glob('*.zip') if p.name != 'Quorvel-tests.zip'] == [name],
      'the package target made another zip')
with zipfile.ZipFile(build / name) as packed:
    check(packed.namelist() == ['Quorvel.exe', 'mensagem.txt'] and packed.read('Quorvel.exe') == exe
          and packed.read('mensagem.txt') == sample.read_bytes(), 'the zip holds something else')
check(sample.read_bytes().startswith(b'\xEF\xBB\xBF') and sample.read_text('utf-8'),
      'the sample message is not UTF-8 with a byte-order mark')
signed = ['Quorvel.exe', 'Quorvel.exe.p7s'] if signing else []
check(not signing or optional.DATA_DIRECTORY[4].Size, 'the signed image carries no signature')
sums = ''.join(f'{hashlib.sha256((build / file).read_bytes()).hexdigest()}  {file}\n'
               for file in [name, 'Quorvel.exe', *['signed/' + file for file in signed]])
check((build / 'SHA256SUMS').read_text() == sums, 'SHA256SUMS does not match')
print('\n'.join(failures) or 'Quorvel.exe and its release are as they should be')
sys.exit(1 if failures else 0)
