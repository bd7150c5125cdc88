#!/usr/bin/env python3
"""The release comes out byte for byte the same from the same sources: the DLL
target built a second time, from a copy of the sources at another path into
another build folder, later, and the release made from each build (the
second in another time zone) give the same zip, DLL, debug file and
SHA256SUMS; and `sha256sum -c` reads the sums.

    reproducible_release_test.py DLL GAME-KEYS-PROGRAM

DLL is this build's (its debug file beside it); GAME-KEYS-PROGRAM the native
build's game_keys, which both releases share.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, 'tools'))
from pe_image import Image  # noqa: E402

VERSION = '1.1'
# What a build leaves in the source tree, and git's own folder: not sources.
NOT_SOURCES = {'build', 'dist', 'takes', '.git'}
# Fourteen hours ahead of UTC (a POSIX zone, no zone files needed), so that
# local time would show.
OTHER_TIME_ZONE = 'UTC-14'


def run(command, **options):
    done = subprocess.run(command, capture_output=True, text=True, **options)
    if done.returncode != 0:
        sys.exit('%s failed:\n%s%s' % (' '.join(command), done.stdout, done.stderr))


def make_release(dll, read_me, game_keys, dist, **options):
    run([sys.executable, os.path.join(ROOT, 'tools', 'make_release.py'), '--dll', dll, '--game-keys', game_keys,
         '--read-me', read_me, '--version', VERSION, '--dist', dist], **options)


def pe_fields(data):
    """{file offset: field} for the fields that a build time, or another debug file, changes."""
    image = Image(data)
    fields = {image.pe + 8 + n: 'the COFF time stamp' for n in range(4)}
    fields.update({image.pe + 88 + n: 'the header checksum' for n in range(4)})
    export_rva, export_size = image.directory(0)
    if export_size:
        fields.update({image.offset(export_rva) + 4 + n: 'the export directory\'s time stamp' for n in range(4)})
    link = image.debug_link()
    if link:
        at = next(s.raw_offset for s in image.sections if s.name == '.gnu_debuglink') + ((len(link[0]) + 4) & ~3)
        fields.update({at + n: 'the debug link\'s CRC' for n in range(4)})
    return fields


def differences(name, first, second, paths):
    """What differs between two builds' bytes of one file, in words."""
    with open(first, 'rb') as f:
        a = f.read()
    with open(second, 'rb') as f:
        b = f.read()
    if a == b:
        return []
    found = ['%s: %d and %d bytes' % (name, len(a), len(b))] if len(a) != len(b) else []
    offsets = [n for n in range(min(len(a), len(b))) if a[n] != b[n]]
    if offsets:
        fields = pe_fields(a) if a[:2] == b'MZ' else {}
        found.append('%s: %d bytes differ, at %s' % (name, len(offsets), ', '.join(
            '%d%s' % (n, ' (%s)' % fields[n] if n in fields else '') for n in offsets[:12])))
    for path in paths:
        for data, build in ((a, 'first'), (b, 'second')):
            if path.encode() in data:
                found.append('%s of the %s build holds the path %s' % (name, build, path))
    if name.endswith('.zip'):
        for entry_a, entry_b in zip(zipfile.ZipFile(first).infolist(), zipfile.ZipFile(second).infolist()):
            for field in ('filename', 'date_time', 'external_attr', 'create_system'):
                if getattr(entry_a, field) != getattr(entry_b, field):
                    found.append('%s: %s of %s: %r and %r' % (name, field, entry_a.filename,
                                                             getattr(entry_a, field), getattr(entry_b, field)))
    return found


def main():
    dll, game_keys = (os.path.abspath(path) for path in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as scratch:
        first_dist = os.path.join(scratch, 'first')
        make_release(dll, os.path.join(ROOT, 'tools', 'release', 'read_me.txt'), game_keys, first_dist)

        # Fresh files at another path: what a second checkout is.
        sources = os.path.join(scratch, 'another-checkout')
        shutil.copytree(ROOT, sources, copy_function=shutil.copy, symlinks=True,
                        ignore=lambda folder, names: NOT_SOURCES.intersection(names) if folder == ROOT else [])
        build = os.path.join(scratch, 'another-build')
        run(['cmake', '--preset', 'win32', '-B', build], cwd=sources)
        run(['cmake', '--build', build, '--target', 'brindle_studios', '-j', '1'])
        second_dist = os.path.join(scratch, 'second')
        make_release(os.path.join(build, 'bin', 'brindle_studios.dll'),
                     os.path.join(sources, 'tools', 'release', 'read_me.txt'), game_keys, second_dist,
                     env=dict(os.environ, TZ=OTHER_TIME_ZONE))

        paths = [ROOT, os.path.dirname(os.path.dirname(dll)), sources, build]
        found = []
        for name in sorted(os.listdir(first_dist)):
            found += differences(name, os.path.join(first_dist, name), os.path.join(second_dist, name), paths)
        check = subprocess.run(['sha256sum', '-c', 'SHA256SUMS'], cwd=first_dist, capture_output=True, text=True)
        if check.returncode != 0:
            found.append('sha256sum -c SHA256SUMS: %s%s' % (check.stdout, check.stderr))
        for line in found:
            print(line)
        if found:
            return 1
        print('the same bytes from both builds: %s' % ', '.join(sorted(os.listdir(first_dist))))
        print(check.stdout, end='')
    return 0


if __name__ == '__main__':
    sys.exit(main())
