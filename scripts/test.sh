#!/usr/bin/env bash
# Installs what is missing, builds Tarvik and runs every test: the unit, window and end-to-end
# tests (with the layer and format checks), the unit and end-to-end tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers for a bounded time. Window
# tests run under Xvfb when there is no display.
set -euo pipefail
TARVIK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$TARVIK_ROOT/scripts/deps.sh"
tarvik_install_missing "${TARVIK_PACKAGES[@]}" "${TARVIK_TEST_PACKAGES[@]}"

jobs=$(nproc)
echo "== build"
tarvik_configure_and_build "$TARVIK_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

run_ctest() {
  local dir=$1; shift
  "$TARVIK_ROOT/scripts/with-display.sh" ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
}

echo "== tests"
run_ctest "$TARVIK_ROOT/build"

echo "== unit and end-to-end tests under AddressSanitizer and UndefinedBehaviorSanitizer"
tarvik_configure_and_build "$TARVIK_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_UNIT_ONLY=OFF -DTARVIK_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir "$TARVIK_ROOT/build-asan" --output-on-failure -j "$jobs" -L unit
# The whole program, with LeakSanitizer. The libraries' own leaks (cmake/lsan.supp) are known by
# frames of libraries built without frame pointers, which only the slow unwinder reads.
ASAN_OPTIONS=fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_ctest "$TARVIK_ROOT/build-asan" -L e2e

echo "== Debian package"
(cd "$TARVIK_ROOT/build" && rm -f tarvik_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$TARVIK_ROOT"/build/tarvik_*.deb)
echo "$deb"
if command -v lintian >/dev/null; then
  # Errors fail the run; warnings are shown. Tags that cannot apply are overridden in the package
  # (data/debian/lintian-overrides, each with its reason).
  lintian --fail-on error --tag-display-limit 0 "$deb"
fi

echo "== fuzzers"
# 170 seconds for the fuzzers in all, their build included.
fuzz_started=$SECONDS
tarvik_build_fuzzers "$TARVIK_ROOT/build-fuzz"
"$TARVIK_ROOT/fuzz/run.sh" "$TARVIK_ROOT/build-fuzz" $(( 170 - (SECONDS - fuzz_started) ))
echo "== all tests passed"
