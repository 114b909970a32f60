#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -co --exclude-standard '*.cpp' '*.h' | grep -v '^build' || true)
[ -z "$files" ] && exit 0
bad=0
for f in $files; do
    [ -f "$f" ] || continue
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        bad=1
    fi
done
if [ $bad -ne 0 ]; then
    echo "Run 'make format' to fix."
    exit 1
fi
echo "format: all files clean"
