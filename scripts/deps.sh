#!/usr/bin/env bash
# Installs the Debian packages Tarvik needs to build, run and test, if any are missing.
# Sourced by run.sh and test.sh.
TARVIK_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev
  fonts-ipafont-gothic shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin
)
TARVIK_TEST_PACKAGES=(
  xvfb xauth x11-utils openbox dbus dbus-x11 xdotool weston imagemagick clang libclang-rt-14-dev python3
  appstream libxml2-utils lintian dpkg-dev file at-spi2-core python3-pyatspi
  clang-format-14 syncthing
)

tarvik_install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# tarvik_configure_and_build DIR [CMAKE_OPTION...] [-- BUILD_OPTION...]
tarvik_configure_and_build() {
  local dir=$1; shift
  local configure=() build=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do configure+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  build=("$@")
  cmake -S "$TARVIK_ROOT" -B "$dir" -G Ninja "${configure[@]}"
  cmake --build "$dir" "${build[@]}"
}

# tarvik_build_fuzzers DIR: the fuzzers (fuzz/CMakeLists.txt) built with clang into DIR/fuzz.
tarvik_build_fuzzers() {
  local dir=$1 cxx=clang++ launcher=()
  command -v "$cxx" >/dev/null || cxx=clang++-14
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  tarvik_configure_and_build "$dir" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVIK_FUZZ=ON -DTARVIK_UNIT_ONLY=ON -DTARVIK_BENCH=OFF "${launcher[@]}" -- --target fuzzers
}
