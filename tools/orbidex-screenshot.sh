#!/usr/bin/env bash
# Developer tool: a picture of the viewer orbidex showing a small database
# (category tree, the items of a category, the description of the selected
# item), taken under Xvfb.
#
#   tools/orbidex-screenshot.sh [BUILD_DIR] [OUT_PNG]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; OUT_PNG
# defaults to docs/screenshot-orbidex.png. Not part of the shipped programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/asan}"
out="$(realpath -m "${2:-$root/docs/screenshot-orbidex.png}")"
work="$(mktemp -d)"
# Only the processes started here are ended ("kill 0" would end the caller's
# whole process group).
cleanup() {
    for pid in ${wm:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target orbisk_gui >/dev/null
flags=()
if grep -q 'ORBISK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    flags=(-fsanitize=address,undefined)
fi
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS "${flags[@]}" -I"$root/src" \
    $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
    "$root/tools/orbidex-screenshot/OrbidexScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/orbidex-screenshot"

display=":${SCREENSHOT_DISPLAY:-96}"
Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
xvfb=$!
sleep 1
# A window manager, when one is installed, draws the window's caption.
if command -v twm >/dev/null; then DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
mkdir -p "$work/start" "$work/home"
cd "$work/start"
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
    ORBISK_PROGRAM_DIR="$work" ASAN_OPTIONS=detect_leaks=0 \
    "$work/orbidex-screenshot" "$out"
