#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tavu, builds it, and then runs it or its tests.
#   ./build.sh run [tavu options]   install what is missing, build, start tavu
#   ./build.sh test                 install what is missing, build, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsdl2-dev libsdl2-mixer-dev
  ngircd openssl mpg123
  xvfb xauth imagemagick xdotool
  fonts-dejavu-core fonts-liberation
)
BUILD_DIR=${TAVU_BUILD_DIR:-build}

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
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
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
  *)
    echo "usage: $0 run [tavu options] | test" >&2
    exit 2
    ;;
esac
