#!/usr/bin/env python3
"""The DLL a player installs, read from its PE headers: no exports, imports
only of the listed functions that Windows XP SP3 has and none of the functions
that heuristic scanners flag, headers that every Windows from XP SP3 on loads,
no thread-local variables, within the size limit, stripped with its debug file
beside it, and a version resource that says what it is.

    dll_file_test.py DLL
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'tools'))
from pe_image import Image, file_crc  # noqa: E402

SIZE_LIMIT = 96 * 1024
# Every function the DLL may import, by DLL and by what needs it. Each one is
# in Windows XP SP3, the oldest Windows the module runs on: an import XP
# lacks stops the DLL from loading there at all, before it can say a word.
# Wine cannot catch that, since its DLLs export every function whatever
# Windows it imitates. A new import is added here on purpose, with what needs
# it, once it is known that XP SP3 has it.
XP_SP3_IMPORTS = {
    'kernel32.dll': {
        'script threads and their turn events': [
            'CloseHandle', 'CreateEventA', 'CreateThread', 'ExitThread', 'SetEvent', 'WaitForSingleObject'],
        'the late turns\' share of the bound, in ms (GetTickCount64 came only with Vista)': ['GetTickCount'],
        'a script thread finding its own record (TlsAlloc slots work on XP)': ['TlsAlloc', 'TlsGetValue', 'TlsSetValue'],
        'reading and patching the game\'s code': ['FlushInstructionCache', 'GetCurrentProcess', 'VirtualProtect',
                                                 'VirtualQuery'],
        'telling the game\'s program from other modules, naming them, pinning them and itself': [
            'GetModuleFileNameA', 'GetModuleHandleExW'],
        'the one line the module says when it loads': ['OutputDebugStringA'],
        'the runtime\'s DLL start-up and its thread-local support': [
            'DeleteCriticalSection', 'EnterCriticalSection', 'GetLastError', 'InitializeCriticalSection',
            'LeaveCriticalSection', 'Sleep'],
    },
    'user32.dll': {
        'the studio\'s keyboard polls': ['GetAsyncKeyState'],
    },
    'msvcrt.dll': {
        'the runtime\'s DLL start-up': ['_amsg_exit', '_initterm', '_lock', '_unlock', 'abort'],
        'the module\'s allocations': ['calloc', 'free', 'malloc', 'realloc'],
        'memory and string routines': ['memcpy', 'strlen', 'strncmp'],
        'checking the game\'s code before and after a patch': ['memcmp'],
        'the runtime\'s own error messages': ['_iob', 'fwrite', 'vfprintf'],
    },
}
# Windows XP is 5.1: an image that asks for a later one does not load there.
OLDEST_WINDOWS = (5, 1)
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x100
# The runtime's own TLS directory holds its start and end markers, 4 bytes;
# a thread-local variable would add to them, or, as GCC lays them out here,
# come as an emulated one, which XP does not load either.
RUNTIME_TLS_BYTES = 4
FLAGGED_FUNCTIONS = {'SuspendThread', 'ResumeThread', 'GetThreadContext', 'SetThreadContext', 'OpenProcess',
                     'DuplicateHandle', 'AddVectoredExceptionHandler', 'SetProcessAffinityMask'}
VERSION_STRINGS = {'ProductName': 'Brindle Studios', 'FileVersion': '1.1.0.0', 'ProductVersion': '1.1.0.0'}
EXPORT, IMPORT, RESOURCE, TLS = 0, 1, 2, 9
RT_VERSION = 16


def exported_names(image):
    rva, size = image.directory(EXPORT)
    if size == 0:
        return 0, 0
    functions, names = struct.unpack_from('<II', image.data, image.offset(rva) + 20)
    return functions, names


def imports(image):
    """{dll: [function names]} from the import descriptors."""
    rva, size = image.directory(IMPORT)
    found = {}
    at = image.offset(rva)
    while True:
        original_thunks, _, _, name, thunks = struct.unpack_from('<IIIII', image.data, at)
        if name == 0:
            return found
        functions = found.setdefault(image.string(name), [])
        thunk = image.offset(original_thunks or thunks)
        while True:
            entry = struct.unpack_from('<I', image.data, thunk)[0]
            if entry == 0:
                break
            functions.append('#%d' % (entry & 0xFFFF) if entry & 0x80000000 else image.string(entry + 2))
            thunk += 4
        at += 20


def import_problems(imported):
    problems = []
    for dll, called in sorted(imported.items()):
        allowed = XP_SP3_IMPORTS.get(dll.lower())
        if allowed is None:
            problems.append('imports from %s: %s' % (dll, ', '.join(called)))
            continue
        flagged = sorted(FLAGGED_FUNCTIONS.intersection(called))
        if flagged:
            problems.append('imports %s from %s' % (', '.join(flagged), dll))
        listed = {function for functions in allowed.values() for function in functions}
        unlisted = sorted(set(called) - listed - FLAGGED_FUNCTIONS)
        if unlisted:
            problems.append('imports %s from %s, not in the list of functions Windows XP SP3 has' %
                            (', '.join(unlisted), dll))
    return problems


def every_windows_problems(image, debug_image):
    """What would keep the DLL from loading, or from working, on an older Windows."""
    problems = []
    for what, version in (('OS', image.os_version), ('subsystem', image.subsystem_version)):
        if version > OLDEST_WINDOWS:
            problems.append('asks for %s version %d.%d, over %d.%d (Windows XP)' % ((what,) + version + OLDEST_WINDOWS))
    if not image.dll_characteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT:
        problems.append('not marked compatible with no-execute memory (NX_COMPAT)')
    rva, size = image.directory(TLS)
    if size:
        start, end, _, _, zero_fill = struct.unpack_from('<IIIII', image.data, image.offset(rva))
        if end - start + zero_fill > RUNTIME_TLS_BYTES:
            problems.append('has %d bytes of thread-local data, over the runtime\'s own %d' %
                            (end - start + zero_fill, RUNTIME_TLS_BYTES))
    if debug_image is not None:
        emulated = sorted(name for name in debug_image.symbol_names() if name.startswith('___emutls_v.'))
        if emulated:
            problems.append('has thread-local variables: %s' % ', '.join(name[12:] for name in emulated))
    return problems


def version_resource(image):
    """The bytes of the RT_VERSION resource: type, then first name, then first language."""
    rva, size = image.directory(RESOURCE)
    if size == 0:
        return None
    base = image.offset(rva)

    def entries(directory):
        named, numbered = struct.unpack_from('<HH', image.data, directory + 12)
        return [struct.unpack_from('<II', image.data, directory + 16 + 8 * n) for n in range(named + numbered)]

    for ident, target in entries(base):
        if ident == RT_VERSION:
            name = entries(base + (target & 0x7FFFFFFF))[0][1]
            language = entries(base + (name & 0x7FFFFFFF))[0][1]
            data_rva, data_size = struct.unpack_from('<II', image.data, base + language)
            at = image.offset(data_rva)
            return image.data[at:at + data_size]
    return None


def version_blocks(block):
    """Walks a VS_VERSIONINFO block: yields (key, value bytes, is text) for every block within."""
    length, value_length, is_text = struct.unpack_from('<HHH', block, 0)
    key_end = 6
    while block[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = block[6:key_end].decode('utf-16-le')
    at = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if is_text else value_length
    yield key, block[at:at + value_bytes], is_text
    at = (at + value_bytes + 3) & ~3
    while at < length:
        child_length = struct.unpack_from('<H', block, at)[0]
        if child_length == 0:
            break
        yield from version_blocks(block[at:at + child_length])
        at = (at + child_length + 3) & ~3


def check(path):
    problems = []
    with open(path, 'rb') as f:
        data = f.read()
    image = Image(data)

    functions, names = exported_names(image)
    if functions or names:
        problems.append('exports %d functions, %d names' % (functions, names))

    problems += import_problems(imports(image))

    if len(data) > SIZE_LIMIT:
        problems.append('%d bytes, over %d' % (len(data), SIZE_LIMIT))

    if image.symbol_count:
        problems.append('keeps a symbol table of %d symbols' % image.symbol_count)
    debug_sections = [section.name for section in image.sections if section.name.startswith('.debug')]
    if debug_sections:
        problems.append('keeps debug sections: %s' % ', '.join(debug_sections))
    link = image.debug_link()
    debug_image = None
    if link is None:
        problems.append('no debug link')
    else:
        name, crc = link
        debug_file = os.path.join(os.path.dirname(path), name)
        if name != os.path.basename(path) + '.debug':
            problems.append('the debug link names %s' % name)
        elif not os.path.exists(debug_file):
            problems.append('%s is not beside the DLL' % name)
        elif file_crc(debug_file) != crc:
            problems.append('%s is not the debug file of this build' % name)
        else:
            with open(debug_file, 'rb') as f:
                debug_image = Image(f.read())
    problems += every_windows_problems(image, debug_image)

    resource = version_resource(image)
    if resource is None:
        problems.append('no version resource')
    else:
        found = {}
        fixed = None
        for key, value, is_text in version_blocks(resource):
            if key == 'VS_VERSION_INFO':
                fixed = value
            elif is_text and value:
                found[key] = value.decode('utf-16-le').rstrip('\0')
        for key, expected in VERSION_STRINGS.items():
            if found.get(key) != expected:
                problems.append('version resource %s is %r, not %r' % (key, found.get(key), expected))
        if not found.get('FileDescription'):
            problems.append('version resource has no FileDescription')
        if fixed is None or struct.unpack_from('<I', fixed, 0)[0] != 0xFEEF04BD:
            problems.append('version resource has no fixed file information')
        else:
            file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<IIII', fixed, 8)
            for what, ms, ls in (('file', file_ms, file_ls), ('product', product_ms, product_ls)):
                if (ms, ls) != (0x00010001, 0):
                    problems.append('%s version %d.%d.%d.%d, not 1.1.0.0' % (what, ms >> 16, ms & 0xFFFF,
                                                                             ls >> 16, ls & 0xFFFF))
    return problems


def main():
    path = sys.argv[1]
    problems = check(path)
    for problem in problems:
        print('%s: %s' % (os.path.basename(path), problem))
    if problems:
        return 1
    with open(path, 'rb') as f:
        imported = imports(Image(f.read()))
    print('%s: %d bytes, no exports; imports %s' % (
        os.path.basename(path), os.path.getsize(path),
        '; '.join('%s: %s' % (dll, ', '.join(called)) for dll, called in sorted(imported.items()))))
    return 0


if __name__ == '__main__':
    sys.exit(main())
