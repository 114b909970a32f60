#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds on a working copy of
# its seed corpus (fuzz/seeds/NAME for fuzz_NAME). Fails on any finding.
set -euo pipefail
bin=$1
seconds=${2:-60}
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/build/fuzz/corpus"
mkdir -p "$work"
status=0
for target in "$bin"/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$work/${name#fuzz_}"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    echo "== $name for ${seconds}s"
    if ! "$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=1048576 -print_final_stats=1 -artifact_prefix="$work/$name-" \
        2>"$work/$name.log"; then
        echo "FINDING in $name:"
        tail -40 "$work/$name.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|cov:' "$work/$name.log" | tail -3
    fi
done
exit $status
