#!/usr/bin/env bash
# The installed tree: cmake --install into a temporary prefix, then
#  - every file the install promises is there, and everything in resources/
#    lies in share/orbisk;
#  - desktop-file-validate and appstreamcli validate pass;
#  - the installed orbisk-cli --help runs, and its man page has a section for
#    every command that --help lists;
#  - the installed orbisk-cli reads its shipped files from share/orbisk: the
#    page it exports links the guide there.
#
#   installed-tree.sh BUILD_DIR SOURCE_DIR HAVE_ORBISK HAVE_ORBIDEX
set -euo pipefail
build="$1" source="$2" have_orbisk="$3" have_orbidex="$4"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/orbisk-cli share/man/man1/orbisk-cli.1.gz)
programs=()
[ "$have_orbisk" = 1 ] && programs+=(orbisk)
[ "$have_orbidex" = 1 ] && programs+=(orbidex)
for p in "${programs[@]}"; do
    expected+=("bin/$p" "share/applications/$p.desktop" "share/icons/hicolor/scalable/apps/$p.svg")
    for size in 16 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$p.png")
    done
done
[ "$have_orbisk" = 1 ] && expected+=(share/metainfo/app.orbisk.Orbisk.metainfo.xml)
while IFS= read -r shipped; do
    expected+=("share/orbisk/$shipped")
done < <(cd "$source/resources" && find . -type f -printf '%P\n')
for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for p in "${programs[@]}"; do
    [ -x "$prefix/bin/$p" ] || fail "not executable: bin/$p"
done

# The entries and the metadata as installed; orbidex's entry also from the
# sources, so it is checked before its program is built.
for entry in "$prefix"/share/applications/*.desktop "$source/packaging/orbidex.desktop"; do
    [ -f "$entry" ] || continue
    desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
done
for info in "$prefix"/share/metainfo/*.xml; do
    [ -f "$info" ] || continue
    appstreamcli validate --no-net "$info" >/dev/null || {
        appstreamcli validate --no-net "$info" >&2 || true
        fail "appstreamcli validate: $info"
    }
done

cli="$prefix/bin/orbisk-cli"
help="$(env -u ORBISK_PROGRAM_DIR "$cli" --help)" || fail "orbisk-cli --help"
commands="$(awk '/^Commands:/ {on = 1; next} on && /^  [a-z]/ {print $1}' <<<"$help")"
[ -n "$commands" ] || fail "orbisk-cli --help lists no commands"
man_page="$(gzip -dc "$prefix/share/man/man1/orbisk-cli.1.gz")"
for command in $commands; do
    grep -qx "\.SS $command" <<<"$man_page" || fail "the man page has no section for $command"
done

# ProgramDir of the installed program is PREFIX/share/orbisk.
work="$prefix/work"
mkdir -p "$work/source"
echo hello >"$work/source/a.txt"
(cd "$work" && env -u ORBISK_PROGRAM_DIR "$cli" scan source --name Disk >/dev/null &&
    env -u ORBISK_PROGRAM_DIR "$cli" export Disk.cd --out page.html >/dev/null) ||
    fail "the installed orbisk-cli could not scan and export"
grep -qF "</html>" "$work/page.html" 2>/dev/null || fail "the exported page is not whole"
version="$(env -u ORBISK_PROGRAM_DIR "$cli" --version)" || fail "orbisk-cli --version"
grep -qxF "program folder: $prefix/share/orbisk" <<<"$version" ||
    fail "the installed orbisk-cli does not find its shipped files in share/orbisk ($version)"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s); installed tree:" >&2
    (cd "$prefix" && find . -type f | sort) >&2
    exit 1
fi
echo "installed tree complete (${#expected[@]} files), entries and metadata valid"
