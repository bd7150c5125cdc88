# Shared by ./play, ./test and tools/hostsim: installs what the builds need on
# a Debian machine, once; quick when everything is already there.
# Source it, then call need_native_tools, need_win32_tools or need_wine_prefix.

BRINDLE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$BRINDLE_ROOT/build/win32/wineprefix"
export WINEDEBUG=-all
# A crash exits non-zero instead of starting Wine's debugger.
export WINEDLLOVERRIDES="winedbg.exe=d"

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

install_packages() {
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    if echo "$missing" | grep -q ':i386'; then
        dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing
}

need_native_tools() {
    install_packages cmake ninja-build g++ googletest libgtest-dev python3
}

# The studio window (SDL2, SDL2_ttf and a Debian font), and what its test
# under a virtual display needs.
need_window_tools() {
    install_packages libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core
}

need_window_test_tools() {
    need_window_tools
    install_packages xvfb xdotool x11-apps
}

need_win32_tools() {
    need_native_tools
    install_packages g++-mingw-w64-i686-posix wine wine32:i386
}

need_wine_prefix() {
    need_win32_tools
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
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
