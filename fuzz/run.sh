#!/usr/bin/env bash
# Runs the fuzzers built into <build folder>/fuzz (the CMake option TARVIK_FUZZ, built by
# tarvik_build_fuzzers in scripts/deps.sh), each for a bounded time. Every fuzz/*_fuzzer.cpp must
# have its executable there: a missing one fails the run before any fuzzer starts. Fails when a
# fuzzer finds a crash or a broken property.
#
# Usage: fuzz/run.sh <build folder> [seconds in all, default 150] [fuzzer name]
#   The seconds are shared equally among the fuzzers: each gets what is left divided by the
#   fuzzers still to run (so one that ran over is made up by the others), and at least 5
#   seconds, which is enough to run through its seeds. A run within a budget starts from the
#   seeds in fuzz/corpus/<name> alone (every fuzzer has some): a corpus that earlier long runs
#   grew in the build folder could take longer to read than the share, and the fuzzer would end
#   before it fuzzed at all.
#   TARVIK_FUZZ_EACH=<seconds> gives every fuzzer that long instead, from the seeds and the
#   build folder's corpus, which keeps what it finds (scripts/fuzz-long.sh).
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
  [ -d "$ROOT/fuzz/corpus/${name%_fuzzer}" ] || missing+=("$name (seeds in fuzz/corpus/${name%_fuzzer})")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "not built in $OUT/fuzz (each needs its line in fuzz/CMakeLists.txt) or without seeds: ${missing[*]}" >&2
  exit 1
fi

# Each fuzzer's start and end, beyond the time it is given.
overhead=2
floor=5

scratch=$(mktemp -d /dev/shm/tarvik-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
left=${#names[@]}
for name in "${names[@]}"; do
  seeds="$ROOT/fuzz/corpus/${name%_fuzzer}"
  if [ -n "$EACH" ]; then
    per_fuzzer=$EACH
    # New inputs go into the build folder; the seeds in the source tree stay as they are.
    work="$OUT/corpus/${name%_fuzzer}"
  else
    per_fuzzer=$(( (TOTAL - (SECONDS - started) - overhead * left) / left ))
    (( per_fuzzer >= floor )) || per_fuzzer=$floor
    work="$scratch/corpus-$name"
  fi
  left=$(( left - 1 ))
  mkdir -p "$work" "$scratch/$name"
  dirs=("$work" "$seeds")
  echo "== $name: run for ${per_fuzzer}s"
  ( cd "$OUT" && TARVIK_FUZZ_HOME="$scratch/$name" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$OUT/fuzz/$name" -max_total_time="$per_fuzzer" -timeout=20 -rss_limit_mb=2048 -max_len=70000 \
      -artifact_prefix="$OUT/$name-" -print_final_stats=1 "${dirs[@]}" )
done
echo "== fuzzers passed ($(( SECONDS - started ))s)"
