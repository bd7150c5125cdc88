#!/usr/bin/env python3
"""tools/crash_address against the built DLL: the fault offsets of known
functions, the hooks among them, read back to their own source files; an
inlined call shown with the function it was inlined into; an offset outside
the code and the debug file of another build refused.

    crash_address_test.py DLL

Addresses come from the debug file's symbol table and the DLL's headers as
binutils prints them, apart from the tool's own reading.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOL = os.path.join(ROOT, 'tools', 'crash_address')

# The function as the source names it, and its file.
KNOWN_FUNCTIONS = [
    ('ScriptTick',     'script/scheduler.cpp'),
    ('TextLookupHook', 'host/win32/text_lookup_hook.cpp'),
    ('ShutdownHook',   'host/win32/shutdown_hook.cpp'),
    ('ReinitHook',     'host/win32/reinit_hook.cpp'),
    ('DllMain',        'dll/dll_main.cpp'),
    ('CallCommand',    'script/command.cpp'),
    ('StudioThread',   'scripts/studio_thread.cpp'),
]
# A static function called once, which the compiler inlines into its caller.
INLINED, INLINED_INTO = 'AttachToHost', 'DllMain'

failures = []


def check(condition, what, seen=''):
    print(('ok    ' if condition else 'FAIL  ') + what + ('' if condition else ': %r' % seen), flush=True)
    if not condition:
        failures.append(what)


def binutils(tool, *args):
    return subprocess.run(['i686-w64-mingw32-' + tool] + list(args), capture_output=True, text=True,
                          check=True).stdout


def crash_address(*args):
    return subprocess.run([TOOL] + list(args), capture_output=True, text=True)


def function_addresses(debug_file):
    """{function: address} for the known functions: a C name (DllMain@12) or a
    mangled one (__Z14TextLookupHookv, @_Z10ScriptTickP10HostScript@4)."""
    found = {}
    for line in binutils('nm', '--defined-only', debug_file).splitlines():
        address, kind, name = line.split(None, 2)
        for function, _ in KNOWN_FUNCTIONS:
            if kind in 'Tt' and re.match(r'^[_@]*(Z%d%s[^@]*|%s)(@\d+)?$' % (len(function), function, function), name):
                found[function] = int(address, 16)
    return found


def frames(output):
    """[(function, file)] from the tool's lines, the innermost first."""
    return re.findall(r'^  (?:inlined into )?(\S+?)(?:\(.*\))? at (\S+?):\d+', output, re.MULTILINE)


def main():
    dll = sys.argv[1]
    debug_file = dll + '.debug'
    headers = binutils('objdump', '-p', '-h', dll)
    base = int(re.search(r'^ImageBase\s+(\w+)', headers, re.MULTILINE).group(1), 16)
    image_size = int(re.search(r'^SizeOfImage\s+(\w+)', headers, re.MULTILINE).group(1), 16)
    text_size, text_start = (int(v, 16) for v in re.search(r'\.text\s+(\w+)\s+(\w+)', headers).groups())

    addresses = function_addresses(debug_file)
    for function, source in KNOWN_FUNCTIONS:
        if function not in addresses:
            check(False, '%s is in the debug file\'s symbols' % function)
            continue
        offset = addresses[function] - base
        done = crash_address('%x' % offset, debug_file, '--dll', dll)
        check(done.returncode == 0 and frames(done.stdout)[-1:] == [(function, source)],
              'offset 0x%x is %s in %s' % (offset, function, source), done.stdout + done.stderr)

    # The first address of DllMain's code at which addr2line sees the inlined call.
    start = addresses.get(INLINED_INTO, base)
    candidates = ['0x%x' % a for a in range(start, start + 0x200)]
    listing = binutils('addr2line', '-a', '-f', '-i', '-e', debug_file, *candidates)
    inlined_at = re.search(r'^0x0*(\w+)\n%s\n' % INLINED, listing, re.MULTILINE)
    check(inlined_at is not None, '%s is inlined into %s' % (INLINED, INLINED_INTO))
    if inlined_at:
        offset = int(inlined_at.group(1), 16) - base
        done = crash_address('0x%x' % offset, debug_file, '--dll', dll)
        check(frames(done.stdout) == [(INLINED, 'dll/dll_main.cpp'), (INLINED_INTO, 'dll/dll_main.cpp')],
              'offset 0x%x shows %s inlined into %s' % (offset, INLINED, INLINED_INTO), done.stdout)

    for offset, where in ((text_start + text_size - base, 'in its .text section, after the code'),
                          (image_size, 'past the end of the module'),
                          (0x10, 'in its headers')):
        done = crash_address('%x' % offset, debug_file, '--dll', dll)
        check(done.returncode == 1 and done.stdout == '' and 'not in the module\'s code' in done.stderr
              and where in done.stderr, 'offset 0x%x is refused as %s' % (offset, where), done.stderr)

    # Another build of the same code: a time stamp in its header, and nothing else different.
    with tempfile.TemporaryDirectory() as folder:
        other = os.path.join(folder, 'brindle_studios.dll.debug')
        shutil.copyfile(debug_file, other)
        with open(other, 'r+b') as f:
            pe = struct.unpack('<I', f.read(0x40)[0x3C:])[0]
            f.seek(pe + 8)
            f.write(struct.pack('<I', 0x5F000000))
        offset = addresses.get('ScriptTick', base) - base
        done = crash_address('%x' % offset, other, '--dll', dll)
        check(done.returncode == 1 and done.stdout == '' and 'is not the debug file of' in done.stderr,
              'the debug file of another build is refused', done.stdout + done.stderr)

    print('%d failed' % len(failures) if failures else 'all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
