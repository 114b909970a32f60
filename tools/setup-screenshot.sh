#!/usr/bin/env bash
# Developer tool: pictures of the three pages of the setup window
# ("Nastavení"), taken under Xvfb.
#
#   tools/setup-screenshot.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/asan; the pictures go to
# docs/screenshot-setup-colours.png, -more.png and -more2.png. Not shipped.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/asan}"
work="$(mktemp -d)"
# Only the processes started here are ended.
cleanup() {
    for pid in ${wm:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target orbisk_gui orbisk_resources >/dev/null
flags=()
if grep -q 'ORBISK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    flags=(-fsanitize=address,undefined)
fi
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS "${flags[@]}" -I"$root/src" \
    $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
    "$root/tools/setup-screenshot/SetupScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/setup-screenshot"

# Settings naming an empty working folder, so the first-start help does not open.
mkdir -p "$work/catalogue" "$work/home/orbisk"
printf 'Orbisk   v1.18    \r\n%s\r\ndefault.lng\r\n' "$work/catalogue" \
    >"$work/home/orbisk/Orbisk.INI"

display=":${SCREENSHOT_DISPLAY:-93}"
Xvfb "$display" -screen 0 1100x700x24 -nolisten tcp &
xvfb=$!
sleep 1
if command -v twm >/dev/null; then
    DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
    ORBISK_PROGRAM_DIR="$build/bin" ASAN_OPTIONS=detect_leaks=0 \
    "$work/setup-screenshot" "$root/docs/screenshot-setup-colours.png" \
    "$root/docs/screenshot-setup-more.png" "$root/docs/screenshot-setup-more2.png"
