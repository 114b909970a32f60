#!/usr/bin/env bash
# Developer tool: pictures of the scan window during a scan of a real folder
# and of the main window with the new archive, taken under Xvfb.
#
#   tools/scan-screenshot.sh [BUILD_DIR] [SOURCE]
#
# BUILD_DIR (default build/scan) must hold a built orbisk_gui; SOURCE defaults
# to /usr/share/doc. Writes docs/screenshot-scan.png and
# docs/screenshot-scan-done.png. Not part of the shipped programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/scan}"
source_dir="${2:-/usr/share/doc}"
work="$(mktemp -d)"
# Only the processes started here are ended ("kill 0" would end the caller's
# whole process group).
cleanup() {
    for pid in ${wm:-} ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target orbisk_gui >/dev/null
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -DQT_NO_KEYWORDS -I"$root/src" $(pkg-config --cflags Qt6Widgets Qt6DBus libarchive) \
    "$root/tools/scan-screenshot/ScanScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/scan-screenshot"

display=":${SCREENSHOT_DISPLAY:-99}"
Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
xvfb=$!
sleep 1
# A window manager, when one is installed, draws the windows' captions.
if command -v twm >/dev/null; then DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
mkdir -p "$work/catalogue" "$work/home"
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home" \
    ORBISK_PROGRAM_DIR="$work" \
    "$work/scan-screenshot" "$source_dir" "$work/catalogue" \
    "$root/docs/screenshot-scan.png" "$root/docs/screenshot-scan-done.png"
