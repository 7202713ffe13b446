#!/bin/bash
# One run of the real program on the current X display (bench/report runs it under xvfb-run).
#   bench/session.sh start TAVU HOME   prints ms to the chat window, ms to the main window, the
#                                      peak RSS in kB two seconds after the main window showed, and
#                                      the CPU ms the program had used when its main window showed
#                                      (the start-up work without the one-second waits of the load
#                                      announcements, which are aligned to whole seconds of the
#                                      clock and so last 0.5 to 1.5 s each)
#   bench/session.sh idle TAVU HOME    prints the CPU ms used in 30 s while the player sits stopped
#                                      (from 12 s after the main window showed, when the sound
#                                      device has gone to sleep)
#   bench/session.sh play TAVU HOME    types "!ran" into the chat room (HOME's Tavu.ini sets the
#                                      trigger "!" and a folder of one long song), so the song plays
#                                      and its title scrolls; prints the CPU ms used in 30 s of it
# The output is SDL's dummy driver, which keeps real time without a sound card.
# BENCH_SECONDS changes the 30-second measuring time.
set -euo pipefail
mode=$1 tavu=$2 home=$3
seconds=${BENCH_SECONDS:-30}
now() { date +%s%N | awk '{ printf "%.0f", $1 / 1e6 }'; }
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.0f", ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }

start=$(now)
SDL_AUDIODRIVER=dummy "$tavu" --home "$home" --no-intro >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT
chat="" main=""
for _ in $(seq 3000); do
    [ -n "$chat" ] || { xdotool search --name '^Tavu Chat Room$' >/dev/null 2>&1 && chat=$(($(now) - start)); }
    xdotool search --onlyvisible --name '^Tavu Player$' >/dev/null 2>&1 && { main=$(($(now) - start)); work=$(cpu_ms $pid); break; }
    kill -0 $pid 2>/dev/null || { echo "tavu exited before its main window showed" >&2; exit 1; }
    sleep 0.01
done
[ -n "$main" ] || { echo "no main window" >&2; exit 1; }

case $mode in
start)
    sleep 2
    echo "$chat $main $(awk '/VmHWM/ { print $2 }' /proc/$pid/status) $work"
    ;;
idle)
    sleep 12 # the sound device is let go after 5 to 10 s of silence
    c0=$(cpu_ms $pid); sleep $seconds; c1=$(cpu_ms $pid)
    echo $((c1 - c0))
    ;;
play)
    sleep 1
    win=$(xdotool search --name '^Tavu Chat Room$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$win")"
    # The input line is the last row of the window: click into it, type, Enter.
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    xdotool mousemove --window "$win" $((WIDTH / 3)) $((HEIGHT - 20)) click 1
    sleep 0.3
    xdotool type --delay 20 '!ran'
    xdotool key Return
    sleep 3
    grep -qi '^Mp3s Played=1' <(tr -d '\r' <"$home/Tavu.ini") || { echo "the song did not start" >&2; exit 1; }
    c0=$(cpu_ms $pid); sleep $seconds; c1=$(cpu_ms $pid)
    echo $((c1 - c0))
    ;;
*)
    echo "usage: bench/session.sh start|idle|play TAVU HOME" >&2
    exit 2
    ;;
esac
