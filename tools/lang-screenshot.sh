#!/usr/bin/env bash
# Developer tool: a picture of the main window after a language file was
# chosen from the "Jazyk" menu, taken under Xvfb.
#
#   tools/lang-screenshot.sh [LANGUAGE_FILE] [PICTURE] [BUILD_DIR]
#
# LANGUAGE_FILE defaults to ENGLISH.LNG (one of the shipped files), PICTURE to
# docs/screenshot-english.png, BUILD_DIR to build/asan. Not shipped.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
language="${1:-ENGLISH.LNG}"
picture="${2:-$root/docs/screenshot-english.png}"
build="${3:-$root/build/asan}"
work="$(mktemp -d)"
# Only the processes started here are ended.
cleanup() {
    for pid in ${wm:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target orbisk_gui orbisk-cli orbisk_resources >/dev/null
flags=()
if grep -q 'ORBISK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    flags=(-fsanitize=address,undefined)
fi
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS "${flags[@]}" -I"$root/src" \
    $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
    "$root/tools/lang-screenshot/LangScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/lang-screenshot"

# A working folder with one archive of a small tree, and settings naming it
# (so the first-start help does not open).
mkdir -p "$work/catalogue" "$work/home/orbisk" "$work/source/DOOM"
printf 'readme\n' >"$work/source/readme.txt"
head -c 123456 /dev/zero >"$work/source/setup.exe"
head -c 2048 /dev/zero >"$work/source/DOOM/doom.exe"
ASAN_OPTIONS=detect_leaks=0 XDG_CONFIG_HOME="$work/home" "$build/bin/orbisk-cli" scan \
    --dir "$work/catalogue" --name Games --typ Hry "$work/source" >/dev/null
printf 'Orbisk   v1.18    \r\n%s\r\ndefault.lng\r\n' "$work/catalogue" \
    >"$work/home/orbisk/Orbisk.INI"

display=":${SCREENSHOT_DISPLAY:-97}"
Xvfb "$display" -screen 0 1180x720x24 -nolisten tcp &
xvfb=$!
sleep 1
if command -v twm >/dev/null; then
    DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
    ORBISK_PROGRAM_DIR="$build/bin" ASAN_OPTIONS=detect_leaks=0 \
    "$work/lang-screenshot" "$language" "$picture"
