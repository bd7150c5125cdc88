# Shared by ./play, ./test and tools/hostsim: installs what the builds need on
# a Debian machine, once; quick when everything is already there.
# Source it, then call need_native_tools, need_window_tools, need_win32_tools,
# need_wine_prefix or need_test_tools.

BRINDLE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Wine environment, the same as the win32 build's tests have.
while IFS='=' read -r name value; do
    case $name in [A-Z]*) export "$name=$value" ;; esac
done <"$BRINDLE_ROOT/cmake/wine.env"
export WINEPREFIX="$BRINDLE_ROOT/build/win32/$WINEPREFIX"

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    echo "${missing[@]}"
}

# One line says what is installed; the package manager's own output goes to
# build/setup.log and is shown only when the install fails.
SETUP_LOG=${SETUP_LOG:-$BRINDLE_ROOT/build/setup.log}

install_packages() {
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    mkdir -p "$(dirname "$SETUP_LOG")"
    echo "Installing $missing (log: ${SETUP_LOG#"$BRINDLE_ROOT"/})"
    local logged_before
    logged_before=0
    [ -f "$SETUP_LOG" ] && logged_before=$(wc -l <"$SETUP_LOG")
    # shellcheck disable=SC2086
    if ! install_missing $missing >>"$SETUP_LOG" 2>&1; then
        echo "Installing $missing failed:" >&2
        tail -n +"$((logged_before + 1))" "$SETUP_LOG" >&2
        return 1
    fi
}

install_missing() {
    echo "== $(date -u '+%Y-%m-%d %H:%M:%S') installing $*"
    if echo "$*" | grep -q ':i386'; then
        dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386 || return 1
    fi
    local release=()
    if ! as_root apt-get update && ! as_root apt-get update; then
        # A mirror caught mid-sync fails a list, most often one architecture's
        # security updates; the release's own versions are in every list, and
        # keeping to them keeps the i386 libraries level with the installed ones.
        echo "== some package lists were not updated: installing the release's own versions"
        release=(-t "$(. /etc/os-release && echo "$VERSION_CODENAME")")
    fi
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --no-install-recommends "${release[@]}" "$@"
}

# What each use needs; every need_ function installs all it needs at once,
# so that a fresh machine shows one install line for it.
NATIVE_PACKAGES="cmake ninja-build g++ googletest libgtest-dev python3"
WIN32_PACKAGES="g++-mingw-w64-i686-posix wine wine32:i386"
# The studio window (SDL2, SDL2_ttf and a Debian font), and what its test
# under a virtual display needs.
WINDOW_PACKAGES="libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core"
WINDOW_TEST_PACKAGES="xvfb xdotool x11-apps"
# The layout check of the sources (tools/check_format).
FORMAT_PACKAGES="clang-format"

# shellcheck disable=SC2086
need_native_tools() { install_packages $NATIVE_PACKAGES; }
# shellcheck disable=SC2086
need_window_tools() { install_packages $NATIVE_PACKAGES $WINDOW_PACKAGES; }
# shellcheck disable=SC2086
need_win32_tools() { install_packages $NATIVE_PACKAGES $WIN32_PACKAGES; }
# Everything ./test runs: both builds, the window and its test, the Wine prefix,
# the layout check.
# shellcheck disable=SC2086
need_test_tools() {
    install_packages $NATIVE_PACKAGES $WIN32_PACKAGES $WINDOW_PACKAGES $WINDOW_TEST_PACKAGES $FORMAT_PACKAGES
    need_wine_prefix
}

need_wine_prefix() {
    need_win32_tools
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >>"$SETUP_LOG" 2>&1
        wineserver -w
    fi
}

# One wineserver for a whole run of Windows programs. Its helper processes are
# started here with no pipes attached, since they would otherwise hold a test's
# output pipe open for as long as the server lives.
start_wineserver() {
    wineserver -p 2>/dev/null || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wineserver() {
    wineserver -k 2>/dev/null || true
}

build_preset() {
    local preset=$1
    shift
    if [ ! -f "$BRINDLE_ROOT/build/$preset/build.ninja" ]; then
        cmake --preset "$preset" -S "$BRINDLE_ROOT" >/dev/null
    fi
    cmake --build --preset "$preset" -j"$(nproc)" "$@"
}
