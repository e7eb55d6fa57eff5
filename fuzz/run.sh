#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) into the
# given folder and runs each for a bounded time. Fails when a fuzzer finds a crash or a broken
# property.
#
# Usage: fuzz/run.sh <build folder> [seconds in all, builds included, default 170] [fuzzer name]
#   The time left after the builds is shared equally among the fuzzers (at least 3 seconds each).
#   TARVIK_FUZZ_EACH=<seconds> gives every fuzzer that long instead (scripts/fuzz-long.sh).
#   A fuzzer whose sources are not all in the tree yet is skipped with a note.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:?usage: fuzz/run.sh <build folder> [seconds] [fuzzer name]}
TOTAL=${2:-170}
ONLY=${3:-}
EACH=${TARVIK_FUZZ_EACH:-}
started=$SECONDS
mkdir -p "$OUT/obj"
OUT=$(cd "$OUT" && pwd)

CXX=${FUZZ_CXX:-clang++}
command -v "$CXX" >/dev/null || CXX=clang++-14
LAUNCH=()
command -v ccache >/dev/null && LAUNCH=(ccache)
FLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$ROOT/src" -I"$ROOT/fuzz")

# name | sources besides fuzz/<name>.cpp, relative to the project root | pkg-config packages
FUZZERS=(
  "job_files_fuzzer|src/jobs/job_files.cpp src/platform/text_file.cpp src/platform/path_util.cpp src/platform/file_names.cpp|glib-2.0"
  "text_codec_fuzzer|src/platform/text_file.cpp|glib-2.0"
  "shortcut_fuzzer|src/favorites/shortcut_file.cpp src/jobs/job_files.cpp src/platform/text_file.cpp src/platform/path_util.cpp src/platform/file_names.cpp|glib-2.0"
  "key_file_fuzzer|src/platform/settings_store.cpp src/platform/key_file.cpp src/platform/text_file.cpp|glib-2.0"
  "command_line_fuzzer|src/app/command_line.cpp src/platform/path_util.cpp|glib-2.0"
  "address_fixup_fuzzer|src/browse/address_fixup.cpp src/platform/path_util.cpp|glib-2.0"
  "url_list_fuzzer|src/jobs/url_list_file.cpp src/jobs/link_list.cpp src/jobs/job_editing.cpp src/favorites/shortcut_file.cpp src/jobs/job_files.cpp src/platform/text_file.cpp src/platform/path_util.cpp src/platform/file_names.cpp|glib-2.0 libxml-2.0"
  "bookmarks_fuzzer|src/jobs/bookmarks.cpp src/jobs/shortcut_folder_export.cpp src/favorites/shortcut_file.cpp src/jobs/job_editing.cpp src/jobs/job_files.cpp src/platform/text_file.cpp src/platform/path_util.cpp src/platform/file_names.cpp|glib-2.0 libxml-2.0"
)

scratch=$(mktemp -d /dev/shm/tarvik-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Pick the fuzzers to build: the one asked for, and only those whose sources exist.
selected=()
for entry in "${FUZZERS[@]}"; do
  IFS='|' read -r name sources packages <<<"$entry"
  [ -n "$ONLY" ] && [ "$ONLY" != "$name" ] && [ "$ONLY" != "${name%_fuzzer}" ] && continue
  missing=""
  for s in $sources; do [ -f "$ROOT/$s" ] || missing+=" $s"; done
  if [ -n "$missing" ]; then
    echo "== $name: skipped, not in the tree yet:$missing"
    continue
  fi
  selected+=("$entry")
done
if [ ${#selected[@]} -eq 0 ]; then
  echo "no fuzzer to run${ONLY:+ named $ONLY}" >&2
  exit 1
fi

# Every source is compiled once, however many fuzzers link it, two at a time.
declare -A compiled=()
object_of() { local s=$1; echo "$OUT/obj/${s//\//_}.o"; }
compile_jobs=$(nproc 2>/dev/null || echo 2)
for entry in "${selected[@]}"; do
  IFS='|' read -r name sources packages <<<"$entry"
  read -r -a cflags <<<"$(pkg-config --cflags $packages)"
  for s in "fuzz/$name.cpp" $sources; do
    [ -n "${compiled[$s]:-}" ] && continue
    compiled[$s]=1
    while [ "$(jobs -rp | wc -l)" -ge "$compile_jobs" ]; do wait -n; done
    echo "== compile $s"
    "${LAUNCH[@]}" "$CXX" "${FLAGS[@]}" "${cflags[@]}" -c "$ROOT/$s" -o "$(object_of "$s")" &
  done
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n; done

for entry in "${selected[@]}"; do
  IFS='|' read -r name sources packages <<<"$entry"
  read -r -a libs <<<"$(pkg-config --libs $packages)"
  objects=()
  for s in "fuzz/$name.cpp" $sources; do objects+=("$(object_of "$s")"); done
  echo "== link $name"
  "$CXX" "${FLAGS[@]}" "${objects[@]}" "${libs[@]}" -o "$OUT/$name"
done

if [ -n "$EACH" ]; then
  per_fuzzer=$EACH
else
  left=$(( TOTAL - (SECONDS - started) - 2 * ${#selected[@]} ))
  per_fuzzer=$(( left / ${#selected[@]} ))
  (( per_fuzzer >= 3 )) || per_fuzzer=3
fi

for entry in "${selected[@]}"; do
  name=${entry%%|*}
  # New inputs go into the build folder; the seeds in the source tree stay as they are.
  seeds="$ROOT/fuzz/corpus/${name%_fuzzer}"
  work="$OUT/corpus/${name%_fuzzer}"
  mkdir -p "$work" "$scratch/$name"
  dirs=("$work")
  [ -d "$seeds" ] && dirs+=("$seeds")
  echo "== $name: run for ${per_fuzzer}s"
  ( cd "$OUT" && TARVIK_FUZZ_HOME="$scratch/$name" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "./$name" -max_total_time="$per_fuzzer" -timeout=20 -rss_limit_mb=2048 -max_len=70000 \
      -artifact_prefix="$OUT/$name-" -print_final_stats=1 "${dirs[@]}" )
done
echo "== fuzzers passed ($(( SECONDS - started ))s)"
