#!/usr/bin/env bash
# Developer tool: pictures of the export window and the conversion window
# after a run, taken under Xvfb, and of the exported page of a real scanned
# archive as headless Chromium renders it.
#
#   tools/export-screenshot.sh [BUILD_DIR] [SOURCE]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui and orbisk-cli;
# SOURCE (default the repository's src folder) is scanned into the archive
# that is exported. Writes docs/screenshot-export.png,
# docs/screenshot-convert.png and, when chromium is installed,
# docs/screenshot-export-page.png. Not part of the shipped programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/asan}"
source_dir="${2:-$root/src}"
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
    "$root/tools/export-screenshot/ExportScreenshot.cpp" \
    "$build/src/gui/liborbisk_gui.a" "$build/src/core/liborbisk_core.a" \
    $(pkg-config --libs Qt6Widgets Qt6DBus libarchive) -o "$work/export-screenshot"

export ASAN_OPTIONS=detect_leaks=0 ORBISK_PROGRAM_DIR="$work" XDG_CONFIG_HOME="$work/home"
mkdir -p "$work/catalogue" "$work/home" "$work/cds"
"$build/bin/orbisk-cli" scan --dir "$work/catalogue" --name "Zdrojové kódy" --typ Programy \
    --owner "Eva <eva@example.org>" "$source_dir" >/dev/null
archive="$(ls "$work/catalogue"/*.cd)"
# Catalogues as Windows Commander writes them (a title line, folders, files).
printf 'Hry\r\nDOOM\\\r\nDOOM\\DATA\\\r\ndoom.exe\t712345\t1.2.1995\t10:00\t\r\nQUAKE\\\r\nquake.exe\t412345\t22.6.1996\t12:00\t\r\n' \
    >"$work/cds/hry.cds"
printf 'Texty\r\nDOC\\\r\nreadme.txt\t2048\t3.4.2001\t9:15\t\r\n' >"$work/cds/texty.CDS"
printf 'x\r\n' >"$work/cds/poskozeny.cds"

display=":${SCREENSHOT_DISPLAY:-97}"
Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
xvfb=$!
sleep 1
if command -v twm >/dev/null; then DISPLAY="$display" twm >/dev/null 2>&1 &
    wm=$!
fi
DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" \
    "$work/export-screenshot" "$work/catalogue" "$archive" "$work/cds" "$work/page.html" \
    "$root/docs"

if command -v chromium >/dev/null; then
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,900 \
        --user-data-dir="$work/chromium" --screenshot="$root/docs/screenshot-export-page.png" \
        "file://$work/page.html" 2>/dev/null
fi
