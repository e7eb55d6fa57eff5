#!/usr/bin/env bash
# Runs the fuzzers built into <build folder>/fuzz (the CMake option TARVIK_FUZZ, built by
# tarvik_build_fuzzers in scripts/deps.sh), each for a bounded time. Every fuzz/*_fuzzer.cpp must
# have its executable there: a missing one fails the run before any fuzzer starts. Fails when a
# fuzzer finds a crash or a broken property.
#
# Usage: fuzz/run.sh <build folder> [seconds in all, default 150] [fuzzer name]
#   The seconds are shared equally among the fuzzers (at least 3 seconds each).
#   TARVIK_FUZZ_EACH=<seconds> gives every fuzzer that long instead (scripts/fuzz-long.sh).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:?usage: fuzz/run.sh <build folder> [seconds] [fuzzer name]}
TOTAL=${2:-150}
ONLY=${3:-}
EACH=${TARVIK_FUZZ_EACH:-}
started=$SECONDS
OUT=$(cd "$OUT" && pwd)

# The fuzzers are the sources fuzz/*_fuzzer.cpp, whatever the build made.
names=()
for source in "$ROOT"/fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" .cpp)
  [ -n "$ONLY" ] && [ "$ONLY" != "$name" ] && [ "$ONLY" != "${name%_fuzzer}" ] && continue
  names+=("$name")
done
if [ ${#names[@]} -eq 0 ]; then
  echo "no fuzzer to run${ONLY:+ named $ONLY}" >&2
  exit 1
fi
missing=()
for name in "${names[@]}"; do
  [ -x "$OUT/fuzz/$name" ] || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "not built in $OUT/fuzz (each needs its line in fuzz/CMakeLists.txt): ${missing[*]}" >&2
  exit 1
fi

if [ -n "$EACH" ]; then
  per_fuzzer=$EACH
else
  per_fuzzer=$(( (TOTAL - 2 * ${#names[@]}) / ${#names[@]} ))
  (( per_fuzzer >= 3 )) || per_fuzzer=3
fi

scratch=$(mktemp -d /dev/shm/tarvik-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for name in "${names[@]}"; do
  # New inputs go into the build folder; the seeds in the source tree stay as they are.
  seeds="$ROOT/fuzz/corpus/${name%_fuzzer}"
  work="$OUT/corpus/${name%_fuzzer}"
  mkdir -p "$work" "$scratch/$name"
  dirs=("$work")
  [ -d "$seeds" ] && dirs+=("$seeds")
  echo "== $name: run for ${per_fuzzer}s"
  ( cd "$OUT" && TARVIK_FUZZ_HOME="$scratch/$name" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$OUT/fuzz/$name" -max_total_time="$per_fuzzer" -timeout=20 -rss_limit_mb=2048 -max_len=70000 \
      -artifact_prefix="$OUT/$name-" -print_final_stats=1 "${dirs[@]}" )
done
echo "== fuzzers passed ($(( SECONDS - started ))s)"
