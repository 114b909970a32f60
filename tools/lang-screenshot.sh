#!/usr/bin/env bash
# Developer tool: a picture of the main window after a language file was
# chosen from the "Jazyk" menu, taken under Xvfb.
#
#   tools/lang-screenshot.sh [LANGUAGE_FILE] [PICTURE] [BUILD_DIR]
#
# LANGUAGE_FILE defaults to ENGLISH.LNG (one of the shipped files), PICTURE to
# docs/screenshot-english.png, BUILD_DIR to build/asan. Not shipped.
set -euo pipefail
# shellcheck source=tools/screenshot-lib.sh
source "$(dirname "$0")/screenshot-lib.sh"
language="${1:-ENGLISH.LNG}"
picture="$(realpath -m "${2:-$shot_root/docs/screenshot-english.png}")"
build="${3:-$shot_root/build/asan}"

shot_build "$build" lang-screenshot orbisk-cli orbisk_resources
# A working folder with one archive of a small tree, and settings naming it.
shot_sample_source "$shot_work/source"
mkdir -p "$shot_work/catalogue"
shot_run "$shot_work" "$build/bin/orbisk-cli" scan --dir "$shot_work/catalogue" --name Games \
    --medium CD --typ Hry "$shot_work/source" >/dev/null
shot_settings "$shot_work/catalogue"
shot_display 1180x720
# The language files are the built ones beside the programs.
shot_run "$build/bin" "$shot_work/lang-screenshot" "$language" "$picture"
