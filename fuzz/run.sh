#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) into the
# given folder and runs each for a bounded time. Fails when a fuzzer finds a crash or a broken
# property. Usage: fuzz/run.sh <build folder> [seconds in all, default 60]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:?usage: fuzz/run.sh <build folder> [seconds]}
TOTAL=${2:-60}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

CXX=${FUZZ_CXX:-clang++}
command -v "$CXX" >/dev/null || CXX=clang++-14
FLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$ROOT/src")
read -r -a GLIB <<<"$(pkg-config --cflags --libs glib-2.0)"

# name | sources besides fuzz/<name>.cpp, relative to the project root
FUZZERS=(
  "job_files_fuzzer|src/jobs/job_files.cpp src/platform/text_file.cpp src/platform/path_util.cpp"
)

scratch=$(mktemp -d /dev/shm/tarvik-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

per_fuzzer=$(( TOTAL / ${#FUZZERS[@]} ))
(( per_fuzzer > 0 )) || per_fuzzer=1

for entry in "${FUZZERS[@]}"; do
  name=${entry%%|*}
  read -r -a sources <<<"${entry#*|}"
  echo "== $name: build"
  "$CXX" "${FLAGS[@]}" "$ROOT/fuzz/$name.cpp" "${sources[@]/#/$ROOT/}" "${GLIB[@]}" -o "$OUT/$name"

  # New inputs go into the build folder; the seeds in the source tree stay as they are.
  seeds="$ROOT/fuzz/corpus/${name%_fuzzer}"
  work="$OUT/corpus/${name%_fuzzer}"
  mkdir -p "$work"
  echo "== $name: run for ${per_fuzzer}s"
  mkdir -p "$scratch/$name"
  ( cd "$OUT" && TARVIK_FUZZ_HOME="$scratch/$name" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "./$name" -max_total_time="$per_fuzzer" -timeout=20 -rss_limit_mb=2048 -max_len=70000 \
      -print_final_stats=1 "$work" "$seeds" )
done
echo "== fuzzers passed"
