#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tavu, builds it, and then runs it or its tests.
#   ./build.sh run [tavu options]   install what is missing, build, start tavu
#   ./build.sh test                 install what is missing, build, run the whole test suite
#   ./build.sh sanitize             the whole test suite again, built with AddressSanitizer and
#                                   UndefinedBehaviorSanitizer (in build-asan)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-dev libsdl2-mixer-dev libtag1-dev libsqlite3-dev libfontconfig-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libebur128-dev ffmpeg
  lame flac vorbis-tools opus-tools sox
  ngircd inspircd atheme-services openssl mpg123 dbus playerctl
  libshout3-dev libmp3lame-dev libopus-dev libogg-dev icecast2 curl
  xvfb xauth imagemagick xdotool
  fonts-dejavu-core fonts-liberation
  dpkg-dev librsvg2-bin desktop-file-utils appstream man-db clang-format ccache
)
BUILD_DIR=${TAVU_BUILD_DIR:-build}

# Compiles go through ccache where it is installed; paths are taken relative to this checkout, so
# another clone of the same sources finds what an earlier build compiled.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi

install_missing() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local extra=()
  [ "${CI:-}" = "true" ] && extra+=(-DTAVU_WERROR=ON)
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr "${extra[@]}"
  cmake --build "$BUILD_DIR" -j2
}

case "${1:-}" in
  run)
    shift
    install_missing
    build
    exec "$BUILD_DIR/tavu" "$@"
    ;;
  test)
    install_missing
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 --timeout 600
    ;;
  sanitize)
    install_missing
    # Lightly optimised and without debug information: the sanitizers find the same faults, and
    # the build is much quicker.
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
        -DTAVU_SANITIZE=ON -DTAVU_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
    cmake --build build-asan -j2
    export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-asan --output-on-failure -j2 --timeout 900
    ;;
  *)
    echo "usage: $0 run [tavu options] | test | sanitize" >&2
    exit 2
    ;;
esac
