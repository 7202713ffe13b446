#!/bin/sh
# CPU time to play 60 seconds of music to its end through the program's player (FFmpeg decoding,
# the engine's ring, SDL's output), against reference decoders on the same file in the same run:
# MP3 (made by lame) against `mpg123 -q -t` and `ffmpeg -f null`, FLAC and Opus against
# `ffmpeg -f null`; and the CPU a stopped player uses.
# The references decode as fast as they can, without output; the player writes to /dev/null
# through SDL's disk driver with a delay of 1 ms a buffer, about 46 times real time (without any
# delay its output would run ahead of the decoder and spin on silence, costing a core of its own).
# Each plays the file five times over in one process, and the start-up of each (measured on a
# one-second file) is taken off, so the figures are per 60 s of music. Passes when the player takes
# at most 1.1 times each reference's CPU and a stopped player uses under 0.5 % of one core.
# Usage: bench/playback_cpu.sh [build directory] [--realtime]   (default: build)
#   --realtime  also plays the MP3 once in real time on the dummy driver (60 s) and reports its CPU.
set -eu
build=${1:-build}
bench="$build/bench/tavu_play_bench"
[ -x "$bench" ] || { echo "no $bench: build the target tavu_play_bench first" >&2; exit 2; }
for tool in mpg123 ffmpeg sox lame flac opusenc; do
    command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
times=5
# Music-like samples: a chord over pink noise, stereo, 44.1 kHz; and one second of it.
sox -n -r 44100 -c 2 -b 16 "$tmp/music.wav" synth 60 pinknoise synth 60 sine mix 220 synth 60 sine mix 330 \
    vol 0.5 2>/dev/null
sox "$tmp/music.wav" "$tmp/tiny.wav" trim 0 1
for f in music tiny; do
    lame --silent -b 192 "$tmp/$f.wav" "$tmp/$f.mp3"
    flac --silent -o "$tmp/$f.flac" "$tmp/$f.wav"
    opusenc --quiet --bitrate 128 "$tmp/$f.wav" "$tmp/$f.opus"
done

. "$(dirname "$0")/cpu_seconds.sh"
# Per 60 s of music: (all - start) / times.
per() { awk -v a="$1" -v s="$2" -v n=$times 'BEGIN { printf "%.4f", (a - s) / n }'; }
list() { for _ in $(seq $times); do printf '%s ' "$1"; done; }

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null SDL_DISKAUDIODELAY=1
ours() { per "$(cpu "$bench" play "$tmp/music.$1" $times)" "$(cpu "$bench" play "$tmp/tiny.$1")"; }
# ffmpeg reads the file as many times over with -stream_loop.
ref_ffmpeg() {
    per "$(cpu ffmpeg -v quiet -nostdin -stream_loop $((times - 1)) -i "$tmp/music.$1" -f null -)" \
        "$(cpu ffmpeg -v quiet -nostdin -i "$tmp/tiny.$1" -f null -)"
}
# shellcheck disable=SC2046
ref_mpg123=$(per "$(cpu mpg123 -q -t $(list "$tmp/music.mp3"))" "$(cpu mpg123 -q -t "$tmp/tiny.mp3")")

fail=0
check() { # name ours reference-name reference
    ratio=$(awk -v o="$2" -v r="$4" 'BEGIN { printf "%.2f", (r > 0 ? o / r : 0) }')
    verdict=PASS
    awk -v x="$ratio" 'BEGIN { exit !(x > 1.1) }' && { verdict=FAIL; fail=1; }
    printf '%-5s player %s s CPU, %s %s s CPU, ratio %s %s\n' "$1" "$2" "$3" "$4" "$ratio" "$verdict"
}
mp3=$(ours mp3)
check MP3 "$mp3" "mpg123 -q -t" "$ref_mpg123"
check MP3 "$mp3" "ffmpeg -f null" "$(ref_ffmpeg mp3)"
check FLAC "$(ours flac)" "ffmpeg -f null" "$(ref_ffmpeg flac)"
check Opus "$(ours opus)" "ffmpeg -f null" "$(ref_ffmpeg opus)"

idle=$(SDL_AUDIODRIVER=dummy "$bench" idle 10)
unset SDL_DISKAUDIOFILE SDL_DISKAUDIODELAY
printf 'stopped player: %s s CPU in 10 s (%s %% of one core)\n' "$idle" "$(awk -v i="$idle" 'BEGIN { printf "%.2f", i * 10 }')"
awk -v i="$idle" 'BEGIN { exit !(i >= 0.05) }' && { echo "FAIL: a stopped player uses 0.5 % of a core or more"; fail=1; }
if [ "${2:-}" = "--realtime" ]; then
    rt=$( (SDL_AUDIODRIVER=dummy "$bench" play "$tmp/music.mp3" >/dev/null 2>&1 && times) | tail -n 1 | awk '
        function sec(x,  a) { split(x, a, "m"); sub("s", "", a[2]); return a[1] * 60 + a[2] }
        { print sec($1) + sec($2) }')
    echo "real-time playback on the dummy driver: $rt s CPU for 60 s of MP3"
fi
[ $fail -eq 0 ] && echo PASS
exit $fail
