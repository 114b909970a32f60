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
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
source_dir="${2:-$shot_root/src}"

shot_build "$build" export-screenshot orbisk-cli
mkdir -p "$shot_work/catalogue" "$shot_work/cds"
shot_run "$shot_work" "$build/bin/orbisk-cli" scan --dir "$shot_work/catalogue" \
    --name "Zdrojové kódy" --typ Programy --owner "Eva <eva@example.org>" "$source_dir" >/dev/null
archive="$(ls "$shot_work/catalogue"/*.cd)"
# Catalogues as Windows Commander writes them (a title line, folders, files).
printf 'Hry\r\nDOOM\\\r\nDOOM\\DATA\\\r\ndoom.exe\t712345\t1.2.1995\t10:00\t\r\nQUAKE\\\r\nquake.exe\t412345\t22.6.1996\t12:00\t\r\n' \
    >"$shot_work/cds/hry.cds"
printf 'Texty\r\nDOC\\\r\nreadme.txt\t2048\t3.4.2001\t9:15\t\r\n' >"$shot_work/cds/texty.CDS"
printf 'x\r\n' >"$shot_work/cds/poskozeny.cds"
shot_settings "$shot_work/catalogue"
shot_display
shot_run "$shot_work" "$shot_work/export-screenshot" "$shot_work/catalogue" "$archive" \
    "$shot_work/cds" "$shot_work/page.html" "$shot_root/docs"

if command -v chromium >/dev/null; then
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,900 \
        --user-data-dir="$shot_work/chromium" \
        --screenshot="$shot_root/docs/screenshot-export-page.png" "file://$shot_work/page.html" \
        2>/dev/null
fi
