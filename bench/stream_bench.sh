#!/bin/sh
# The stream's source, measured against a real icecast2 on a free loopback port:
# - the encoder's CPU for 60 s of music against `lame --cbr -b 128` on the same samples, in the
#   same run (best of five each; passes at most 1.2 times lame's);
# - from a song's start to its title in the stream's ICY metadata (passes at most 2 s), and from
#   the music to a listener that is connected;
# - RSS and open file descriptors before and after a long run (default one hour).
# Usage: bench/stream_bench.sh [build directory] [soak seconds]   (defaults: build, 3600)
set -eu
build=${1:-build}
soak=${2:-3600}
bench="$build/bench/tavu_stream_bench"
[ -x "$bench" ] || { echo "no $bench: build the target tavu_stream_bench first" >&2; exit 2; }
for tool in icecast2 lame sox curl mpg123; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done

tmp=$(mktemp -d)
chmod 777 "$tmp"
trap 'kill $ice 2>/dev/null || true; rm -rf "$tmp"' EXIT

# 60 s of music-like samples: a chord over pink noise, stereo, 44.1 kHz.
sox -n -r 44100 -c 2 -b 16 "$tmp/music.wav" synth 60 pinknoise synth 60 sine mix 220 synth 60 sine mix 330 \
  vol 0.5 2>/dev/null
sox "$tmp/music.wav" -t f32 "$tmp/music.f32"

. "$(dirname "$0")/cpu_seconds.sh"
lame_cpu=$(cpu lame --silent --cbr -b 128 "$tmp/music.wav" "$tmp/lame.mp3")
# The program's encoder as the stream runs it, timed inside the process (its Qt and file start-up
# are not the encoder's); the best of five.
tavu_cpu=$(for i in 1 2 3 4 5; do "$bench" encode "$tmp/music.f32"; done | awk '{print $2}' | sort -n | head -1)
ratio=$(echo "$tavu_cpu $lame_cpu" | awk '{printf "%.2f", $1 / $2}')
echo "encoding 60 s: tavu ${tavu_cpu} s CPU, lame ${lame_cpu} s CPU, ratio ${ratio} (limit 1.20)"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
owner=""
[ "$(id -u)" -eq 0 ] && owner="<changeowner><user>nobody</user><group>nogroup</group></changeowner>"
cat > "$tmp/icecast.xml" <<XML
<icecast><location>bench</location><admin>bench@localhost</admin>
 <limits><clients>20</clients><sources>2</sources><burst-size>65535</burst-size><source-timeout>10</source-timeout></limits>
 <authentication><source-password>hackme</source-password><admin-user>admin</admin-user><admin-password>adminpw</admin-password></authentication>
 <hostname>127.0.0.1</hostname><listen-socket><port>$port</port><bind-address>127.0.0.1</bind-address></listen-socket>
 <paths><basedir>/usr/share/icecast2</basedir><logdir>$tmp</logdir><webroot>/usr/share/icecast2/web</webroot>
 <adminroot>/usr/share/icecast2/admin</adminroot><pidfile>$tmp/icecast.pid</pidfile></paths>
 <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog><loglevel>2</loglevel></logging>
 <security><chroot>0</chroot>$owner</security></icecast>
XML
icecast2 -c "$tmp/icecast.xml" >/dev/null 2>&1 &
ice=$!
until curl -s "http://127.0.0.1:$port/status-json.xsl" >/dev/null; do sleep 0.1; done

"$bench" latency "$port" | tee "$tmp/latency.txt"
"$bench" soak "$port" "$soak"

worst=$(awk '/title_worst_s/ {print $2}' "$tmp/latency.txt")
ok=$(echo "$ratio $worst" | awk '{print ($1 <= 1.2 && $2 <= 2.0) ? "yes" : "no"}')
[ "$ok" = yes ] && echo "PASS" || { echo "FAIL"; exit 1; }
