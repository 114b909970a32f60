#!/usr/bin/env bash
# Developer tool: pictures of the main window with its tool bar, of a message
# box with the program's own buttons, of the open dialog in Czech and of the
# about window, taken under Xvfb.
#
#   tools/ui-screenshot.sh [BUILD_DIR] [OUT_FOLDER]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; OUT_FOLDER
# (default docs/) receives main.png, message-box.png, open-dialog.png and
# about.png.
# Not part of the shipped programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/asan}"
out="$(cd "${2:-$root/docs}" && pwd)"
work="$(mktemp -d)"
# Only the processes started here are ended ("kill 0" would end the caller's
# whole process group).
cleanup() {
    for pid in ${wm:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target orbisk_gui orbisk-cli >/dev/null
flags=()
if grep -q 'ORBISK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    flags=(-fsanitize=address,undefined)
fi
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS "${flags[@]}" -I"$root/src" \
    $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
    "$root/tools/ui-screenshot/UiScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/ui-screenshot"

display=":${SCREENSHOT_DISPLAY:-98}"
Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
xvfb=$!
sleep 1
# A window manager, when one is installed, draws the windows' captions.
if command -v twm >/dev/null; then DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
mkdir -p "$work/catalogue" "$work/home" "$work/source"
mkdir -p "$work/source/DOOM"
printf 'readme\n' >"$work/source/readme.txt"
head -c 123456 /dev/zero >"$work/source/setup.exe"
head -c 2048 /dev/zero >"$work/source/DOOM/doom.exe"
# An archive "Hry" already there: the scan window asks before replacing it.
ASAN_OPTIONS=detect_leaks=0 ORBISK_PROGRAM_DIR="$work" XDG_CONFIG_HOME="$work/home" \
    "$build/bin/orbisk-cli" scan --dir "$work/catalogue" --name Hry --typ Hry "$work/source" \
    >/dev/null
# Settings naming the working folder, so the first-start help does not open.
mkdir -p "$work/home/orbisk"
printf 'Orbisk   v1.18    \r\n%s\r\ndefault.lng\r\n' "$work/catalogue" \
    >"$work/home/orbisk/Orbisk.INI"
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
    ORBISK_PROGRAM_DIR="$work" ASAN_OPTIONS=detect_leaks=0 \
    "$work/ui-screenshot" "$work/catalogue" "$work/source" "$out"
