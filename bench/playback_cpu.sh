#!/bin/sh
# CPU time to play a 60-second MP3 to its end through the program's player (SDL_mixer), against
# mpg123 decoding the same file in the same run; and the CPU a stopped player uses.
# Both decode as fast as they can: the player on SDL's disk driver writing to /dev/null without
# delay, mpg123 with its null output. Each plays the file ten times over in one process, and the
# start-up of each (measured on a two-frame file) is taken off, so the figures are per 60 s of music.
# Passes when the player takes at most 1.5 times mpg123's CPU and a stopped player uses under 0.5 %
# of one core.
# Usage: bench/playback_cpu.sh [build directory] [--realtime]   (default: build)
#   --realtime  also plays the file once in real time on the dummy driver (60 s) and reports its CPU.
set -eu
build=${1:-build}
bench="$build/bench/tavu_play_bench"
[ -x "$bench" ] || { echo "no $bench: build the target tavu_play_bench first" >&2; exit 2; }
command -v mpg123 >/dev/null || { echo "mpg123 is not installed" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
song="$tmp/song.mp3"
tiny="$tmp/tiny.mp3"
"$bench" write "$song" 60
"$bench" write "$tiny" 0
times=10

# mpg123 calls its discarding output "null" in some versions and "test" in others.
out=null
mpg123 -q -o null "$tiny" >/dev/null 2>&1 || out=test

# CPU seconds (user + system, all threads) of a command, the best of five runs.
cpu() {
    best=""
    for _ in 1 2 3 4 5; do
        t=$( ( "$@" >/dev/null 2>&1 && times ) | tail -n 1 | awk '
            function sec(x,  a) { split(x, a, "m"); sub("s", "", a[2]); return a[1] * 60 + a[2] }
            { print sec($1) + sec($2) }')
        [ -n "$t" ] || { echo "failed: $*" >&2; exit 1; }
        if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best=$t; fi
    done
    echo "$best"
}

fast() { SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null SDL_DISKAUDIODELAY=0 "$@"; }
ours_start=$(fast cpu "$bench" play "$tiny")
ours_all=$(fast cpu "$bench" play "$song" $times)
list=""
for _ in $(seq $times); do list="$list $song"; done
ref_start=$(cpu mpg123 -q -o $out "$tiny")
# shellcheck disable=SC2086
ref_all=$(cpu mpg123 -q -o $out $list)
idle=$(SDL_AUDIODRIVER=dummy "$bench" idle 10)
if [ "${2:-}" = "--realtime" ]; then
    realtime() { SDL_AUDIODRIVER=dummy "$bench" play "$song" >/dev/null 2>&1 && times; }
    rt=$(realtime | tail -n 1 | awk '
        function sec(x,  a) { split(x, a, "m"); sub("s", "", a[2]); return a[1] * 60 + a[2] }
        { print sec($1) + sec($2) }')
    echo "real-time playback on the dummy driver: $rt s CPU for 60 s of music"
fi

awk -v os="$ours_start" -v oa="$ours_all" -v rs="$ref_start" -v ra="$ref_all" -v n=$times -v idle="$idle" \
    -v out="$out" 'BEGIN {
    ours = (oa - os) / n; ref = (ra - rs) / n
    ratio = ref > 0 ? ours / ref : 0
    printf "per 60 s MP3 played to its end: player %.4f s CPU, mpg123 -o %s %.4f s CPU, ratio %.2f\n", ours, out, ref, ratio
    printf "start-up: player %.3f s, mpg123 %.3f s\n", os, rs
    printf "stopped player: %.3f s CPU in 10 s (%.2f %% of one core)\n", idle, idle * 10
    fail = 0
    if (ref > 0 && ratio > 1.5) { print "FAIL: more than 1.5 times mpg123"; fail = 1 }
    if (idle >= 0.05) { print "FAIL: a stopped player uses 0.5 % of a core or more"; fail = 1 }
    if (!fail) print "PASS"
    exit fail
}'
