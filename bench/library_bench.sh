#!/bin/sh
# Song list of a 100,000-file music directory: FillSongList against find | sort -f, in one run.
# Passes when FillSongList takes under 0.5 s and at most three times the shell tools' time.
# Usage: bench/library_bench.sh [build directory]   (default: build)
set -eu
build=${1:-build}
bench="$build/bench/tavu_bench"
[ -x "$bench" ] || { echo "no $bench: build the target tavu_bench first" >&2; exit 2; }

csv=$("$bench" --benchmark_filter='FillSongList100k|FindSortReference100k' --benchmark_format=csv 2>/dev/null)
echo "$csv" | grep -E '^"?BM_' | awk -F, '
    { gsub(/"/, "", $1) }
    $1 ~ /FillSongList/ { ours = $3 }
    $1 ~ /FindSort/ { ref = $3 }
    END {
        if (ours == "" || ref == "") { print "benchmark gave no figures"; exit 2 }
        ratio = ours / ref
        printf "FillSongList %.1f ms, find | sort -f %.1f ms, ratio %.2f\n", ours, ref, ratio
        if (ours >= 500) { print "FAIL: 0.5 s or more"; exit 1 }
        if (ratio > 3) { print "FAIL: more than 3 times the shell tools"; exit 1 }
        print "PASS"
    }'
