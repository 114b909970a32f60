#!/usr/bin/env bash
# Developer tool: a picture of the database window with a category tree, the
# items of a category and the description of the selected item, taken under
# Xvfb.
#
#   tools/db-screenshot.sh [BUILD_DIR] [OUT_PNG]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; OUT_PNG
# defaults to docs/screenshot-database.png. Not part of the shipped programs.
set -euo pipefail
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
out="$(realpath -m "${2:-$shot_root/docs/screenshot-database.png}")"

shot_build "$build" db-screenshot
shot_display
mkdir -p "$shot_work/catalogue"
shot_settings "$shot_work/catalogue"
shot_run "$shot_work" "$shot_work/db-screenshot" "$shot_work/catalogue" "$out"
