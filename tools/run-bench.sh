#!/usr/bin/env bash
# Runs every benchmark program and prints one table: benchmark, time, baseline
# time, ratio, target, met / not met. Targets are in bench/targets.txt.
set -euo pipefail
bin=$1
root="$(cd "$(dirname "$0")/.." && pwd)"
results=$(mktemp)
for b in "$bin"/bench_*; do
    [ -x "$b" ] || continue
    # Five repetitions; the fastest counts, since a shared machine only ever
    # adds time to a run.
    "$b" --benchmark_format=csv --benchmark_repetitions=5 2>/dev/null |
        awk -F, 'NR > 1 && $1 !~ /_(mean|median|stddev|cv)"?$/ {
            gsub(/"/, "", $1); t = $3; u = $5;
            if (u == "ns") t /= 1e6; else if (u == "us") t /= 1e3; else if (u == "s") t *= 1e3;
            if (!($1 in best) || t < best[$1]) best[$1] = t }
            END { for (n in best) print n, best[n] }' >> "$results"
done
printf '%-32s %12s %12s %8s %8s  %s\n' benchmark "time(ms)" "base(ms)" ratio target result
status=0
while read -r name base ratio limit; do
    case "$name" in ''|\#*) continue ;; esac
    t=$(awk -v n="$name" '$1==n {print $2}' "$results")
    [ -z "$t" ] && { printf '%-32s %12s\n' "$name" "not run"; continue; }
    if [ "$base" = "-" ]; then
        met=$(awk -v t="$t" -v l="$limit" 'BEGIN{print (t<=l)?"met":"NOT MET"}')
        printf '%-32s %12.2f %12s %8s %8s  %s\n' "$name" "$t" "-" "-" "<${limit}ms" "$met"
    else
        bt=$(awk -v n="$base" '$1==n {print $2}' "$results")
        r=$(awk -v t="$t" -v b="$bt" 'BEGIN{printf "%.2f", t/b}')
        met=$(awk -v r="$r" -v l="$ratio" 'BEGIN{print (r<=l)?"met":"NOT MET"}')
        printf '%-32s %12.2f %12.2f %8s %8s  %s\n' "$name" "$t" "$bt" "$r" "<=${ratio}" "$met"
    fi
    [ "$met" = "met" ] || status=1
done < "$root/bench/targets.txt"
rm -f "$results"
exit $status
