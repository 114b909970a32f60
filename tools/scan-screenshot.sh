#!/usr/bin/env bash
# Developer tool: pictures of the scan window during a scan of a real folder
# and of the main window with the new archive, taken under Xvfb.
#
#   tools/scan-screenshot.sh [BUILD_DIR] [SOURCE]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; SOURCE defaults
# to /usr/share/doc. Writes docs/screenshot-scan.png and
# docs/screenshot-scan-done.png. Not part of the shipped programs.
set -euo pipefail
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
source_dir="${2:-/usr/share/doc}"

shot_build "$build" scan-screenshot
shot_display
mkdir -p "$shot_work/catalogue"
shot_settings "$shot_work/catalogue"
shot_run "$shot_work" "$shot_work/scan-screenshot" "$source_dir" "$shot_work/catalogue" \
    "$shot_root/docs/screenshot-scan.png" "$shot_root/docs/screenshot-scan-done.png"
