#!/usr/bin/env python3
"""The studio window under Xvfb, driven with xdotool as a player would.

Walks the player to the blue arrow, holds Space through the tutorial, then
Insert + T, Insert + 1 and Backspace, Group 4 (seen from nearer), and Car 1
told to drive (seen from further out, with a snapshot before and after);
takes screenshots of the X display
along the way (kept as PNG files in --out) and checks them and the trace the
window wrote. Last, the take the window recorded is replayed with hostsim and
must give the very same trace.

Exit 77 (skipped) only when Xvfb, xdotool or xwd is not installed.
"""
import argparse
import json
import math
import os
import shutil
import signal
import struct
import subprocess
import sys
import time
import zlib

SKIP = 77
VIEW_WIDTH = 900          # the game's picture; the side panel is to its right
LETTERBOX = 90
START_POINT = (1003.09, -456.49)


# --- Screenshots ---------------------------------------------------------------

class Shot:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels  # rows of (r, g, b)

    def at(self, x, y):
        return self.pixels[y][x]

    def region(self, x0, y0, x1, y1):
        return [self.pixels[y][x] for y in range(y0, y1) for x in range(x0, x1)]


def read_xwd(data):
    """A 24- or 32-bit ZPixmap XWD file, as xwd writes it for Xvfb's root."""
    (header_size, _version, _format, depth, width, height, _xoffset, byte_order, _unit, _unit_order, _pad,
     bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_rgb, _map_entries,
     colours) = struct.unpack('>20I', data[:80])[:20]
    if bits_per_pixel != 32:
        raise ValueError('xwd: %d bits a pixel' % bits_per_pixel)
    offset = header_size + colours * 12
    shifts = [(mask, (mask & -mask).bit_length() - 1) for mask in (red_mask, green_mask, blue_mask)]
    rows = []
    order = '<' if byte_order == 0 else '>'
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * 4]
        values = struct.unpack(order + '%dI' % width, line)
        rows.append([tuple((v & mask) >> shift for mask, shift in shifts) for v in values])
    return Shot(width, height, rows)


def write_png(shot, path):
    raw = b''.join(b'\0' + bytes(c for pixel in row for c in pixel) for row in shot.pixels)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', shot.width, shot.height, 8, 2, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 6)))
        f.write(chunk(b'IEND', b''))


# --- Checks ----------------------------------------------------------------------

failures = []


def check(condition, what):
    print(('ok    ' if condition else 'FAIL  ') + what, flush=True)
    if not condition:
        failures.append(what)


def is_black(pixel):
    return max(pixel) <= 8


def reddish(pixel):
    r, g, b = pixel
    return r > 170 and g < 110 and b < 110


def near(pixel, colour, slack=40):
    return all(abs(a - b) <= slack for a, b in zip(pixel, colour))


def count(pixels, test):
    return sum(1 for p in pixels if test(p))


# The window's paints: a ped, and a car by its model (model % 8).
PED_COLOUR = (236, 120, 72)
CAR_PAINTS = [(196, 48, 48), (48, 104, 196), (220, 220, 220), (60, 150, 80),
              (210, 170, 40), (120, 70, 160), (90, 90, 96), (200, 110, 40)]


def blobs(shot, x0, y0, x1, y1, test, smallest, thinned=0):
    """The connected shapes of pixels that pass the test, of at least `smallest` pixels, once
    thinned by `thinned` pixels all round (so that a heading's tip no longer joins a ped to
    the next one)."""
    passed = {(x, y) for y in range(y0, y1) for x in range(x0, x1) if test(shot.at(x, y))}
    reach = range(-thinned, thinned + 1)
    inside = {(x, y) for x, y in passed if all((x + dx, y + dy) in passed for dx in reach for dy in reach)}
    found = []
    while inside:
        todo = [inside.pop()]
        size = 0
        while todo:
            x, y = todo.pop()
            size += 1
            for neighbour in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if neighbour in inside:
                    inside.remove(neighbour)
                    todo.append(neighbour)
        if size >= smallest:
            found.append(size)
    return found


