#!/usr/bin/env bash
# Developer tool: a picture of the run window waiting for an archive's disc,
# taken under Xvfb.
#
#   tools/run-screenshot.sh [BUILD_DIR] [OUT.png]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; OUT.png
# defaults to docs/screenshot-run.png. Not part of the shipped programs.
set -euo pipefail
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
out="$(realpath -m "${2:-$shot_root/docs/screenshot-run.png}")"

shot_build "$build" run-screenshot
shot_display
mkdir -p "$shot_work/catalogue"
shot_settings "$shot_work/catalogue"
shot_run "$shot_work" "$shot_work/run-screenshot" "$shot_work/catalogue" "$out"
