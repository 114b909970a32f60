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
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
out="$(realpath -m "${2:-$shot_root/docs/screenshot-orbidex.png}")"

shot_build "$build" orbidex-screenshot
shot_display
# The viewer looks for its database in the folder it was started from.
mkdir -p "$shot_work/start"
cd "$shot_work/start"
shot_run "$shot_work" "$shot_work/orbidex-screenshot" "$out"