def paint_centre(shot, paint):
    """The middle of the pixels of a car's paint in the view, or None when it shows none."""
    points = [(x, y) for y in range(0, 720) for x in range(0, VIEW_WIDTH) if near(shot.at(x, y), paint, 12)]
    if len(points) < 60:
        return None
    return (sum(x for x, _ in points) / len(points), sum(y for _, y in points) / len(points))


# --- The session -------------------------------------------------------------------

class Session:
    def __init__(self, args):
        self.args = args
        self.display = None
        self.processes = []

    def start_xvfb(self):
        for number in range(71, 99):
            if os.path.exists('/tmp/.X11-unix/X%d' % number) or os.path.exists('/tmp/.X%d-lock' % number):
                continue
            process = subprocess.Popen(['Xvfb', ':%d' % number, '-screen', '0', '1280x720x24', '-nolisten', 'tcp'],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if os.path.exists('/tmp/.X11-unix/X%d' % number):
                    self.display = ':%d' % number
                    self.processes.append(process)
                    return
                if process.poll() is not None:
                    break
                time.sleep(0.1)
            process.kill()
        raise RuntimeError('no Xvfb display could be started')

    def env(self):
        env = dict(os.environ)
        env['DISPLAY'] = self.display
        return env

    def xdotool(self, *words):
        subprocess.run(['xdotool'] + list(words), env=self.env(), check=True)

    def shot(self, name):
        data = subprocess.run(['xwd', '-root', '-silent'], env=self.env(), check=True, stdout=subprocess.PIPE).stdout
        shot = read_xwd(data)
        write_png(shot, os.path.join(self.args.out, name + '.png'))
        return shot

    def hold(self, keys, seconds):
        for key in keys:
            self.xdotool('keydown', key)
        time.sleep(seconds)
        for key in reversed(keys):
            self.xdotool('keyup', key)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


def read_trace(path):
    with open(path) as f:
        return [json.loads(line) for line in f if line.strip()]


def texts(trace):
    return [r for r in trace if r['kind'] == 'text']


def first_text(trace, key):
    return next((r for r in texts(trace) if r['key'] == key), None)


def run(args, session):
    os.makedirs(args.out, exist_ok=True)
    trace_path = os.path.join(args.out, 'window-trace.jsonl')
    take_path = os.path.join(args.out, 'take.scn')
    snapshots_path = os.path.join(args.out, 'take-snapshots.jsonl')
    for path in (trace_path, take_path, snapshots_path):
        if os.path.exists(path):
            os.remove(path)
    session.start_xvfb()
    window = subprocess.Popen([args.window, '--trace', trace_path, '--take', take_path], env=session.env(),
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    session.processes.append(window)
    found = subprocess.run(['xdotool', 'search', '--sync', '--name', 'Brindle Studios'], env=session.env(),
                           stdout=subprocess.PIPE, timeout=30, check=True).stdout.split()
    # The host's time starts at the window's first frame, whose boot fills
    # the trace's first buffer at once; a busy machine may take seconds to
    # get there after the program starts.
    waited = time.monotonic()
    while not os.path.exists(trace_path) or os.path.getsize(trace_path) == 0:
        if time.monotonic() - waited > 60 or window.poll() is not None:
            raise RuntimeError('the window wrote no trace')
        time.sleep(0.02)
    started = time.monotonic()

    def at(seconds):
        """Sleeps until this many seconds of host time after the window's first frame."""
        time.sleep(max(0.0, started + seconds - time.monotonic()))

    window_id = found[0].decode()
    session.xdotool('mousemove', '450', '360')
    session.xdotool('windowfocus', '--sync', window_id)

    # The welcome cut-scene: black bars, the welcome texts as subtitles.
    at(7.0)
    shot = session.shot('1-welcome')
    check(all(is_black(p) for p in shot.region(0, 0, VIEW_WIDTH, LETTERBOX - 2)), 'cut-scene: the top letterbox bar is black')
    check(all(is_black(p) for p in shot.region(0, 720 - LETTERBOX + 2, VIEW_WIDTH, 720)), 'cut-scene: the bottom bar is black')
    subtitle = shot.region(40, 720 - LETTERBOX - 90, VIEW_WIDTH - 40, 720 - LETTERBOX - 4)
    check(count(subtitle, lambda p: min(p) > 200) > 300, 'cut-scene: a white subtitle above the bottom bar')
    check(count(shot.region(VIEW_WIDTH, 0, 1280, 720), lambda p: min(p) > 200) > 500, 'the side panel has text')

    # After the cut-scene the player faces east (heading 270) and the blue
    # arrow is 8.6 units west: walking backwards keeps the heading exact,
    # so only the walk's length counts (1.5 units either way, half a second).
    at(17.0)
    shot = session.shot('2-walk-start')
    check(count(shot.region(0, 0, VIEW_WIDTH, LETTERBOX - 2), lambda p: not is_black(p)) > 10000,
          'after the cut-scene the bars are gone')
    check(count(shot.region(10, 520, 200, 710), lambda p: near(p, (64, 132, 255), 30)) > 10,
          'the radar shows the blue arrow')
    session.hold(['Down'], 2.87)
    # Space held from the arrival through the invitation skips the tutorial.
    session.xdotool('keydown', 'space')
    time.sleep(1.0)
    session.shot('3-studio-title')
    time.sleep(6.0)
    session.xdotool('keyup', 'space')
    time.sleep(2.5)
    session.shot('4-main-loop')

    # A quarter turn to the left: the ped made next stands to the north.
    session.hold(['Left'], 1.0)
    # Held for more than one pass of the main loop (about 600 ms).
    session.hold(['Insert', 't'], 1.0)
    time.sleep(0.4)
    shot = session.shot('5-texts-on')
    subtitle = shot.region(200, 560, VIEW_WIDTH, 700)
    check(count(subtitle, reddish) > 30, 'Insert + T: the subtitle shows ~r~ON~h~ in red')

    session.hold(['Insert', '1'], 1.0)
    time.sleep(1.5)
    session.shot('6-choosing')
    session.hold(['BackSpace'], 0.4)
    time.sleep(1.0)
    shot = session.shot('7-group-created')
    centre = shot.region(300, 200, 600, 460)
    check(count(centre, lambda p: near(p, (236, 120, 72), 25)) > 200, 'a ped stands in front of the player')
    check(count(shot.region(200, 560, VIEW_WIDTH, 700), reddish) > 30, 'Group 1, Ped 1 created! in red and white')

    # Group 4's four peds, made on one spot, seen from nearer (= zooms in).
    session.hold(['Insert', '4'], 1.0)
    time.sleep(0.4)
    session.hold(['BackSpace'], 1.0)
    time.sleep(1.0)
    for _ in range(2):
        session.xdotool('key', 'equal')
    time.sleep(0.5)
    shot = session.shot('8-peds-apart')
    peds = blobs(shot, 250, 130, 650, 590, lambda p: near(p, PED_COLOUR, 25), 40, thinned=5)
    check(len(peds) >= 5, 'the five peds stand apart: %d ped shapes in view' % len(peds))

    # Car 1, then further out (- zooms out), psycho driving and a speed step
    # up (Home + W, Home + E); a snapshot (F3) and a screenshot, twice, 5 s apart.
    for _ in range(8):
        session.xdotool('key', 'minus')
    session.hold(['Insert', '5'], 1.0)
    time.sleep(0.4)
    session.hold(['BackSpace'], 1.0)
    time.sleep(1.0)
    session.xdotool('keydown', 'Home')
    time.sleep(0.7)
    session.hold(['w'], 0.1)
    time.sleep(0.7)
    session.hold(['e'], 0.1)
    time.sleep(0.7)
    session.xdotool('keyup', 'Home')
    time.sleep(0.5)
    session.xdotool('key', 'F3')
    before = session.shot('9-car-directed')
    time.sleep(5.0)
    session.xdotool('key', 'F3')
    after = session.shot('10-car-moved')
    time.sleep(0.5)

    window.send_signal(signal.SIGTERM)
    output = window.communicate(timeout=20)[0].decode(errors='replace')
    print(output.strip())
    check(window.returncode == 0, 'the window closed cleanly (status %s)' % window.returncode)

    trace = read_trace(trace_path)
    check(trace and trace[-1]['kind'] == 'end', 'the trace ends with its end record')
    errors = [r for r in trace if r['kind'] == 'error']
    check(not errors, 'no errors in the run: %s' % errors[:3])
    removed = [r for r in trace if r['kind'] == 'cmd' and r['id'] == '0164']
    check(len(removed) == 1, 'the player reached the blue arrow: the marker came off the radar')
    check(first_text(trace, '!TITLE') is not None, 'the studio started')
    keys = [r['key'] for r in texts(trace)]
    check('!CAUGHT' not in keys, 'Space skipped the tutorial')
    check('!SENTI' in keys, 'the set-up ended')
    check('!GMTXON' in keys, 'Insert + T switched the texts on')
    check('!GP1PD1' in keys, 'Insert + 1 and Backspace created Group 1 Ped 1')

    snapshots = [r for r in trace if r['kind'] == 'world']
    check(len(snapshots) == 2, 'F3 wrote two snapshots into the trace (%d)' % len(snapshots))
    if len(snapshots) == 2:
        first, last = snapshots
        placed = [(p['x'], p['y']) for p in first['peds']]
        closest = min((math.dist(a, b) for n, a in enumerate(placed) for b in placed[n + 1:]), default=0.0)
        check(len(placed) == 5 and closest >= 0.5, '%d peds, at least %.2f units apart' % (len(placed), closest))
        driving = [c for c in last['cars'] if c['speed'] > 0]
        check(len(driving) == 1, 'one car drives: %s' % last['cars'])
        if driving:
            car = driving[0]
            then = next(c for c in first['cars'] if c['handle'] == car['handle'])
            moved = math.dist((then['x'], then['y']), (car['x'], car['y']))
            check(moved >= 10, 'Car 1 drove %.1f units between the snapshots' % moved)
            paint = CAR_PAINTS[car['model'] % len(CAR_PAINTS)]
            where = [paint_centre(shot, paint) for shot in (before, after)]
            check(None not in where, 'Car 1 is in view in both screenshots: %s' % where)
            if None not in where:
                check(math.dist(*where) >= 40, 'Car 1 moved %.0f pixels on screen' % math.dist(*where))
    with open(snapshots_path) as f:
        beside = [json.loads(line) for line in f]
    check(beside == snapshots, 'the snapshots are written beside the take too')

    with open(take_path) as f:
        take = f.read()
    print(take)
    check(all('keydown ' + key in take for key in ('DOWN', 'LEFT', 'SPACE', 'INSERT', 'BACK')), 'the take holds the keys')
    replay_path = os.path.join(args.out, 'replay-trace.jsonl')
    replay = subprocess.run([args.hostsim, take_path, '--trace', replay_path])
    check(replay.returncode == 0, 'hostsim replays the take without error')
    replayed = read_trace(replay_path)
    same = replayed == trace
    if not same:
        for n, (a, b) in enumerate(zip(trace, replayed)):
            if a != b:
                print('first difference at record %d:\n  window %s\n  replay %s' % (n, a, b))
                break
        print('window %d records, replay %d' % (len(trace), len(replayed)))
    check(same, 'the replay gives the trace the window saw (%d records)' % len(trace))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--window', required=True)
    parser.add_argument('--hostsim', required=True)
    parser.add_argument('--out', required=True)
    args = parser.parse_args()
    missing = [tool for tool in ('Xvfb', 'xdotool', 'xwd') if not shutil.which(tool)]
    if missing:
        print('skipped: %s not installed (./test installs them)' % ', '.join(missing))
        return SKIP
    session = Session(args)
    try:
        run(args, session)
    finally:
        session.stop()
    if failures:
        print('%d check(s) failed' % len(failures))
        return 1
    print('screenshots in %s' % args.out)
    return 0


if __name__ == '__main__':
    sys.exit(main())
