#!/usr/bin/env python3
"""The module loaded as a player's add-on loader loads it: the Windows
substitute host started with a stand-in loader (--loader), which loads
brindle_studios.asi from the game's folder, gives on both game versions the
very trace of the module loaded straight: it attached, booted, and the
studio opened and answered its keys.

usage: loader_test.py HOSTSIM_WIN32_EXE LOADER_DLL_FILE
"""
import json
import os
import subprocess
import sys
import tempfile

# The welcome, the studio's weather and confirmation-text keys, a
# re-initialisation and a shutdown.
SCENARIO = '''version {version}
at 0 player 0 0 0
at 9000 keydown INSERT 9
at 9400 keyup INSERT 9
at 12000 keydown INSERT T
at 12400 keyup INSERT T
at 20000 reinit
at 30000 shutdown
end 32000
'''
SET_WEATHER = '01B6'


def run(hostsim, scenario, trace, loader=None):
    command = ['wine', hostsim, scenario, '--trace', trace] + (['--loader', loader] if loader else [])
    done = subprocess.run(command, capture_output=True, text=True)
    with open(trace, encoding='utf-8') as f:
        text = f.read()
    return done, text


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    hostsim, loader = sys.argv[1:]
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        for version in (1, 2):
            scenario = os.path.join(folder, 'version%d.scn' % version)
            with open(scenario, 'w') as f:
                f.write(SCENARIO.format(version=version))
            straight, straight_trace = run(hostsim, scenario, os.path.join(folder, 'straight.jsonl'))
            loaded, loaded_trace = run(hostsim, scenario, os.path.join(folder, 'loaded.jsonl'), loader)
            records = [json.loads(line) for line in loaded_trace.splitlines() if line.strip()]
            weather = [r for r in records if r['kind'] == 'cmd' and r['id'] == SET_WEATHER]
            problems = []
            if loaded.returncode != 0 or straight.returncode != 0:
                problems.append('exit status %d with the loader, %d without\n%s' %
                                (loaded.returncode, straight.returncode, loaded.stderr))
            if loaded_trace != straight_trace:
                problems.append('the trace differs from the module loaded straight')
            if not weather:
                problems.append('the studio never set the weather')
            for problem in problems:
                print('version %d, %s: %s' % (version, os.path.basename(loader), problem))
            if not problems:
                print('version %d, %s: %d trace records, as with the module loaded straight' %
                      (version, os.path.basename(loader), len(records)))
            failed |= bool(problems)
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
