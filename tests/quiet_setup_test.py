#!/usr/bin/env python3
"""The set-up's installs, against a stand-in package manager: one line says
what is installed, the package manager's output goes to the log only, and is
shown when (and only what) an install fails."""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# dpkg-query knows the packages listed in $INSTALLED; apt-get chatters, fails
# an install when $APT_FAILS is set and an update when $UPDATE_FAILS is; sudo
# and dpkg do what a root machine would.
STAND_INS = {
    'dpkg-query': 'for p in $INSTALLED; do [ "$p" = "${@: -1}" ] && { echo "install ok installed"; exit 0; }; done; exit 1',
    'apt-get': 'echo "apt-get $* $ATTEMPT"; for n in $(seq 200); do echo "Unpacking package $n ..."; done; '
               '[ "$1" = install ] && [ -n "$APT_FAILS" ] && { echo "E: Unable to locate package $ATTEMPT"; exit 100; }; '
               '[ "$1" = update ] && [ -n "$UPDATE_FAILS" ] && { echo "E: Some index files failed to download"; exit 100; }; '
               'echo "apt-get $*" >>"$CALLS"',
    'dpkg': 'echo i386',
    'sudo': 'exec "$@"',
}

failures = []


def check(condition, what):
    print(('ok    ' if condition else 'FAIL  ') + what, flush=True)
    if not condition:
        failures.append(what)


def install(folder, packages, installed='', fails=False, attempt='first', update_fails=False):
    env = dict(os.environ)
    env.update(PATH=os.path.join(folder, 'bin') + ':' + env['PATH'], INSTALLED=installed,
               APT_FAILS='1' if fails else '', UPDATE_FAILS='1' if update_fails else '', ATTEMPT=attempt, SETUP_LOG=os.path.join(folder, 'setup.log'),
               CALLS=os.path.join(folder, 'calls'))
    script = 'source "%s/tools/setup.sh"; install_packages %s' % (ROOT, packages)
    return subprocess.run(['bash', '-c', script], env=env, capture_output=True, text=True)


def read(path):
    return open(path).read() if os.path.exists(path) else ''


def main():
    with tempfile.TemporaryDirectory() as folder:
        os.mkdir(os.path.join(folder, 'bin'))
        for name, body in STAND_INS.items():
            path = os.path.join(folder, 'bin', name)
            with open(path, 'w') as f:
                f.write('#!/usr/bin/env bash\n' + body + '\n')
            os.chmod(path, 0o755)
        log = os.path.join(folder, 'setup.log')

        done = install(folder, 'cmake xvfb', installed='cmake xvfb')
        check(done.returncode == 0 and done.stdout == '' and done.stderr == '',
              'nothing missing: nothing said (%r, %r)' % (done.stdout, done.stderr))
        check(read(os.path.join(folder, 'calls')) == '', 'nothing missing: the package manager is not called')

        done = install(folder, 'cmake xvfb wine32:i386', installed='cmake')
        lines = done.stdout.splitlines()
        check(done.returncode == 0, 'an install that works succeeds (status %d)' % done.returncode)
        check(len(lines) == 1 and 'xvfb wine32:i386' in lines[0] and 'cmake' not in lines[0],
              'one line names what is installed: %r' % done.stdout)
        check(done.stderr == '', 'nothing on stderr: %r' % done.stderr[:200])
        check('Unpacking package 200' in read(log), 'the package manager\'s output is in the log')
        check('install -y --no-install-recommends xvfb wine32:i386' in read(os.path.join(folder, 'calls')),
              'the missing packages are installed')

        done = install(folder, 'xdotool', fails=True, attempt='second')
        check(done.returncode != 0, 'a failed install fails (status %d)' % done.returncode)
        check('E: Unable to locate package second' in done.stderr and 'Unpacking package 200' in done.stderr,
              'a failed install shows the package manager\'s output')
        check(' first' not in done.stderr, 'only the failed install\'s part of the log is shown')

        # A list that a mirror mid-sync would not give: the install keeps to
        # the release's own versions.
        release = dict(line.strip().split('=', 1) for line in open('/etc/os-release') if '=' in line)
        codename = release['VERSION_CODENAME'].strip('"')
        done = install(folder, 'x11-apps', update_fails=True)
        check(done.returncode == 0, 'an install after a failed update goes on (status %d)' % done.returncode)
        check('install -y --no-install-recommends -t %s x11-apps' % codename in read(os.path.join(folder, 'calls')),
              'after a failed update the install keeps to the release\'s own versions')
    if failures:
        print('%d check(s) failed' % len(failures))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
