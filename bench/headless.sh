#!/usr/bin/env bash
# The bot on a server: tavu --headless next to the windowed program (under Xvfb) in the same run,
# each with 10,000 songs, in the channel of a local ngircd, player stopped.
#   bench/headless.sh TAVU
# Prints one line per run: "headless|headless-tls|windowed IDLE_CPU_MS RSS_KB PEAK_KB" (headless-tls
# signs on over TLS, which loads the TLS library), where IDLE_CPU_MS is
# the CPU time used in BENCH_SECONDS (30) seconds from 12 s after the bot joined (when the sound
# device has gone to sleep), RSS_KB the resident memory at the end of that time and PEAK_KB the
# most it ever used. SDL's dummy driver keeps real time without a sound card.
set -euo pipefail
tavu=$(realpath "$1")
seconds=${BENCH_SECONDS:-30}
tmp=$(mktemp -d)
chmod 755 "$tmp"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$tmp"' EXIT
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.0f", ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
tlsport=$(free_port)
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$tmp/key.pem" -out "$tmp/cert.pem" >/dev/null 2>&1
chmod 644 "$tmp/key.pem" "$tmp/cert.pem"
cat >"$tmp/ngircd.conf" <<EOF
[Global]
  Name = irc.bench.test
  Info = bench
  AdminInfo1 = bench
  AdminInfo2 = loopback
  AdminEMail = nobody@localhost
  Listen = 127.0.0.1
  Ports = $port
  PidFile = $tmp/ngircd.pid
[Limits]
  MaxConnectionsIP = 0
[Options]
  PAM = no
  Ident = no
  DNS = no
[SSL]
  Ports = $tlsport
  CertFile = $tmp/cert.pem
  KeyFile = $tmp/key.pem
EOF
chmod 644 "$tmp/ngircd.conf"
ngircd=$(command -v ngircd || echo /usr/sbin/ngircd)
"$ngircd" -n -f "$tmp/ngircd.conf" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && break; sleep 0.05; done

mkdir -p "$tmp/music"
(cd "$tmp/music" && seq 10000 | sed 's/.*/Artist & - Song &.mp3/' | xargs touch)
home() { # home DIR NICK [PORT TLS]
    mkdir -p "$1"
    printf '[Settings]\r\nHandle=bench\r\nTrig=!\r\nMp3 Directory=%s\r\n[Chat]\r\nNetwork=irc\r\nServer=127.0.0.1\r\nPort=%s\r\nTLS=%s\r\nNick=%s\r\nChannel=#bench\r\nOwner=boss!*@127.0.0.1\r\n' \
        "$tmp/music" "${3:-$port}" "${4:-0}" "$2" >"$1/Tavu.ini"
}

# measure NAME PID HOME: waits for the load announcements (the Loads counter is written just
# before them), then for the sound device to sleep, then measures.
measure() {
    local name=$1 pid=$2 dir=$3
    for _ in $(seq 600); do
        grep -qi '^Loads=1' <(tr -d '\r' <"$dir/Tavu.ini") && break
        kill -0 "$pid" 2>/dev/null || { echo "$name: tavu exited" >&2; return 1; }
        sleep 0.05
    done
    sleep 15 # the announcements, then 5 to 10 s of silence before the device sleeps
    local c0 c1
    c0=$(cpu_ms "$pid"); sleep "$seconds"; c1=$(cpu_ms "$pid")
    echo "$name $((c1 - c0)) $(status_kb "$pid" VmRSS) $(status_kb "$pid" VmHWM)"
}

headless() { # headless NAME PORT TLS
    home "$tmp/$1" "b$RANDOM" "$2" "$3"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM SDL_AUDIODRIVER=dummy \
        "$tavu" --headless --home "$tmp/$1" >"$tmp/$1.log" 2>&1 &
    pids+=($!)
    measure "$1" $! "$tmp/$1"
    grep -q '^tavu: Disconnected' "$tmp/$1.log" && { echo "$1: the bot lost its server:" >&2; cat "$tmp/$1.log" >&2; }
    kill -TERM "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true
}
headless headless "$port" 0
headless headless-tls "$tlsport" self-signed

home "$tmp/windowed" benchwin
cat >"$tmp/windowed.sh" <<EOF
SDL_AUDIODRIVER=dummy "$tavu" --home "$tmp/windowed" --no-intro >"$tmp/windowed.log" 2>&1 &
pid=\$!
$(declare -f cpu_ms status_kb measure)
seconds=$seconds
measure windowed \$pid "$tmp/windowed"
kill -TERM \$pid; wait \$pid 2>/dev/null || true
EOF
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$tmp/windowed.sh"
