#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (installing clang and libclang-rt-14-dev when
# they are missing) and runs each one for a given time, two at a time on two cores. Findings land
# in build-fuzz/findings/TARGET/; the corpus grows in build-fuzz/corpus/TARGET/ (seeded from
# fuzz/corpus/TARGET, which stays as it is).
#   fuzz/run.sh [seconds per target] [target...]     default: 600 s, every target
# A finding is replayed with: build-fuzz/fuzz/fuzz_TARGET build-fuzz/findings/TARGET/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings listfile id3 tags irc chat)
build=${TAVU_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${TAVU_FUZZ_JOBS:-2}

need=()
command -v clang++-14 >/dev/null || need+=(clang-14)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" || need+=(libclang-rt-14-dev)
if [ ${#need[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g" -DTAVU_FUZZ=ON -DTAVU_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

run_one() {
    local t=$1 corpus="$build/corpus/$1" findings="$build/findings/$1"
    mkdir -p "$corpus" "$findings"
    if "$build/fuzz/fuzz_$t" "$corpus" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
        >"$build/findings/$t.log" 2>&1; then
        echo "$t: no finding in ${seconds} s ($(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$build/findings/$t.log" | grep -o '[0-9]*$') runs)"
    else
        echo "$t: FINDING, see $build/findings/$t.log and $findings/"
        return 1
    fi
}

status=0
running=0
pids=()
for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
