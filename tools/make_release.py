#!/usr/bin/env python3
"""Makes the release: the zip a player installs (the module, READ ME.txt and
GAME KEYS.txt, the two documents with Windows line ends), and beside it the
DLL itself, its debug file named with the version, and SHA256SUMS over all
three, for `sha256sum -c SHA256SUMS`.

    make_release.py --dll DLL --game-keys PROGRAM --read-me FILE --version V --dist DIR

DLL is the very file the Wine tests ran, its debug file (DLL.debug) beside it;
PROGRAM writes GAME KEYS from the module's key tables. The same sources give
the same bytes: the zip's entries come in a fixed order, with fixed
permissions and the last commit's date. The zip is read back and checked,
and the debug file held to the DLL's debug link, before anything is kept.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from pe_image import file_crc, read_image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The earliest time a zip entry can hold.
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)


def windows_lines(text):
    return text.replace('\r\n', '\n').replace('\n', '\r\n').encode('utf-8')


def release_time():
    """The last commit's date, in UTC; without git, SOURCE_DATE_EPOCH, or the zip epoch."""
    try:
        done = subprocess.run(['git', '-C', ROOT, 'log', '-1', '--format=%ct'], capture_output=True, text=True)
        seconds = done.stdout.strip() if done.returncode == 0 else ''
    except OSError:
        seconds = ''
    seconds = seconds or os.environ.get('SOURCE_DATE_EPOCH', '')
    return max(time.gmtime(int(seconds))[:6], ZIP_EPOCH) if seconds else ZIP_EPOCH


def write_zip(path, entries):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
        stamp = release_time()
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            # Unix permissions, whichever system makes the zip: a regular file, rw-r--r--.
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            archive.writestr(info, data)


def zip_problems(path, entries):
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        problems = [] if names == [n for n, _ in entries] else ['entries %s' % names]
        if archive.read('brindle_studios.dll') != dict(entries)['brindle_studios.dll']:
            problems.append('the DLL differs from the tested one')
        for name in ('READ ME.txt', 'GAME KEYS.txt'):
            text = archive.read(name)
            if text.count(b'\n') != text.count(b'\r\n') or not text.endswith(b'\r\n'):
                problems.append('%s has line ends other than CR LF' % name)
    return problems


def sha256(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--dll', required=True)
    parser.add_argument('--game-keys', required=True)
    parser.add_argument('--read-me', required=True)
    parser.add_argument('--version', required=True)
    parser.add_argument('--dist', required=True)
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
    debug_file = args.dll + '.debug'

    zip_name = 'BrindleStudios-%s-win32.zip' % args.version
    copies = {'brindle_studios.dll': args.dll, 'brindle_studios-%s.dll.debug' % args.version: debug_file}
    released = [zip_name] + list(copies) + ['SHA256SUMS']
    entries = [('brindle_studios.dll', dll), ('READ ME.txt', read_me), ('GAME KEYS.txt', game_keys)]
    os.makedirs(args.dist, exist_ok=True)
    # Made apart, in the folder itself so that each file moves in whole.
    with tempfile.TemporaryDirectory(dir=args.dist) as staging:
        write_zip(os.path.join(staging, zip_name), entries)
        problems = zip_problems(os.path.join(staging, zip_name), entries)
        if read_image(args.dll).debug_link()[1] != file_crc(debug_file):
            problems.append('%s is not the debug file of %s' % (debug_file, args.dll))
        if problems:
            print('make_release: ' + '; '.join(problems), file=sys.stderr)
            return 1
        for name, source in copies.items():
            shutil.copyfile(source, os.path.join(staging, name))
        with open(os.path.join(staging, 'SHA256SUMS'), 'w') as sums:
            for name in released[:-1]:
                sums.write('%s  %s\n' % (sha256(os.path.join(staging, name)), name))
        for name in released:
            os.replace(os.path.join(staging, name), os.path.join(args.dist, name))
    print('release: %s' % ', '.join(os.path.join(args.dist, name) for name in released))
    return 0


if __name__ == '__main__':
    sys.exit(main())
