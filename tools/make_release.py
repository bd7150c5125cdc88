#!/usr/bin/env python3
"""Makes the release a player installs: a zip with the module, READ ME.txt and
GAME KEYS.txt, the two documents with Windows line ends.

    make_release.py --dll DLL --game-keys PROGRAM --read-me FILE --out ZIP

DLL is the very file the Wine tests ran; PROGRAM writes GAME KEYS from the
module's key tables. The zip is read back and checked before it is kept.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile


def windows_lines(text):
    return text.replace('\r\n', '\n').replace('\n', '\r\n').encode('utf-8')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--dll', required=True)
    parser.add_argument('--game-keys', required=True)
    parser.add_argument('--read-me', required=True)
    parser.add_argument('--out', required=True)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        keys_path = os.path.join(scratch, 'game_keys.txt')
        subprocess.run([args.game_keys, keys_path], check=True)
        with open(keys_path, encoding='utf-8') as f:
            game_keys = windows_lines(f.read())
    with open(args.read_me, encoding='utf-8') as f:
        read_me = windows_lines(f.read())
    with open(args.dll, 'rb') as f:
        dll = f.read()

    # Every entry carries the module's build time.
    stamp = time.localtime(os.path.getmtime(args.dll))[:6]
    entries = [('brindle_studios.dll', dll), ('READ ME.txt', read_me), ('GAME KEYS.txt', game_keys)]
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + '.partial'
    with zipfile.ZipFile(partial, 'w', zipfile.ZIP_DEFLATED) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)

    with zipfile.ZipFile(partial) as archive:
        names = archive.namelist()
        problems = [] if names == [n for n, _ in entries] else ['entries %s' % names]
        if archive.read('brindle_studios.dll') != dll:
            problems.append('the DLL differs from the tested one')
        for name in ('READ ME.txt', 'GAME KEYS.txt'):
            text = archive.read(name)
            if text.count(b'\n') != text.count(b'\r\n') or not text.endswith(b'\r\n'):
                problems.append('%s has line ends other than CR LF' % name)
    if problems:
        os.remove(partial)
        print('make_release: ' + '; '.join(problems), file=sys.stderr)
        return 1
    os.replace(partial, args.out)
    print('release: %s' % args.out)
    return 0


if __name__ == '__main__':
    sys.exit(main())
