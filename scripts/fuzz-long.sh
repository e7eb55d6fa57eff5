#!/usr/bin/env bash
# Runs the fuzzers for longer than the test run gives them: each for the given number of seconds,
# or only the one named. They are built as scripts/test.sh builds them, in build-fuzz/, and the
# inputs they find are kept in build-fuzz/corpus/, so a later run goes on from there.
#
# Usage: scripts/fuzz-long.sh <seconds per fuzzer> [fuzzer name]
#   e.g. scripts/fuzz-long.sh 600            every fuzzer for ten minutes
#        scripts/fuzz-long.sh 3600 bookmarks  the bookmarks importer for an hour
set -euo pipefail
TARVIK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:?usage: scripts/fuzz-long.sh <seconds per fuzzer> [fuzzer name]}
case $SECONDS_EACH in
  '' | *[!0-9]* | 0) echo "seconds per fuzzer must be a whole number above 0" >&2; exit 2 ;;
esac
. "$TARVIK_ROOT/scripts/deps.sh"
tarvik_build_fuzzers "$TARVIK_ROOT/build-fuzz"
TARVIK_FUZZ_EACH=$SECONDS_EACH "$TARVIK_ROOT/fuzz/run.sh" "$TARVIK_ROOT/build-fuzz" 0 "${2:-}"
