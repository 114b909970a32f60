#!/usr/bin/env bash
# Developer tool: pictures of the main window with its tool bar, of a message
# box with the program's own buttons, of the open dialog in Czech and of the
# about window, taken under Xvfb.
#
#   tools/ui-screenshot.sh [BUILD_DIR] [OUT_FOLDER]
#
# BUILD_DIR (default build/asan) must hold a built orbisk_gui; OUT_FOLDER
# (default docs/) receives screenshot-main.png, screenshot-collision.png,
# screenshot-open-dialog.png and screenshot-about.png.
# Not part of the shipped programs.
set -euo pipefail
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
build="${1:-$shot_root/build/asan}"
out="$(cd "${2:-$shot_root/docs}" && pwd)"

shot_build "$build" ui-screenshot orbisk-cli
shot_sample_source "$shot_work/source"
mkdir -p "$shot_work/catalogue"
# An archive "Hry" already there: the scan window asks before replacing it.
shot_run "$shot_work" "$build/bin/orbisk-cli" scan --dir "$shot_work/catalogue" --name Hry \
    --medium CD --typ Hry "$shot_work/source" >/dev/null
shot_settings "$shot_work/catalogue"
shot_display
shot_run "$shot_work" "$shot_work/ui-screenshot" "$shot_work/catalogue" "$shot_work/source" "$out"
