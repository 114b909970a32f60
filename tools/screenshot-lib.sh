# Shared steps of the tools/*-screenshot.sh developer tools, sourced by each:
# a temporary folder removed at exit, the build of the libraries and the
# picture program (tools/NAME/*.cpp), a private Xvfb server with a window
# manager, the settings file that keeps the first-start help from opening
# through the desktop, and the run of the picture program with a time limit.
# Not part of the shipped programs.

shot_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
shot_work="$(mktemp -d)"
shot_pids=()
# Only the processes started here are ended ("kill 0" would end the caller's
# whole process group).
shot_cleanup() {
    local pid
    for pid in "${shot_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$shot_work"
}
trap shot_cleanup EXIT

# shot_build BUILD_DIR NAME [TARGET...]: builds orbisk_gui and the targets in
# BUILD_DIR, then tools/NAME/*.cpp against it into $shot_work/NAME, with the
# sanitizers when the build has them.
shot_build() {
    local build=$1 name=$2
    shift 2
    cmake --build "$build" --target orbisk_gui "$@" >/dev/null
    local flags=()
    if grep -q 'ORBISK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
        flags=(-fsanitize=address,undefined)
    fi
    # shellcheck disable=SC2046
    g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS "${flags[@]}" -I"$shot_root/src" \
        -I"$shot_root/tools/screenshot-lib" $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
        "$shot_root/tools/$name"/*.cpp \
        "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
        $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$shot_work/$name"
}

# shot_display [WIDTHxHEIGHT]: starts Xvfb (on :$SCREENSHOT_DISPLAY when set,
# else on a free display it picks itself) and, when installed, twm to draw
# the windows' captions; exports DISPLAY once the server answers.
shot_display() {
    local size=${1:-1280x860}
    local fifo="$shot_work/display"
    mkfifo "$fifo"
    if [ -n "${SCREENSHOT_DISPLAY:-}" ]; then
        Xvfb ":$SCREENSHOT_DISPLAY" -screen 0 "${size}x24" -nolisten tcp -displayfd 3 3>"$fifo" &
    else
        Xvfb -screen 0 "${size}x24" -nolisten tcp -displayfd 3 3>"$fifo" &
    fi
    shot_pids+=($!)
    # Opened for reading and writing, so a server that never starts cannot
    # block the open; the read gives up after 20 seconds.
    local number fd
    exec {fd}<>"$fifo"
    read -r -t 20 -u "$fd" number || { echo "Xvfb did not start" >&2; return 1; }
    exec {fd}<&-
    export DISPLAY=":$number"
    if command -v twm >/dev/null; then
        twm >/dev/null 2>&1 &
        shot_pids+=($!)
    fi
}

# shot_settings WORKING_FOLDER: the user's settings file naming the working
# folder, in $shot_work/home (the HOME and XDG_CONFIG_HOME of shot_run).
shot_settings() {
    mkdir -p "$shot_work/home/orbisk"
    printf 'Orbisk   v1.18    \r\n%s\r\ndefault.lng\r\n' "$1" >"$shot_work/home/orbisk/Orbisk.INI"
}

# shot_sample_source FOLDER: a small tree to scan (a text, a program, a folder).
shot_sample_source() {
    mkdir -p "$1/DOOM"
    printf 'readme\n' >"$1/readme.txt"
    head -c 123456 /dev/zero >"$1/setup.exe"
    head -c 2048 /dev/zero >"$1/DOOM/doom.exe"
}

# shot_run PROGRAM_DIR COMMAND [ARG...]: runs a command of the tool against
# PROGRAM_DIR with the home in $shot_work/home; a run that hangs (a window
# waiting for an answer) ends after $SCREENSHOT_TIMEOUT seconds (120) and fails.
shot_run() {
    local program_dir=$1
    shift
    mkdir -p "$shot_work/home"
    HOME="$shot_work/home" XDG_CONFIG_HOME="$shot_work/home" ORBISK_PROGRAM_DIR="$program_dir" \
        ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
        timeout "${SCREENSHOT_TIMEOUT:-120}" "$@"
}
